#include <gtest/gtest.h>

#include "web/field_pacer.h"

namespace {

// Runs the pacer as the page's clock does: waits until each blank is due and hands the page its turn when
// the pacer asks; `work` ms of program per field. Returns the page times of the blanks.
std::vector<double> Pace(web::FieldPacer& pacer, double& now, int fields, double work, int* turns = nullptr)
{
    std::vector<double> times;
    for (int i = 0; i < fields; ++i) {
        for (double wait; (wait = pacer.waitFor(now)) > 0.0;) {
            now += wait;
            pacer.yielded(now);
        }
        if (pacer.yieldBefore(now)) {
            pacer.yielded(now);
            if (turns) ++*turns;
        }
        pacer.delivered();
        times.push_back(now);
        now += work;
    }
    return times;
}

TEST(FieldPacer, NeverGivesBlanksFasterThanFiftyASecond)
{
    web::FieldPacer pacer;
    double now = 1000.0;
    const auto times = Pace(pacer, now, 100, 3.0);
    for (size_t i = 0; i < times.size(); ++i) EXPECT_DOUBLE_EQ(times[i], 1000.0 + 20.0 * static_cast<double>(i));
    EXPECT_EQ(pacer.fields(), 100u);
    EXPECT_EQ(pacer.behind(now), 0u);
}

TEST(FieldPacer, ASlowProgramRunsEveryFieldAndCatchesUp)
{
    web::FieldPacer pacer;
    double now = 0.0;
    // 30 ms a field for 50 fields: it falls 10 ms a field behind and never waits.
    int turns = 0;
    auto times = Pace(pacer, now, 50, 30.0, &turns);
    EXPECT_DOUBLE_EQ(times.back(), 49 * 30.0);
    EXPECT_EQ(pacer.behind(now), 26u); // 1500 ms of time brought 76 blanks; 50 came
    // While behind it still hands the page a turn at least every 25 ms of work: here every field.
    EXPECT_GE(turns, 49);
    // Fast again: it runs without waiting until it is back on time, then keeps time.
    times = Pace(pacer, now, 60, 5.0);
    EXPECT_DOUBLE_EQ(times.back(), 20.0 * 109);
    EXPECT_EQ(pacer.behind(now), 0u);
}

TEST(FieldPacer, AStoppedClockHoldsTheBlanks)
{
    web::FieldPacer pacer;
    double now = 0.0;
    Pace(pacer, now, 10, 1.0);
    // The page's clock stands still while paused: the next blank stays due in the future.
    EXPECT_NEAR(pacer.waitFor(now), 19.0, 1e-9);
    EXPECT_NEAR(pacer.waitFor(now), 19.0, 1e-9);
    // A step moves the clock on by one field: exactly one more blank.
    now += 20.0;
    EXPECT_EQ(pacer.waitFor(now), 0.0);
    pacer.delivered();
    EXPECT_GT(pacer.waitFor(now), 0.0);
}

TEST(FieldPacer, WithoutAPeriodItRunsFlatOutButGivesThePageItsTurns)
{
    web::FieldPacer pacer(0.0, 25.0);
    double now = 0.0;
    int turns = 0;
    Pace(pacer, now, 1000, 1.0, &turns);
    EXPECT_DOUBLE_EQ(now, 1000.0);
    EXPECT_EQ(turns, 39); // every 25 ms of the 1000
    EXPECT_EQ(pacer.behind(now), 0u);
}

TEST(FieldPacer, CommandsAreTimedForTheNextBlank)
{
    web::FieldPacer pacer;
    EXPECT_EQ(pacer.waitFor(500.0), 0.0);
    pacer.delivered();
    EXPECT_DOUBLE_EQ(pacer.nextDue(), 520.0);
}

} // namespace
