#include "frontend/contact_sheet.h"

#include <gtest/gtest.h>

namespace {

console::Picture Solid(std::uint32_t colour)
{
    console::Picture p;
    p.width = 640;
    p.height = 256;
    p.pixels.assign(640 * 256, colour);
    return p;
}

TEST(ContactSheet, TilesFieldsAt4x3InRowsOfEightUnderTheirNumbers)
{
    frontend::ContactSheet sheet;
    std::string error;
    EXPECT_FALSE(sheet.write("/tmp/never-written.png", error)) << "a sheet without fields";
    EXPECT_FALSE(error.empty());
    sheet.add(1234, Solid(0xFF000000u));
    for (int i = 1; i < 9; ++i) sheet.add(i * 50, Solid(0xFF000000u | (i * 20)));
    const console::Picture& p = sheet.picture();
    // Eight 256 x 192 tiles with their gaps per row; two rows of tile, label and gap.
    EXPECT_EQ(p.width, 8u * (256 + 2) + 2);
    EXPECT_EQ(p.height, 2u * (192 + 14 + 2) + 2);
    // The third tile's picture area to its last pixel, and the first tile of the second row.
    EXPECT_EQ(p.at(2 + 2 * 258 + 100, 2 + 14 + 50), 0xFF000028u);
    EXPECT_EQ(p.at(2 + 2 * 258 + 255, 2 + 14 + 191), 0xFF000028u);
    EXPECT_EQ(p.at(2 + 2 * 258 + 256, 2 + 14 + 191), 0xFF202020u);
    EXPECT_EQ(p.at(2 + 100, 2 + 208 + 14 + 50), 0xFF0000A0u);
    // The four digits of 6 x 10 pixels each light some pixels in the first label strip, none beyond them.
    int lit = 0, beyond = 0;
    for (std::uint32_t y = 2; y < 16; ++y)
        for (std::uint32_t x = 2; x < 100; ++x)
            if (p.at(x, y) == 0xFFFFFFFFu) (x < 2 + 2 + 4 * 8 ? lit : beyond)++;
    EXPECT_GT(lit, 40);
    EXPECT_EQ(beyond, 0);
}

TEST(ContactSheet, HoldsAtMostASanePictureOfTiles)
{
    frontend::ContactSheet sheet;
    const console::Picture field = Solid(0xFF00FF00u);
    for (std::uint32_t i = 0; i < frontend::ContactSheet::kMaxTiles; ++i) ASSERT_TRUE(sheet.add(i, field));
    EXPECT_FALSE(sheet.add(9999, field));
    EXPECT_EQ(sheet.picture().height, 64u * (192 + 14 + 2) + 2);
}

} // namespace
