#include <gtest/gtest.h>

#include "console/gs/band_hazards.h"

namespace {

using gs::BandHazards;
using gs::BufferShape;
using gs::Pages;

const BufferShape kFrame{0, 10, &gs::kLayoutC32};
const BufferShape kDepth{160 * 32, 10, &gs::kLayoutZ32};
const BufferShape kNarrowFrame{0, 5, &gs::kLayoutC32};

TEST(BandHazards, OnePageWrittenThroughTwoShapesNeedsAMeeting)
{
    BandHazards h;
    EXPECT_TRUE(h.write({0, 79}, kFrame));
    EXPECT_TRUE(h.write({160, 239}, kDepth));
    EXPECT_TRUE(h.write({0, 159}, kFrame)); // a shape grows as it likes while it meets no other
    EXPECT_FALSE(h.write({100, 120}, kNarrowFrame));
    EXPECT_FALSE(h.write({150, 170}, kFrame)); // growing into the depth buffer's pages
    EXPECT_TRUE(h.write({300, 310}, kNarrowFrame)); // refusals recorded nothing
    h.clear();
    EXPECT_TRUE(h.write({100, 120}, kNarrowFrame));
}

TEST(BandHazards, ATexturePageIsEitherReadOrWrittenBetweenMeetings)
{
    BandHazards h;
    EXPECT_TRUE(h.write({0, 159}, kFrame));
    EXPECT_FALSE(h.read({150, 151}));        // drawn a moment ago, maybe by the other side
    EXPECT_TRUE(h.read({320, 330}));
    EXPECT_FALSE(h.write({325, 325}, kFrame)); // still being read, maybe by the other side
    EXPECT_FALSE(h.write({320, 320}, gs::kImageShape));
    h.clear();
    EXPECT_TRUE(h.write({320, 330}, gs::kImageShape));
    EXPECT_FALSE(h.read({330, 340}));          // an image's pages wait for a meeting
    EXPECT_FALSE(h.write({330, 340}, kFrame));
}

TEST(BandHazards, WrappingRangesAndAFullRecordAreTakenAsConflicts)
{
    BandHazards h;
    EXPECT_TRUE(h.write({500, 520}, kFrame)); // wraps: taken as all of memory
    EXPECT_FALSE(h.read({3, 4}));
    EXPECT_FALSE(h.write({0, 0}, kDepth));
    h.clear();
    for (gs::u32 i = 0; i < 4; ++i) EXPECT_TRUE(h.write({i * 10, i * 10 + 5}, BufferShape{i * 320, 1, &gs::kLayoutC32}));
    EXPECT_FALSE(h.write({100, 101}, BufferShape{9999, 1, &gs::kLayoutC32}));
    EXPECT_TRUE(h.write({0, 1}, BufferShape{0, 1, &gs::kLayoutC32}));
}

} // namespace
