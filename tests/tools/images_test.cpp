#include "tools/imagegen/images.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "frontend/png_file.h"

namespace {

int Channel(std::uint32_t p, int shift) { return (p >> shift) & 0xFF; }

TEST(Images, TheFlagIsASwirlOfOrangeAndBrownTones)
{
    const console::Picture flag = imagegen::FlagPicture();
    ASSERT_EQ(flag.width, 256u);
    ASSERT_EQ(flag.height, 256u);
    int dark = 0, bright = 0;
    for (const std::uint32_t p : flag.pixels) {
        const int r = Channel(p, 0), g = Channel(p, 8), b = Channel(p, 16);
        // Warm: red leads green, green leads blue.
        ASSERT_GT(r, g);
        ASSERT_GE(g, b);
        dark += r < 100;
        bright += r > 220;
    }
    // Both ends of the palette are well represented: it is a pattern, not a flat tone.
    EXPECT_GT(dark, 2000);
    EXPECT_GT(bright, 2000);
}

TEST(Images, TheGlowIsGreyAndFallsOffFromTheCentre)
{
    const console::Picture glow = imagegen::GlowPicture();
    ASSERT_EQ(glow.width, 32u);
    ASSERT_EQ(glow.height, 32u);
    for (const std::uint32_t p : glow.pixels) {
        EXPECT_EQ(Channel(p, 0), Channel(p, 8));
        EXPECT_EQ(Channel(p, 0), Channel(p, 16));
    }
    EXPECT_GT(Channel(glow.at(15, 15), 0), 240);
    EXPECT_EQ(glow.at(0, 0) & 0xFFFFFF, 0u);
    EXPECT_EQ(glow.at(0, 15) & 0xFFFFFF, 0u);
    // Along a radius the brightness never rises.
    for (int x = 16; x < 31; ++x) EXPECT_GE(Channel(glow.at(x, 16), 0), Channel(glow.at(x + 1, 16), 0));
}

TEST(Images, TheCommittedPicturesAreWhatTheGeneratorDraws)
{
    const std::filesystem::path data = std::filesystem::path(ORB_SOURCE_DIR) / "data";
    for (const auto& [name, picture] :
         {std::pair{"flag.png", imagegen::FlagPicture()}, std::pair{"glow.png", imagegen::GlowPicture()}}) {
        console::Picture committed;
        std::string error;
        ASSERT_TRUE(frontend::ReadPng((data / name).string(), committed, error)) << error;
        EXPECT_EQ(committed.pixels, picture.pixels) << name << " is stale: run orb_imagegen data";
    }
}

} // namespace
