#include <gtest/gtest.h>

#include "viewer/view_controls.h"

namespace {

// A DualShock reading with the buttons held (as set bits) and the left stick where given.
padButtonStatus Pad(u16 held, u8 x = 128, u8 y = 128, u8 mode = 0x73)
{
    padButtonStatus pad = {};
    pad.mode = mode;
    pad.btns = static_cast<u16>(~held);
    pad.ljoy_h = x;
    pad.ljoy_v = y;
    pad.rjoy_h = pad.rjoy_v = 128;
    return pad;
}

void Steer(ViewerView& view, padButtonStatus pad, u32 frame) { ViewerSteer(&view, &pad, frame); }

ViewerView Fresh()
{
    ViewerView view = {};
    view.outline = 1;
    ViewerViewReset(&view, 0);
    return view;
}

TEST(ViewControls, StickTurnsBeyondItsDeadZoneAndDigitalPadsTurnWithButtons)
{
    ViewerView view = Fresh();
    Steer(view, Pad(0, 128 + 12, 128 - 12), 1);
    EXPECT_EQ(std::pair(view.yaw, view.pitch), std::pair(0.0f, 0.0f));
    Steer(view, Pad(0, 255, 0), 2);
    EXPECT_EQ(std::pair(view.yaw, view.pitch), std::pair(127.0f / 32, -4.0f));
    // A digital pad's stick bytes read 0: they must not spin the model.
    view = Fresh();
    Steer(view, Pad(0, 0, 0, 0x41), 1);
    EXPECT_EQ(std::pair(view.yaw, view.pitch), std::pair(0.0f, 0.0f));
    Steer(view, Pad(PAD_RIGHT | PAD_UP, 0, 0, 0x41), 2);
    EXPECT_EQ(std::pair(view.yaw, view.pitch), std::pair(VIEW_BUTTON_TURN, -VIEW_BUTTON_TURN));
}

TEST(ViewControls, ShouldersZoomWhileHeldWithinTheLimits)
{
    ViewerView view = Fresh();
    Steer(view, Pad(PAD_R1), 1);
    EXPECT_FLOAT_EQ(view.zoom, VIEW_ZOOM_STEP);
    Steer(view, Pad(PAD_R1), 2);
    EXPECT_FLOAT_EQ(view.zoom, VIEW_ZOOM_STEP * VIEW_ZOOM_STEP);
    for (u32 k = 0; k < 200; ++k) Steer(view, Pad(PAD_R1), 3 + k);
    EXPECT_EQ(view.zoom, VIEW_ZOOM_NEAREST);
    for (u32 k = 0; k < 200; ++k) Steer(view, Pad(PAD_L1), 300 + k);
    EXPECT_EQ(view.zoom, VIEW_ZOOM_FARTHEST);
}

TEST(ViewControls, StartAndSelectActOncePerPress)
{
    ViewerView view = Fresh();
    Steer(view, Pad(PAD_R1, 255, 128), 5);
    Steer(view, Pad(PAD_START), 6);
    EXPECT_EQ(std::tuple(view.yaw, view.zoom, view.pathStart), std::tuple(0.0f, 1.0f, 6u));
    // Held on, START does not start the path again; turning goes on from the reset.
    Steer(view, Pad(PAD_START, 255, 128), 7);
    EXPECT_EQ(view.pathStart, 6u);
    EXPECT_GT(view.yaw, 0.0f);

    EXPECT_EQ(view.outline, 1);
    Steer(view, Pad(PAD_SELECT), 8);
    Steer(view, Pad(PAD_SELECT), 9);
    EXPECT_EQ(view.outline, 0);
    Steer(view, Pad(0), 10);
    Steer(view, Pad(PAD_SELECT | PAD_START), 11);
    EXPECT_EQ(view.outline, 1);
    EXPECT_EQ(view.pathStart, 11u);
}

} // namespace
