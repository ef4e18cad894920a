#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "math3d/spline.h"

namespace {

// Four keys with every field marked and the values on x of both triples (twice them on y, negated on z).
std::array<SplineKey, 4> Keys(std::array<float, 4> values)
{
    std::array<SplineKey, 4> keys;
    std::memset(keys.data(), 0x5A, sizeof(keys));
    for (int i = 0; i < 4; ++i)
        keys[i].point = keys[i].smooth = {values[i], values[i] * 2, -values[i]};
    return keys;
}

// Return the 13 fields of a key as raw words.
std::array<u32, 13> Fields(const SplineKey& key)
{
    std::array<u32, 13> fields;
    std::memcpy(fields.data(), &key, sizeof(key));
    return fields;
}

TEST(SplineCatmullRom3, RunsFromTheSecondKeyToTheThirdAndWritesOnlyItsTriple)
{
    const auto keys = Keys({0, 10, 20, 30});
    SplineKey out;
    std::memset(&out, 0xC3, sizeof(out));
    const auto before = Fields(out);
    SplineCatmullRom3(keys.data(), &out, 50);
    EXPECT_EQ(out.point.x, 15.0f);
    EXPECT_EQ(out.point.y, 30.0f);
    EXPECT_EQ(out.point.z, -15.0f);
    for (int i : {0, 4, 5, 6, 7, 8, 9, 10, 11, 12}) EXPECT_EQ(Fields(out)[i], before[i]) << "field " << i;

    SplineCatmullRom3(keys.data(), &out, 0);
    EXPECT_FLOAT_EQ(out.point.z, -10);
    SplineCatmullRom3(keys.data(), &out, 100);
    EXPECT_FLOAT_EQ(out.point.x, 20);
    // Uneven keys bend the curve past the chord.
    SplineCatmullRom3(Keys({0, 0, 10, 0}).data(), &out, 50);
    EXPECT_FLOAT_EQ(out.point.x, 5.625f);
}

TEST(SplineBSpline3, StartsAtTheWeightedMeanAndWeighsTheLinearTermBy127)
{
    const auto keys = Keys({0, 10, 20, 30});
    SplineKey out;
    std::memset(&out, 0xC3, sizeof(out));
    const auto before = Fields(out);
    SplineBSpline3(keys.data(), &out, 0);
    EXPECT_FLOAT_EQ(out.smooth.x, 10);
    EXPECT_FLOAT_EQ(out.smooth.y, 20);
    EXPECT_FLOAT_EQ(out.smooth.z, -10);
    for (int i : {0, 1, 2, 3, 7, 8, 9, 10, 11, 12}) EXPECT_EQ(Fields(out)[i], before[i]) << "field " << i;

    // Straight keys leave only the linear term, which reaches 127/256 of P2 - P0 rather than a half.
    SplineBSpline3(keys.data(), &out, 100);
    EXPECT_FLOAT_EQ(out.smooth.x, 10 + 20 * 127.0f / 256);
    // Step 99 rounds down to 253/256 of the way.
    SplineBSpline3(keys.data(), &out, 99);
    EXPECT_FLOAT_EQ(out.smooth.x, 10 + 253.0f / 256 * 20 * 127.0f / 256);
}

TEST(SplineCatmullRom2, TruncatesEachCoordinateTowardsZero)
{
    const SplinePoint points[4] = {{0, 0}, {10, -10}, {20, -20}, {30, -30}};
    SplinePoint out = {};
    SplineCatmullRom2(points, &out, 25);
    EXPECT_EQ(out.x, 12);
    EXPECT_EQ(out.y, -12);
    SplineCatmullRom2(points, &out, 100);
    EXPECT_EQ(out.x, 20);
}

} // namespace
