#include "demo/bars.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

using Rect = std::array<s64, 5>;

// The band's rectangles of a frame on the 640 x 256 screen, colour last.
std::vector<Rect> At(u32 frame)
{
    BarRect bars[3];
    const u32 count = BarsForFrame(frame, 640, 256, bars);
    std::vector<Rect> rects;
    for (u32 i = 0; i < count && i < 3; ++i)
        rects.push_back({bars[i].x0, bars[i].y0, bars[i].x1, bars[i].y1, bars[i].colour});
    return rects;
}

TEST(Bars, SpanTheScreenUntilTheClosingThenCloseTowardsTheMiddleAndVanishAt3860)
{
    const std::vector<Rect> full = {{0, 20, 640, 226, BAR_GREY}, {0, 19, 640, 21, BAR_WHITE},
                                    {0, 225, 640, 227, BAR_WHITE}};
    for (u32 frame : {0u, 1999u, 3699u, 3700u}) EXPECT_EQ(At(frame), full) << frame;
    EXPECT_EQ(At(3802), (std::vector<Rect>{{204, 122, 436, 124, BAR_GREY}, {204, 121, 436, 123, BAR_WHITE},
                                           {204, 123, 436, 125, BAR_WHITE}}));
    // v stays at 102 from there on while the sides keep closing.
    EXPECT_EQ(At(3859).at(0), (Rect{318, 122, 322, 124, BAR_GREY}));
    EXPECT_TRUE(At(3860).empty());
    EXPECT_TRUE(At(4100).empty());
}

} // namespace
