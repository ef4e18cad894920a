#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "console/gs/layout.h"
#include "data/font.h"
#include "gfx/display.h"
#include "gfx/gs.h"
#include "gfx/packet.h"
#include "gfx/scroller.h"
#include "tests/support/recording_console.h"

namespace {

using testing_support::RegisterWrite;

constexpr DisplayInitParams kDemoParams = {1, 0x30, 5};
constexpr const char* kGreeting = "Welcome to this new mini compo for round #16 of QVD, Zorzal by Kavel ..... :D, no VU "
                                  "microcode :(( perhaps for the next month !!";

class ScrollerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PS2Init(&kDemoParams);
        console.clear();
    }

    // The scroller's own transfer, between the two depth switches.
    testing_support::GifTransfer Drawn(s32 x, s32 y, const char* text, s32 t)
    {
        console.clear();
        DrawScroller(x, y, text, t);
        const auto transfers = console.transfers();
        EXPECT_EQ(transfers.size(), 3u);
        EXPECT_EQ(transfers.front().writes, (std::vector<RegisterWrite>{{GS_TEST_1, 0x30000}}));
        EXPECT_EQ(transfers.back().writes, (std::vector<RegisterWrite>{{GS_ZBUF_1, 0x30000000}, {GS_TEST_1, 0x70000}}));
        return transfers.at(1);
    }

    testing_support::RecordingConsole console;
};

std::vector<u64> Colours(const testing_support::GifTransfer& t)
{
    std::vector<u64> out;
    for (const auto& w : t.writes)
        if (w.reg == GS_RGBAQ) out.push_back(w.value);
    return out;
}

u64 Xyz(u64 x, u64 y) { return x * 16 | y * 16 << 16 | 0xffffull << 32; }

TEST_F(ScrollerTest, SendsOnlyPrimBeforeTheTextStartsGrowing)
{
    for (s32 t : {0, -5}) {
        const auto drawn = Drawn(640, 244, kGreeting, t);
        EXPECT_EQ(drawn.qwc, 2u);
        EXPECT_EQ(drawn.tags[0].lo, 0x1000000000008001u);
        EXPECT_EQ(drawn.tags[0].hi, 0xeu);
        EXPECT_EQ(drawn.writes, (std::vector<RegisterWrite>{{GS_PRIM, 0x46}}));
    }
    EXPECT_EQ(Drawn(100, 244, "", 32).qwc, 2u);
    EXPECT_EQ(Drawn(100, 244, nullptr, 32).qwc, 2u);
}

TEST_F(ScrollerTest, FirstFrameDrawsOneLargeFaintColumn)
{
    const auto drawn = Drawn(639, 244, kGreeting, 1);
    // W's first column has rows 0 to 5 lit: cell 124, left 639 - 496 + 1024, top 244 - 496 + 1024.
    std::vector<RegisterWrite> expected = {{GS_PRIM, 0x46}, {GS_RGBAQ, 0x7F04057BFF}};
    for (u64 r = 0; r < 6; ++r) {
        expected.push_back({GS_XYZ2, Xyz(1167, 772 + r * 124)});
        expected.push_back({GS_XYZ2, Xyz(1291, 772 + (r + 1) * 124)});
    }
    EXPECT_EQ(drawn.writes, expected);
    EXPECT_EQ(drawn.writes[2].value, 0x0000FFFF304048F0u);
    EXPECT_EQ(drawn.qwc, 15u);
    EXPECT_EQ(drawn.tags[0].lo, 0x100000000000800eu);
}

TEST_F(ScrollerTest, ColumnsGrowByTwelveAndFadeAlongTheText)
{
    const auto drawn = Drawn(100, 244, kGreeting, 32);
    const std::vector<s64> cells = {3, 12, 24, 36, 48, 60, 72, 84, 96, 108, 120};
    const auto colours = Colours(drawn);
    ASSERT_EQ(colours.size(), cells.size());
    s64 px = 100;
    std::size_t column = 0;
    for (std::size_t i = 0; i < drawn.writes.size(); ++i) {
        if (drawn.writes[i].reg != GS_RGBAQ) continue;
        const s64 cell = cells[column];
        EXPECT_EQ(drawn.writes[i].value, 0x7F00057BFFull | static_cast<u64>(128 - cell) << 24) << column;
        // Every square of the column starts at its left edge and is cell pixels wide.
        for (std::size_t j = i + 1; j < drawn.writes.size() && drawn.writes[j].reg == GS_XYZ2; j += 2) {
            EXPECT_EQ(drawn.writes[j].value & 0xffff, static_cast<u64>(px - 4 * cell + 1024) * 16);
            EXPECT_EQ(drawn.writes[j + 1].value & 0xffff, static_cast<u64>(px - 3 * cell + 1024) * 16);
        }
        px += cell;
        ++column;
    }
}

TEST_F(ScrollerTest, SkipsCharactersLeftOfTheScreenButCountsThem)
{
    // A's eight columns of 3 pixels lie at -40..-19: skipped, yet they move B on and grow it by 8 x 12.
    const auto skipped = Drawn(-40, 244, "AB", 100);
    const auto alone = Drawn(-16, 244, "B", 76);
    EXPECT_EQ(skipped.writes, alone.writes);
    // B's columns at -16, -13 and -10 are skipped too; -7 on are drawn.
    EXPECT_EQ(Colours(skipped).size(), 5u);
    EXPECT_EQ(Drawn(-200, 244, "AB", 100).qwc, 2u);
}

TEST_F(ScrollerTest, SquaresLandBlendedInTheDrawBuffer)
{
    DrawScroller(100, 244, kGreeting, 32);
    // The first square: cell 3 at (88, 232), orange at alpha 125 of 128 over black.
    const u32 pixel =
        console.gs().memory().read(gs::kLayoutC32.address(PS2GetDisplay()->drawBuffer / 256, 10, 89, 233));
    EXPECT_GE(pixel & 0xff, 0xf0u);
    EXPECT_NEAR(static_cast<int>(pixel >> 8 & 0xff), 0x78, 3);
    EXPECT_LE(pixel >> 16 & 0xff, 5u);
}

TEST_F(ScrollerTest, StopsAddingColumnsBeforeThePacketBufferOverflows)
{
    // Full blocks of 3-pixel squares: every column takes 17 pairs, far more than the buffer holds.
    const std::string blocks(200, '\xdb');
    const u32 pairs = ScrollerBuildPacket(0, 244, blocks.c_str(), 100000);
    const u32 columns = (PACKET_WORDS / 2 - 2) / 17;
    EXPECT_EQ(pairs, 1 + 17 * columns);
    EXPECT_EQ(GsPacket.packetQwc, pairs + 1);
    EXPECT_LE(GsPacket.packetIndex, PACKET_WORDS);
    EXPECT_EQ(GsPacket.packetWords[0], PS2GifTagPacked(pairs));

    const auto drawn = Drawn(0, 244, blocks.c_str(), 100000);
    EXPECT_EQ(drawn.writes.size(), pairs);
    EXPECT_EQ(drawn.writes.back().reg, GS_XYZ2);
}

TEST_F(ScrollerTest, TheGreetingNeedsAtMost807QuadwordsInAnyFrame)
{
    // With this font the largest packet is 789 quadwords, first at frame 1476 and again at 1620.
    u32 largest = 0;
    for (s32 f = 0; f <= 4100; ++f) largest = std::max(largest, ScrollerBuildPacket(640 - f, 244, kGreeting, f) + 1);
    EXPECT_LE(largest, 807u);
    EXPECT_EQ(ScrollerBuildPacket(640 - 1620, 244, kGreeting, 1620) + 1, largest);
}

} // namespace
