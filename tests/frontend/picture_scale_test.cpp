#include "frontend/picture_scale.h"

#include <gtest/gtest.h>

namespace {

using frontend::Scaled;

console::Picture Halves(std::uint32_t width, std::uint32_t height, std::uint32_t left, std::uint32_t right)
{
    console::Picture p{width, height, {}};
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) p.pixels.push_back(x < width / 2 ? left : right);
    return p;
}

TEST(PictureScale, EnlargingAFieldTo4x3KeepsColoursAndEdgesExact)
{
    const console::Picture field = Halves(640, 256, 0xFF0000FFu, 0x80FF0000u);
    const console::Picture shown = Scaled(field, 768, 576);
    ASSERT_EQ(shown.pixels.size(), 768u * 576);
    // The edge at 320 lands on 384 exactly: no pixel is mixed, none changed.
    for (std::uint32_t y : {0u, 287u, 288u, 575u}) {
        EXPECT_EQ(shown.at(0, y), 0xFF0000FFu);
        EXPECT_EQ(shown.at(383, y), 0xFF0000FFu);
        EXPECT_EQ(shown.at(384, y), 0x80FF0000u);
        EXPECT_EQ(shown.at(767, y), 0x80FF0000u);
    }
}

TEST(PictureScale, ShrinkingAveragesTheAreaEachPixelCovers)
{
    // Black and white columns: halving gives grey, a third gives the share of white in each group of three.
    console::Picture stripes{6, 2, {}};
    for (int i = 0; i < 12; ++i) stripes.pixels.push_back(i % 2 ? 0xFFFFFFFFu : 0xFF000000u);
    const console::Picture half = Scaled(stripes, 3, 1);
    for (const std::uint32_t p : half.pixels) EXPECT_EQ(p, 0xFF808080u);
    const console::Picture third = Scaled(stripes, 2, 2);
    EXPECT_EQ(third.at(0, 0), 0xFF555555u); // one white in three
    EXPECT_EQ(third.at(1, 1), 0xFFAAAAAAu); // two in three
    // A pixel that spans two old ones in part: 3 -> 2 gives 2/3 and 1/3 shares.
    const console::Picture odd = Scaled(console::Picture{3, 1, {0xFF000000u, 0xFFFFFFFFu, 0xFF000000u}}, 2, 1);
    EXPECT_EQ(odd.at(0, 0), 0xFF555555u);
    EXPECT_EQ(odd.at(1, 0), 0xFF555555u);
}

} // namespace
