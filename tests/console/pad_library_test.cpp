#include <gtest/gtest.h>

#include <array>

#include "gfx/frame.h"
#include "ps2/libpad.h"
#include "ps2/loadfile.h"
#include "ps2/sif_rpc.h"
#include "tests/support/recording_console.h"

namespace {

class PadLibrary : public ::testing::Test {
protected:
    void LoadModules()
    {
        SifInitRpc(0);
        SifLoadFileInit();
        SifLoadModule("rom0:XSIO2MAN", 0, nullptr);
        SifLoadModule("rom0:XPADMAN", 0, nullptr);
    }

    // Opens port 0 on this kind of controller and polls until it is stable.
    void BringUp(pad::Kind kind)
    {
        controller().setKind(kind);
        LoadModules();
        ASSERT_EQ(padInit(0), 1);
        ASSERT_EQ(padPortOpen(0, 0, area), 1);
        for (int i = 0; i < 3; ++i) padGetState(0, 0);
        ASSERT_EQ(padGetState(0, 0), PAD_STATE_STABLE);
    }

    pad::Controller& controller() { return console.machine().controller(); }
    s32 CurrentId() { return padInfoMode(0, 0, PAD_MODECURID, 0); }

    testing_support::RecordingConsole console;
    alignas(64) u8 area[256] = {};
};

TEST_F(PadLibrary, InitNeedsXpadmanAndOpenNeedsInitPortZeroAndAnAlignedArea)
{
    EXPECT_EQ(padInit(0), -3);
    SifInitRpc(0);
    EXPECT_EQ(padInit(0), -1);
    EXPECT_EQ(padPortOpen(0, 0, area), 0);
    LoadModules();
    EXPECT_EQ(padInit(0), 1);
    EXPECT_EQ(padGetState(0, 0), PAD_STATE_DISCONN);
    EXPECT_EQ(padPortOpen(1, 0, area) + padPortOpen(0, 1, area) + padPortOpen(0, 0, area + 16), 0);
    EXPECT_EQ(padPortOpen(0, 0, area), 1);
    EXPECT_EQ(padGetState(0, 0), PAD_STATE_FINDPAD);
}

TEST_F(PadLibrary, EachStepEndsAtTheNextBlankOrAtItsSecondRead)
{
    BringUp(pad::Kind::DualShock);
    EXPECT_EQ(console.fields(), 0u);

    padPortOpen(0, 0, area);
    PS2WaitVSync();
    EXPECT_EQ(padGetState(0, 0), PAD_STATE_FINDCTP1);
    EXPECT_EQ(CurrentId(), 0);
    padPortOpen(0, 0, area);
    PS2WaitVSync();
    PS2WaitVSync();
    EXPECT_EQ(padGetState(0, 0), PAD_STATE_STABLE);

    // A command's effect shows once it has ended; another is refused meanwhile.
    EXPECT_EQ(padSetMainMode(0, 0, PAD_MMODE_DIGITAL, PAD_MMODE_UNLOCK), 1);
    EXPECT_EQ(padSetMainMode(0, 0, PAD_MMODE_DUALSHOCK, PAD_MMODE_LOCK), 0);
    EXPECT_EQ(CurrentId(), pad::kDualShockId);
    EXPECT_EQ(padGetState(0, 0), PAD_STATE_EXECCMD);
    EXPECT_EQ(padGetState(0, 0), PAD_STATE_STABLE);
    EXPECT_EQ(CurrentId(), pad::kDigitalId);

    // Pressure readings need the DualShock mode.
    EXPECT_EQ(padEnterPressMode(0, 0), 0);
    EXPECT_EQ(padSetMainMode(0, 0, PAD_MMODE_DUALSHOCK, PAD_MMODE_LOCK), 1);
    PS2WaitVSync();
    EXPECT_EQ(padEnterPressMode(0, 0), 1);

    controller().setKind(pad::Kind::None);
    EXPECT_EQ(padGetState(0, 0), PAD_STATE_DISCONN);
    controller().setKind(pad::Kind::DualShock);
    EXPECT_EQ(padGetState(0, 0), PAD_STATE_FINDPAD);
}

TEST_F(PadLibrary, OffersModesOnlyOnADualShockAndAlignsOnlyActuatorsItHas)
{
    const u8 align[6] = {0, 1, 0xFF, 0xFF, 0xFF, 0xFF};
    BringUp(pad::Kind::DualShock);
    EXPECT_EQ(padInfoMode(0, 0, PAD_MODETABLE, -1), 2);
    EXPECT_EQ(padInfoMode(0, 0, PAD_MODETABLE, 1), pad::kDualShockId);
    BringUp(pad::Kind::Digital);
    EXPECT_EQ(padInfoMode(0, 0, PAD_MODETABLE, -1), 0);
    EXPECT_EQ(padSetMainMode(0, 0, PAD_MMODE_DUALSHOCK, PAD_MMODE_LOCK), 0);
    EXPECT_EQ(padSetActAlign(0, 0, align), 0);
}

TEST_F(PadLibrary, ReadGivesButtonsActiveLowAndTheDataOfTheMode)
{
    padButtonStatus status{};
    EXPECT_EQ(padRead(0, 0, &status), 0u);
    EXPECT_EQ(status.btns, 0xFFFF);

    // The host's input arrives at each blank; this one holds cross and up.
    const auto hold = [&] { controller().setInput({PAD_CROSS | PAD_UP, 10, 20, 30, 40}); };
    const auto sticks = [&] { return std::array<u8, 4>{status.rjoy_h, status.rjoy_v, status.ljoy_h, status.ljoy_v}; };
    BringUp(pad::Kind::DualShock);
    hold();
    ASSERT_EQ(padRead(0, 0, &status), 1u);
    EXPECT_EQ(status.mode, pad::kDualShockId);
    EXPECT_EQ(status.btns, 0xFFFF ^ (PAD_CROSS | PAD_UP));
    EXPECT_EQ(sticks(), (std::array<u8, 4>{10, 20, 30, 40}));
    EXPECT_EQ(status.cross_p, 0);

    padEnterPressMode(0, 0);
    PS2WaitVSync();
    hold();
    padRead(0, 0, &status);
    EXPECT_EQ(status.mode, pad::kPressureId);
    EXPECT_EQ((std::array<u8, 3>{status.up_p, status.down_p, status.cross_p}), (std::array<u8, 3>{0xFF, 0, 0xFF}));

    BringUp(pad::Kind::Digital);
    hold();
    padRead(0, 0, &status);
    EXPECT_EQ(sticks(), (std::array<u8, 4>{}));
}

} // namespace
