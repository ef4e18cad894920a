#include <gtest/gtest.h>

#include <string>

#include "console/gs/layout.h"
#include "data/font.h"
#include "gfx/display.h"
#include "gfx/frame.h"
#include "gfx/gs.h"
#include "gfx/text_console.h"
#include "tests/support/console_glyphs.h"
#include "tests/support/recording_console.h"

namespace {

using testing_support::GlyphText;
using testing_support::SentGlyph;
using testing_support::SentGlyphs;

constexpr DisplayInitParams kDemoParams = {1, 0x30, 5};

// A console after start-up, with the cursor home and nothing recorded yet.
class TextConsoleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PS2Init(&kDemoParams);
        ConsoleSetCursor(0, 0);
        console.clear();
    }

    // The pixel at (x, y) of the displayed frame buffer.
    u32 Shown(u32 x, u32 y)
    {
        return console.gs().memory().read(gs::kLayoutC32.address(PS2GetDisplay()->displayBuffer / 256, 10, x, y));
    }

    // Tell whether columns from..to-1 of the block at (x, y) of the displayed buffer show the glyph of code in
    // colour. Cells are 7 pixels apart, so a glyph's block covers the first column of the next cell.
    bool ShowsGlyph(u32 x, u32 y, u32 code, u32 colour, u32 from = 0, u32 to = 8)
    {
        for (u32 r = 0; r < 8; ++r)
            for (u32 k = from; k < to; ++k)
                if (Shown(x + k, y + r) != (Font8x8[8 * code + r] & (0x80 >> k) ? colour : 0u)) return false;
        return true;
    }

    testing_support::RecordingConsole console;
};

std::vector<std::pair<u32, u32>> Positions(const std::vector<SentGlyph>& glyphs)
{
    std::vector<std::pair<u32, u32>> out;
    for (const auto& g : glyphs) out.emplace_back(g.x, g.y);
    return out;
}

TEST_F(TextConsoleTest, SendsTheFixedPacketThenThePixelsForEachGlyph)
{
    ConsoleDrawGlyph(21, 16, 0x80123456, 'A');
    const auto events = console.events();
    ASSERT_EQ(events.size(), 2u);
    ASSERT_EQ(events[0].data.size(), 6u);
    ASSERT_EQ(events[1].data.size(), 16u);
    const auto& p = events[0].data;
    // Neither tag ends the GS packet; the pixels arrive in the second transfer.
    EXPECT_EQ(p[0].lo, 0x1000000000000004u);
    EXPECT_EQ(p[0].hi, 0xeu);
    EXPECT_EQ(p[1].lo, (0x140000ull / 256) << 32 | 10ull << 48);
    EXPECT_EQ(p[1].hi, GS_BITBLTBUF);
    EXPECT_EQ(p[2].lo, 21ull << 32 | 16ull << 48);
    EXPECT_EQ(p[2].hi, GS_TRXPOS);
    EXPECT_EQ(p[3].lo, 0x0000000800000008u);
    EXPECT_EQ(p[3].hi, GS_TRXREG);
    EXPECT_EQ(p[4].lo, 0u);
    EXPECT_EQ(p[4].hi, GS_TRXDIR);
    EXPECT_EQ(p[5].lo, 0x0800000000000010u);
    EXPECT_EQ(p[5].hi, 0u);

    // The colour is stored unchanged, alpha included; unlit pixels are 0.
    EXPECT_TRUE(ShowsGlyph(21, 16, 'A', 0x80123456));
    EXPECT_EQ(Shown(22, 16), 0x80123456u);
    EXPECT_EQ(Shown(21, 16), 0u);
    EXPECT_TRUE(console.messages().empty());
}

TEST_F(TextConsoleTest, DrawsIntoTheBufferBeingShown)
{
    PS2FlipScreen();
    console.clear();
    ConsoleDrawGlyph(0, 0, CONSOLE_COLOUR, 'Q');
    const auto glyphs = SentGlyphs(console);
    ASSERT_EQ(glyphs.size(), 1u);
    EXPECT_EQ(glyphs[0].dbp, 0x280000u / 256);
    EXPECT_TRUE(ShowsGlyph(0, 0, 'Q', CONSOLE_COLOUR));
}

TEST_F(TextConsoleTest, TakesTheCodeModulo256AndSpaceErasesTheCell)
{
    ConsoleDrawGlyph(100, 50, 0xff00ff00, 219);
    EXPECT_TRUE(ShowsGlyph(100, 50, 219, 0xff00ff00));
    ConsoleDrawGlyph(108, 50, 0x11, 256 + 'x');
    EXPECT_TRUE(ShowsGlyph(108, 50, 'x', 0x11));

    ConsoleDrawGlyph(100, 50, CONSOLE_COLOUR, 32);
    for (u32 r = 0; r < 8; ++r)
        for (u32 k = 0; k < 8; ++k) EXPECT_EQ(Shown(100 + k, 50 + r), 0u);
    // Only the 8 x 8 block is touched.
    EXPECT_EQ(Shown(99, 50), 0u);
    EXPECT_TRUE(ShowsGlyph(108, 50, 'x', 0x11));
}

TEST_F(TextConsoleTest, LineFeedStartsTheNextRow)
{
    ConsoleWrite("AB\nC");
    ConsoleWrite("D");
    const auto glyphs = SentGlyphs(console);
    EXPECT_EQ(GlyphText(glyphs), "ABCD");
    // D shows where the cursor was left: column 1, row 1.
    EXPECT_EQ(Positions(glyphs), (std::vector<std::pair<u32, u32>>{{0, 0}, {7, 0}, {0, 8}, {7, 8}}));
    EXPECT_EQ(console.events().size(), 8u);
    EXPECT_TRUE(ShowsGlyph(0, 8, 'C', CONSOLE_COLOUR, 0, 7));
    EXPECT_TRUE(ShowsGlyph(7, 8, 'D', CONSOLE_COLOUR));
}

TEST_F(TextConsoleTest, WrapsAfterTheEightiethColumn)
{
    ConsoleSetCursor(0, 3);
    ConsoleWrite(std::string(80, 'a').append("b").c_str());
    const auto glyphs = SentGlyphs(console);
    ASSERT_EQ(glyphs.size(), 81u);
    EXPECT_EQ(glyphs[79].x, 553u);
    EXPECT_EQ(glyphs[79].y, 24u);
    EXPECT_EQ(glyphs[80].x, 0u);
    EXPECT_EQ(glyphs[80].y, 32u);
}

TEST_F(TextConsoleTest, RowWrapsToTheTopAndOverdrawsOneCellAtATime)
{
    ConsoleWrite("XYZ");
    ConsoleSetCursor(5, 24);
    console.clear();
    ConsoleWrite("\nA");
    const auto glyphs = SentGlyphs(console);
    ASSERT_EQ(glyphs.size(), 1u);
    EXPECT_EQ(glyphs[0].x, 0u);
    EXPECT_EQ(glyphs[0].y, 0u);
    EXPECT_TRUE(ShowsGlyph(0, 0, 'A', CONSOLE_COLOUR));
    // A's blank eighth column covers Y's first; the rest of Y stays.
    EXPECT_EQ(Shown(7, 0), 0u);
    EXPECT_TRUE(ShowsGlyph(7, 0, 'Y', CONSOLE_COLOUR, 1, 7));
    EXPECT_TRUE(ShowsGlyph(14, 0, 'Z', CONSOLE_COLOUR));
}

} // namespace
