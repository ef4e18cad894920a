#include "frontend/png_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

std::string TempPath(const char* name) { return (std::filesystem::temp_directory_path() / name).string(); }

TEST(PngFile, RoundTripKeepsColoursAndAlphaWhenAsked)
{
    console::Picture p, back;
    p.width = 3;
    p.height = 2;
    p.pixels = {0x7F0000FFu, 0x7F00FF00u, 0x7FFF0000u, 0x00102030u, 0xFFFFFFFFu, 0x80000000u};
    std::string error;
    const std::string rgba = TempPath("orb-png-rgba.png"), rgb = TempPath("orb-png-rgb.png");
    ASSERT_TRUE(frontend::WritePng(rgba, p, error, frontend::PngChannels::Rgba)) << error;
    ASSERT_TRUE(frontend::WritePng(rgb, p, error)) << error;
    ASSERT_TRUE(frontend::ReadPng(rgba, back, error)) << error;
    EXPECT_EQ(back.pixels, p.pixels);
    ASSERT_TRUE(frontend::ReadPng(rgb, back, error)) << error;
    for (auto& pixel : p.pixels) pixel |= 0xFF000000u;
    EXPECT_EQ(back.pixels, p.pixels);
}

TEST(PngFile, BrokenOrMissingFilesGiveOneClearError)
{
    const std::string path = TempPath("orb-png-broken.png");
    std::ofstream(path) << "\x89PNG\r\n\x1a\nnot really";
    console::Picture p;
    std::string error;
    EXPECT_FALSE(frontend::ReadPng(path, p, error));
    EXPECT_NE(error.find(path), std::string::npos);
    EXPECT_FALSE(frontend::ReadPng(TempPath("orb-png-missing.png"), p, error));
    EXPECT_NE(error.find("cannot read"), std::string::npos);
}

} // namespace
