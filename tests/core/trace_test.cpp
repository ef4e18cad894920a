#include <gtest/gtest.h>

#include <string>

#include "core/pool.h"
#include "core/trace.h"
#include "gfx/text_console.h"
#include "tests/support/console_glyphs.h"
#include "tests/support/demo_display.h"

namespace {

using testing_support::GlyphText;
using testing_support::SentGlyphs;

// Traces from the start of row 2, as after start-up's two lines.
class TraceLogTest : public testing_support::DemoDisplayTest {
protected:
    void SetUp() override
    {
        DemoDisplayTest::SetUp();
        ConsoleSetCursor(0, 2);
    }
};

TEST_F(TraceLogTest, DrawsTheAllocationLineAndMovesToTheNextRow)
{
    OrbMemInit();
    OrbAlloc(4800);
    TraceLog("x");
    const auto glyphs = SentGlyphs(console);
    ASSERT_EQ(glyphs.size(), 28u);
    EXPECT_EQ(GlyphText(glyphs), "- OrbAlloc :  size -> 4800 x");
    // The head leaves the tail on its row; the tail's line feed moves the cursor to the next.
    for (std::size_t i = 0; i < 27; ++i) EXPECT_TRUE(glyphs[i].x == 7 * i && glyphs[i].y == 16) << i;
    EXPECT_EQ(glyphs[27].x, 0u);
    EXPECT_EQ(glyphs[27].y, 24u);
    // Trace text never reaches the standard output or the console's log.
    EXPECT_TRUE(console.messages().empty());
}

TEST_F(TraceLogTest, AMessageEndingInALineFeedLeavesOneBlankOnTheNextRow)
{
    TraceLog(" -> %s \n", "LWO parsing finished\n");
    TraceLog("%d", 7);
    const auto glyphs = SentGlyphs(console);
    EXPECT_EQ(GlyphText(glyphs), " -> LWO parsing finished 7");
    ASSERT_EQ(glyphs.size(), 26u);
    EXPECT_EQ(glyphs[24].x, 0u);
    EXPECT_EQ(glyphs[24].y, 24u);
    EXPECT_EQ(glyphs[25].y, 32u);
}

TEST_F(TraceLogTest, CutsALongTextAt2047CharactersAndWrapsOverTheScreen)
{
    ConsoleSetCursor(0, 0);
    std::string text;
    for (int i = 0; i < 3000; ++i) text += static_cast<char>('a' + i % 26);
    TraceLog("%s", text.c_str());
    const auto glyphs = SentGlyphs(console);
    ASSERT_EQ(glyphs.size(), 2047u);
    EXPECT_EQ(GlyphText(glyphs), text.substr(0, 2047));
    // 80 columns by 25 rows fill the screen; the last 47 go over the top row again.
    EXPECT_EQ(glyphs[79].x, 553u);
    EXPECT_EQ(glyphs[80].x, 0u);
    EXPECT_EQ(glyphs[80].y, 8u);
    EXPECT_EQ(glyphs[1999].y, 192u);
    EXPECT_EQ(glyphs[2046].x, 7u * 46);
    EXPECT_EQ(glyphs[2046].y, 0u);
}

TEST(PS2InitTrace, TellsOfTheZBufferOnlyWhenOneIsAskedForInTheBufferShown)
{
    testing_support::RecordingConsole console;
    ConsoleSetCursor(0, 0);
    PS2Init(&testing_support::kDemoParams);
    const auto glyphs = SentGlyphs(console);
    EXPECT_EQ(GlyphText(glyphs), "- PS2Init :  -> zBuffer enable ");
    ASSERT_FALSE(glyphs.empty());
    EXPECT_EQ(glyphs[0].dbp, 0x280000u / 256);

    console.clear();
    const DisplayInitParams noDepth = {0, 0x30, 5};
    PS2Init(&noDepth);
    EXPECT_TRUE(SentGlyphs(console).empty());
}

} // namespace
