#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "pad/pad.h"
#include "tests/support/recording_console.h"

namespace {

const std::string kDualShockStart = "padInfoMode: 115\nEnabling dual shock functions\n"
                                    "setMainMode dualshock (locked): 1\n";
const std::string kPressure = "infoPressMode: 1\nenterPressMode: 1\n";

// A console whose controller is pulled out at a given vertical blank.
class UnpluggingConsole : public testing_support::RecordingConsole {
public:
    std::uint64_t unplugAt = ~0ull;

    void field(const console::Field& field) override
    {
        RecordingConsole::field(field);
        if (field.index() == unplugAt) machine().controller().setKind(pad::Kind::None);
    }
};

constexpr pad::ActAlign kUnaligned = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

struct Case {
    const char* name;
    pad::Kind kind;
    std::uint64_t unplugAt;
    std::string printed;
    std::uint64_t fields; // two blanks to find the controller, then one at the end of each ready wait
    bool asleep;
    std::uint8_t modeId; // what the controller is left in
    pad::ActAlign align;
};

const Case kCases[] = {
    {"DualShock", pad::Kind::DualShock, ~0ull,
     kDualShockStart + kPressure + "# of actuators: 2\npadSetActAlign: 1\n", 7, false, pad::kPressureId,
     {0, 1, 0xFF, 0xFF, 0xFF, 0xFF}},
    {"DualShockNoActuators", pad::Kind::DualShockNoActuators, ~0ull,
     kDualShockStart + kPressure + "# of actuators: 0\nDid not find any actuators.\n", 6, false, pad::kPressureId,
     kUnaligned},
    {"Digital", pad::Kind::Digital, ~0ull,
     "padInfoMode: 65\nThis is NOT a dual shock controller\nDid you forget to define RAM_PADMAN perhaps?\n", 2,
     false, pad::kDigitalId, kUnaligned},
    {"None", pad::Kind::None, ~0ull, "Pad(0, 0) is disconnected\npad initalization failed!\n", 0, true, 0,
     kUnaligned},
    // Pulled out at the blank that ends the ready wait after the main mode was set.
    {"Unplugged", pad::Kind::DualShock, 2, kDualShockStart + "infoPressMode: 0\npad initalization failed!\n", 3,
     true, 0, kUnaligned},
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class PadSetupTest : public ::testing::TestWithParam<Case> {};

TEST_P(PadSetupTest, PrintsEachStepOnceAndSleepsWithoutAController)
{
    const Case& c = GetParam();
    UnpluggingConsole console;
    console.unplugAt = c.unplugAt;
    console.machine().controller().setKind(c.kind);
    PadReady = 0;
    for (const std::string& printed : {c.printed, std::string()}) {
        testing::internal::CaptureStdout();
        bool asleep = false;
        try {
            EXPECT_EQ(PadSetup(), 0);
        } catch (const console::Asleep&) {
            asleep = true;
        }
        EXPECT_EQ(testing::internal::GetCapturedStdout(), printed);
        EXPECT_EQ(asleep, c.asleep);
        if (asleep) break;
    }
    EXPECT_EQ(PadReady, c.asleep ? 0 : 1);
    EXPECT_EQ(console.fields(), c.fields);
    EXPECT_EQ(console.machine().controller().modeId(), c.modeId);
    EXPECT_EQ(console.machine().controller().actAlign(), c.align);
    // Every DualShock that was set up is locked in its mode.
    EXPECT_EQ(console.machine().controller().locked(), c.modeId == pad::kPressureId);
}

INSTANTIATE_TEST_SUITE_P(Kinds, PadSetupTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Counts the fields of a console that runs on the wall clock.
class CountingHost : public console::Host {
public:
    void field(const console::Field&) override { ++fields; }
    void message(std::string_view) override {}
    std::uint64_t fields = 0;
};

TEST(PadSetup, EndsOnTheWallClockAsOnVirtualTime)
{
    CountingHost host;
    console::WallClock clock(std::chrono::milliseconds(1));
    console::Machine machine(host, clock);
    PadReady = 0;
    testing::internal::CaptureStdout();
    EXPECT_EQ(PadSetup(), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), kCases[0].printed);
    EXPECT_GE(host.fields, 7u);
}

} // namespace
