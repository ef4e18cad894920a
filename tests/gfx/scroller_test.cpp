#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gfx/packet.h"
#include "gfx/scroller.h"
#include "tests/support/demo_display.h"

namespace {

using testing_support::GifTransfer;
using testing_support::Writes;
using testing_support::Xyz2;

constexpr const char* kGreeting = "Welcome to this new mini compo for round #16 of QVD, Zorzal by Kavel ..... :D, "
                                  "no VU microcode :(( perhaps for the next month !!";

class Scroller : public testing_support::DemoDisplayTest {
protected:
    // Draw the scroller afresh and return its packet between the depth switches.
    GifTransfer Drawn(s32 x, s32 y, const char* text, s32 t)
    {
        console.clear();
        DrawScroller(x, y, text, t);
        return OnlyPacket();
    }
};

// Return the RGBAQ of every column, in order.
std::vector<u64> Colours(const GifTransfer& t)
{
    std::vector<u64> out;
    for (const auto& w : t.writes)
        if (w.reg == GS_RGBAQ) out.push_back(w.value);
    return out;
}

TEST_F(Scroller, SendsOnlyPrimBeforeTheTextStartsGrowingOrWithoutText)
{
    const std::pair<const char*, s32> cases[] = {{kGreeting, 0}, {kGreeting, -5}, {"", 32}, {nullptr, 32}};
    for (const auto& [text, t] : cases) {
        const GifTransfer drawn = Drawn(640, 244, text, t);
        SCOPED_TRACE(testing::Message() << (text ? text : "null") << " at " << t);
        EXPECT_EQ(drawn.qwc, 2u);
        ASSERT_EQ(drawn.tags.size(), 1u);
        EXPECT_EQ(drawn.tags[0].lo, 0x1000000000008001u);
        EXPECT_EQ(drawn.tags[0].hi, 0xeu);
        EXPECT_EQ(drawn.writes, (Writes{{GS_PRIM, 0x46}}));
    }
}

TEST_F(Scroller, FirstFrameDrawsOneLargeFaintColumn)
{
    const GifTransfer drawn = Drawn(639, 244, kGreeting, 1);
    // W's first column has rows 0 to 5 lit: cell 124, left 639 - 496 + 1024, top 244 - 496 + 1024.
    Writes expected = {{GS_PRIM, 0x46}, {GS_RGBAQ, 0x7F04057BFF}};
    for (u64 r = 0; r < 6; ++r) {
        expected.push_back({GS_XYZ2, Xyz2(1167, 772 + r * 124, 0xFFFF)});
        expected.push_back({GS_XYZ2, Xyz2(1291, 772 + (r + 1) * 124, 0xFFFF)});
    }
    EXPECT_EQ(drawn.writes, expected);
    EXPECT_EQ(drawn.writes[2].value, 0x0000FFFF304048F0u);
    EXPECT_EQ(drawn.qwc, 15u);
    EXPECT_EQ(drawn.tags[0].lo, 0x100000000000800eu);
}

TEST_F(Scroller, ColumnsGrowByTwelveAndFadeAlongTheText)
{
    // Eleven columns of cells 3, 12, 24, ..., 120, each as faint as it is large.
    std::vector<u64> expected = {0x7F7D057BFF};
    for (u64 cell = 12; cell <= 120; cell += 12) expected.push_back(0x7F00057BFF | (128 - cell) << 24);
    EXPECT_EQ(Colours(Drawn(100, 244, kGreeting, 32)), expected);
}

TEST_F(Scroller, SkipsCharactersLeftOfTheScreenButCountsThem)
{
    // A's eight columns of 3 pixels lie at -40..-19: skipped, yet they move B on by a cell each and grow it
    // by 8 x 12.
    const GifTransfer skipped = Drawn(-40, 244, "AB", 100);
    EXPECT_EQ(skipped.writes, Drawn(-16, 244, "B", 76).writes);
    // B's columns at -16, -13 and -10 are skipped too; -7 on are drawn.
    EXPECT_EQ(Colours(skipped).size(), 5u);
    EXPECT_EQ(Drawn(-200, 244, "AB", 100).qwc, 2u);
}

TEST_F(Scroller, StopsAddingColumnsWhenTheNextDoesNotFitThePacketBuffer)
{
    // 960 columns of full blocks take 17 pairs each, then the spaces' columns one each: the 62nd fills the
    // buffer and the 63rd no longer fits.
    const std::string text = std::string(120, '\xdb') + std::string(8, ' ');
    const GifTransfer drawn = Drawn(0, 244, text.c_str(), 100000);
    EXPECT_EQ(drawn.qwc, PACKET_WORDS / 2);
    EXPECT_EQ(drawn.writes.size(), 1 + 960 * 17 + 62u);
    EXPECT_EQ(drawn.writes.back().reg, GS_RGBAQ);
    EXPECT_EQ(ScrollerBuildPacket(0, 244, text.c_str(), 100000), 1 + 960 * 17 + 62u);
}

TEST_F(Scroller, TheGreetingNeedsAtMost807QuadwordsInAnyFrame)
{
    // With this font the largest packet is 789 quadwords, first at frame 1476 and again at 1620.
    u32 largest = 0;
    for (s32 f = 0; f <= 4100; ++f) largest = std::max(largest, ScrollerBuildPacket(640 - f, 244, kGreeting, f) + 1);
    EXPECT_LE(largest, 807u);
    EXPECT_EQ(ScrollerBuildPacket(640 - 1620, 244, kGreeting, 1620) + 1, largest);
}

} // namespace
