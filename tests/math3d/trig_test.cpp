#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "math3d/trig.h"

namespace {

TEST(TrigTables, ReadZeroBeforeInit)
{
    std::fill(std::begin(SinTable), std::end(SinTable), 0.0f);
    std::fill(std::begin(CosTable), std::end(CosTable), 0.0f);
    EXPECT_EQ(TableSin(90), 0.0f);
    EXPECT_EQ(TableCos(-700), 0.0f);
}

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
    EXPECT_NE(TableSin(180), 0.0f);
    EXPECT_NE(TableCos(270), 0.0f);
    EXPECT_LT(std::max(std::abs(TableSin(180)), std::abs(TableCos(270))), 1e-6f);
    for (s32 i = 0; i < 360; ++i) {
        const float angle = static_cast<float>(i) * 3.14159265f / 180.0f;
        ASSERT_EQ(TableSin(i), static_cast<float>(std::sin(static_cast<double>(angle)))) << i;
        ASSERT_EQ(TableCos(i), static_cast<float>(std::cos(static_cast<double>(angle)))) << i;
    }
}

TEST(TrigTables, ReduceAnyAngleByWholeTurns)
{
    TrigTablesInit();
    EXPECT_EQ(TableSin(360), TableSin(0));
    EXPECT_EQ(TableSin(-1), TableSin(359));
    EXPECT_NEAR(TableSin(-1), -0.0174521f, 1e-7f);
    EXPECT_EQ(TableCos(-90), TableCos(270));
    EXPECT_EQ(TableSin(765), TableSin(45));
    EXPECT_NEAR(TableSin(765), 0.7071068f, 1e-7f);
    EXPECT_EQ(TableCos(1380), TableCos(300));
    EXPECT_EQ(TableCos(-1080), TableCos(0));
}

} // namespace
