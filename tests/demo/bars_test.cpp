#include "demo/bars.h"

#include <gtest/gtest.h>

namespace {

struct Band {
    u32 count;
    BarRect bars[3];
};

Band At(u32 frame)
{
    Band b{};
    b.count = BarsForFrame(frame, 640, 256, b.bars);
    return b;
}

void ExpectRect(const BarRect& r, s32 x0, s32 y0, s32 x1, s32 y1, u32 colour)
{
    EXPECT_EQ(r.x0, x0);
    EXPECT_EQ(r.y0, y0);
    EXPECT_EQ(r.x1, x1);
    EXPECT_EQ(r.y1, y1);
    EXPECT_EQ(r.colour, colour);
}

TEST(Bars, SpanTheScreenUntilTheClosingStarts)
{
    for (u32 frame : {0u, 1999u, 3699u, 3700u}) {
        const Band b = At(frame);
        ASSERT_EQ(b.count, 3u) << frame;
        ExpectRect(b.bars[0], 0, 20, 640, 226, BAR_GREY);
        ExpectRect(b.bars[1], 0, 19, 640, 21, BAR_WHITE);
        ExpectRect(b.bars[2], 0, 225, 640, 227, BAR_WHITE);
    }
}

TEST(Bars, CloseTowardsTheMiddleAndVanishAt3860)
{
    const Band d102 = At(3802);
    ASSERT_EQ(d102.count, 3u);
    ExpectRect(d102.bars[0], 204, 122, 436, 124, BAR_GREY);
    ExpectRect(d102.bars[1], 204, 121, 436, 123, BAR_WHITE);
    ExpectRect(d102.bars[2], 204, 123, 436, 125, BAR_WHITE);
    // v stays at 102 from there on while the sides keep closing.
    const Band last = At(3859);
    ASSERT_EQ(last.count, 3u);
    ExpectRect(last.bars[0], 318, 122, 322, 124, BAR_GREY);
    EXPECT_EQ(At(3860).count, 0u);
    EXPECT_EQ(At(4100).count, 0u);
}

} // namespace
