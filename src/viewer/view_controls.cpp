#include "viewer/view_controls.h"

// Controllers whose mode's type (high nibble) is 7 carry sticks; a digital pad's stick bytes read 0.
static constexpr u8 ANALOG_TYPE = 7;

void ViewerViewReset(ViewerView* view, u32 frame)
{
    view->yaw = 0.0f;
    view->pitch = 0.0f;
    view->zoom = 1.0f;
    view->pathStart = frame;
}

// Return a stick's reading as degrees a frame: up to 4 either way, nothing near the middle.
static float StickTurn(u8 reading)
{
    const int offset = reading - 128;
    if (offset >= -VIEW_STICK_DEAD_ZONE && offset <= VIEW_STICK_DEAD_ZONE) return 0.0f;
    return static_cast<float>(offset) / 32.0f;
}

void ViewerSteer(ViewerView* view, const padButtonStatus* pad, u32 frame)
{
    // The pad reports a held button as a 0 bit.
    const u16 held = static_cast<u16>(~pad->btns);
    const u16 pressed = static_cast<u16>(held & ~view->held);
    view->held = held;

    if (pad->mode >> 4 == ANALOG_TYPE) {
        view->yaw += StickTurn(pad->ljoy_h);
        view->pitch += StickTurn(pad->ljoy_v);
    }
    if (held & PAD_LEFT) view->yaw -= VIEW_BUTTON_TURN;
    if (held & PAD_RIGHT) view->yaw += VIEW_BUTTON_TURN;
    if (held & PAD_UP) view->pitch -= VIEW_BUTTON_TURN;
    if (held & PAD_DOWN) view->pitch += VIEW_BUTTON_TURN;

    if (held & PAD_R1) view->zoom *= VIEW_ZOOM_STEP;
    if (held & PAD_L1) view->zoom /= VIEW_ZOOM_STEP;
    if (view->zoom < VIEW_ZOOM_NEAREST) view->zoom = VIEW_ZOOM_NEAREST;
    if (view->zoom > VIEW_ZOOM_FARTHEST) view->zoom = VIEW_ZOOM_FARTHEST;

    if (pressed & PAD_START) ViewerViewReset(view, frame);
    if (pressed & PAD_SELECT) view->outline = view->outline ? 0 : 1;
}
