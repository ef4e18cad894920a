#include <gtest/gtest.h>

#include <cmath>

#include "math3d/trig.h"

namespace {

TEST(TrigTables, HoldTheF32AngleValues)
{
    TrigTablesInit();
    EXPECT_EQ(TableSin(0), 0.0f);
    EXPECT_EQ(TableCos(0), 1.0f);
    EXPECT_EQ(TableSin(90), 1.0f);
    EXPECT_EQ(TableCos(180), -1.0f);
    EXPECT_EQ(TableSin(270), -1.0f);
    EXPECT_FLOAT_EQ(TableSin(30), 0.5f);
    // The exact zeros are not: the angle is the f32 rounding of the true one.
    EXPECT_EQ(TableCos(90), -4.371139e-8f);
    for (float tiny : {TableSin(180), TableCos(270)}) {
        EXPECT_NE(tiny, 0.0f);
        EXPECT_LT(std::abs(tiny), 1e-6f);
    }
}

TEST(TrigTables, ReduceAnyAngleByWholeTurns)
{
    TrigTablesInit();
    EXPECT_NEAR(TableSin(-1), -0.0174521f, 1e-7f);
    EXPECT_NEAR(TableSin(765), 0.7071068f, 1e-7f);
    const std::pair<s32, s32> same[] = {{360, 0}, {-1, 359}, {-90, 270}, {765, 45}, {1380, 300}, {-1080, 0}};
    for (const auto& [angle, reduced] : same) {
        EXPECT_EQ(TableSin(angle), TableSin(reduced)) << angle;
        EXPECT_EQ(TableCos(angle), TableCos(reduced)) << angle;
    }
}

} // namespace
