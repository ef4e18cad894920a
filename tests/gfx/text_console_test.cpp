#include <gtest/gtest.h>

#include <string>

#include "data/font.h"
#include "gfx/frame.h"
#include "gfx/text_console.h"
#include "tests/support/console_glyphs.h"
#include "tests/support/demo_display.h"

namespace {

using testing_support::GlyphText;
using testing_support::SentGlyphs;

// A console after start-up, with the cursor home and nothing recorded yet.
class TextConsole : public testing_support::DemoDisplayTest {
protected:
    void SetUp() override
    {
        DemoDisplayTest::SetUp();
        ConsoleSetCursor(0, 0);
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
};

TEST_F(TextConsole, SendsTheFixedPacketThenThePixelsIntoTheBufferShown)
{
    ConsoleDrawGlyph(21, 16, 0x80123456, 'A');
    const auto events = console.events();
    ASSERT_EQ(events.size(), 2u);
    ASSERT_EQ(events[1].data.size(), 16u);
    // Neither tag ends the GS packet; the pixels arrive in the second transfer.
    const std::vector<std::pair<u64, u64>> packet = {{0x1000000000000004, 0xe},
                                                     {(0x140000ull / 256) << 32 | 10ull << 48, GS_BITBLTBUF},
                                                     {21ull << 32 | 16ull << 48, GS_TRXPOS},
                                                     {0x0000000800000008, GS_TRXREG},
                                                     {0, GS_TRXDIR},
                                                     {0x0800000000000010, 0}};
    std::vector<std::pair<u64, u64>> sent;
    for (const gs::Qword& q : events[0].data) sent.emplace_back(q.lo, q.hi);
    EXPECT_EQ(sent, packet);
    // The colour is stored unchanged, alpha included; unlit pixels are 0.
    EXPECT_TRUE(ShowsGlyph(21, 16, 'A', 0x80123456));
    EXPECT_EQ(Shown(22, 16), 0x80123456u);
    EXPECT_TRUE(console.messages().empty());
}

TEST_F(TextConsole, TakesTheCodeModulo256AndSpaceErasesTheCell)
{
    ConsoleDrawGlyph(100, 50, 0xff00ff00, 219);
    EXPECT_TRUE(ShowsGlyph(100, 50, 219, 0xff00ff00));
    ConsoleDrawGlyph(108, 50, 0x11, 256 + 'x');
    EXPECT_TRUE(ShowsGlyph(108, 50, 'x', 0x11));
    // Only the 8 x 8 block is touched.
    ConsoleDrawGlyph(100, 50, CONSOLE_COLOUR, 32);
    EXPECT_TRUE(ShowsGlyph(100, 50, ' ', 0));
    EXPECT_TRUE(ShowsGlyph(108, 50, 'x', 0x11));
}

TEST_F(TextConsole, WriteBreaksLinesWrapsRowsToTheTopAndOverdrawsOneCellAtATime)
{
    ConsoleWrite("AB\nC");
    ConsoleWrite("D");
    ConsoleSetCursor(5, 24);
    ConsoleWrite("\nX");
    const auto glyphs = SentGlyphs(console);
    EXPECT_EQ(GlyphText(glyphs), "ABCDX");
    // D shows where the cursor was left; a line feed on the last row goes back to the top.
    std::vector<std::pair<u32, u32>> positions;
    for (const auto& g : glyphs) positions.emplace_back(g.x, g.y);
    EXPECT_EQ(positions, (std::vector<std::pair<u32, u32>>{{0, 0}, {7, 0}, {0, 8}, {7, 8}, {0, 0}}));
    // A glyph's blank eighth column covers the first of the next cell; the rest of that cell stays.
    EXPECT_TRUE(ShowsGlyph(0, 0, 'X', CONSOLE_COLOUR));
    EXPECT_EQ(Shown(7, 0), 0u);
    EXPECT_TRUE(ShowsGlyph(7, 0, 'B', CONSOLE_COLOUR, 1, 7));
    EXPECT_TRUE(ShowsGlyph(0, 8, 'C', CONSOLE_COLOUR, 0, 7));
    EXPECT_TRUE(ShowsGlyph(7, 8, 'D', CONSOLE_COLOUR));
}

} // namespace
