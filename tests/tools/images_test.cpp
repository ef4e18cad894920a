#include "tools/imagegen/images.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>

#include "frontend/png_file.h"

namespace {

int Channel(std::uint32_t p, int shift) { return (p >> shift) & 0xFF; }

TEST(Images, TheFlagIsASwirlOfOrangeAndBrownTones)
{
    const console::Picture flag = imagegen::FlagPicture();
    ASSERT_EQ(std::pair(flag.width, flag.height), std::pair(256u, 256u));
    int dark = 0, bright = 0;
    for (const std::uint32_t p : flag.pixels) {
        // Warm: red leads green, green leads blue.
        ASSERT_GT(Channel(p, 0), Channel(p, 8));
        ASSERT_GE(Channel(p, 8), Channel(p, 16));
        dark += Channel(p, 0) < 100;
        bright += Channel(p, 0) > 220;
    }
    // Both ends of the palette are well represented: it is a pattern, not a flat tone.
    EXPECT_GT(dark, 2000);
    EXPECT_GT(bright, 2000);
}

TEST(Images, TheGlowIsGreyAndFallsOffFromTheCentre)
{
    const console::Picture glow = imagegen::GlowPicture();
    ASSERT_EQ(std::pair(glow.width, glow.height), std::pair(32u, 32u));
    for (const std::uint32_t p : glow.pixels) ASSERT_EQ(p & 0xFFFFFF, (p & 0xFF) * 0x010101u);
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
