#include <array>
#include <bit>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "data/font.h"

namespace {

using Glyph = std::array<u8, 8>;

Glyph GlyphOf(int code)
{
    Glyph glyph;
    for (int row = 0; row < 8; ++row) glyph[row] = Font8x8[8 * code + row];
    return glyph;
}

int LitPixels(int code)
{
    int count = 0;
    for (const u8 row : GlyphOf(code)) count += std::popcount(row);
    return count;
}

TEST(Font8x8, BlankFullAndHalfBlocks)
{
    for (const int code : {0, 32, 255}) EXPECT_EQ(LitPixels(code), 0) << code;
    EXPECT_EQ(LitPixels(219), 64);
    EXPECT_EQ(GlyphOf(220), (Glyph{0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(GlyphOf(221), (Glyph{0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0xF0}));
    EXPECT_EQ(GlyphOf(222), (Glyph{0x0F, 0x0F, 0x0F, 0x0F, 0x0F, 0x0F, 0x0F, 0x0F}));
    EXPECT_EQ(GlyphOf(223), (Glyph{0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}));
    // The inverse face is the filled one; the shades darken in order.
    EXPECT_GT(LitPixels(2), LitPixels(1));
    EXPECT_LT(LitPixels(176), LitPixels(177));
    EXPECT_LT(LitPixels(177), LitPixels(178));
    EXPECT_LT(LitPixels(178), 64);
}

// Faces, suits, house, C cedilla, pound, shades, alpha, pi, degree, small square, and printable ASCII.
TEST(Font8x8, NamedSymbolsAndAsciiAreDrawnAndDistinct)
{
    std::vector<int> codes = {1, 2, 3, 4, 5, 6, 127, 128, 156, 176, 177, 178, 224, 227, 248, 254};
    for (int code = 33; code <= 126; ++code) codes.push_back(code);
    for (size_t i = 0; i < codes.size(); ++i) {
        EXPECT_GT(LitPixels(codes[i]), 0) << codes[i];
        for (size_t j = i + 1; j < codes.size(); ++j)
            EXPECT_NE(GlyphOf(codes[i]), GlyphOf(codes[j])) << codes[i] << " and " << codes[j];
    }
}

TEST(Font8x8, PrintableAsciiKeepsToFiveColumnsAndItsRows)
{
    const std::string_view descenders = ",;gjpqy";
    for (int code = 33; code <= 126; ++code) {
        const Glyph glyph = GlyphOf(code);
        const char c = static_cast<char>(code);
        for (const u8 row : glyph) EXPECT_EQ(row & 0x07, 0) << c << " reaches into the two right columns";
        EXPECT_EQ(glyph[7] != 0, descenders.find(c) != std::string_view::npos) << c << " row 7";
    }
    for (const char c : std::string_view("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"))
        EXPECT_TRUE(GlyphOf(c)[0] != 0 && GlyphOf(c)[6] != 0) << c << " spans rows 0 to 6";
    for (const char c : std::string_view("bdfhkl")) EXPECT_NE(GlyphOf(c)[0], 0) << c << " rises to row 0";
    for (const char c : std::string_view("acegmnopqrsuvwxyz")) {
        const Glyph glyph = GlyphOf(c);
        EXPECT_TRUE(glyph[0] == 0 && glyph[1] == 0 && glyph[2] != 0) << c << " starts at the x-height, row 2";
    }
}

} // namespace
