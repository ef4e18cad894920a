#include "demo/alpha_map.h"

#include <gtest/gtest.h>

namespace {

TEST(AlphaMap, RedBecomesAlphaCappedAt127AndZeroStaysZero)
{
    u32 pixels[] = {0x00000000, 0x00332211, 0x00ccbbaa, 0xff00007f, 0x12345680, 0x00000001};
    MakeAlphaMap(pixels, 6);
    EXPECT_EQ(pixels[0], 0x00000000u);
    EXPECT_EQ(pixels[1], 0x11332200u); // R 0x11 below 128: alpha 0x11, red gone
    EXPECT_EQ(pixels[2], 0x7fccbb00u); // R 0xaa: alpha capped at 127
    EXPECT_EQ(pixels[3], 0x7f000000u); // old alpha is dropped
    EXPECT_EQ(pixels[4], 0x7f345600u);
    EXPECT_EQ(pixels[5], 0x01000000u);
}

} // namespace
