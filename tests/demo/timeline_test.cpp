#include <gtest/gtest.h>

#include <vector>

#include "demo/timeline.h"

namespace {

TEST(Timeline, FrameWindows)
{
    EXPECT_EQ(TimelineNextFrame(4099), 4100u);
    EXPECT_EQ(TimelineNextFrame(4100), 0u);
    for (u32 frame : {300u, 301u, 1999u, 2000u, 3699u, 3700u}) {
        SCOPED_TRACE(frame);
        EXPECT_EQ(TimelinePhysicsOn(frame), frame >= 301 && frame <= 1999);
        EXPECT_EQ(TimelineClothPhase(frame), frame <= 1999);
        EXPECT_EQ(TimelineNetPhase(frame), frame >= 2000 && frame <= 3699);
    }
}

TEST(Timeline, AngleIndexStepsEveryFourthFrameAndWrapsTo1)
{
    u32 counter = 1;
    u32 index = 0;
    std::vector<u32> indexes;
    for (int frame = 0; frame < 1449; ++frame) {
        TimelineAngleAdvance(&counter, &index);
        indexes.push_back(index);
    }
    // 0 for three frames, each later value for four, up to 360; the next cycle starts at 1.
    EXPECT_EQ(std::vector<u32>(indexes.begin(), indexes.begin() + 8), (std::vector<u32>{0, 0, 0, 1, 1, 1, 1, 2}));
    EXPECT_EQ(std::vector<u32>(indexes.begin() + 1439, indexes.end()),
              (std::vector<u32>{360, 360, 360, 360, 1, 1, 1, 1, 2, 2}));
    EXPECT_EQ(counter, 1449u - 1440u + 1u);
}

TEST(Timeline, MusicFadesAfter3700AndStopsAt3910)
{
    EXPECT_FALSE(TimelineFadeOn(3700));
    EXPECT_EQ(TimelineFadeVolume(3701), 16381u);
    EXPECT_EQ(TimelineFadeVolume(3899), 15985u);
    EXPECT_TRUE(TimelineFadeOn(3899));
    EXPECT_FALSE(TimelineFadeOn(3900));
    EXPECT_FALSE(TimelineMusicStops(3909));
    EXPECT_TRUE(TimelineMusicStops(3910));
}

} // namespace
