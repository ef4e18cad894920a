#pragma once

#include "ps2/libpad.h"
#include "ps2/types.h"

// Zoom factors a frame while R1 (nearer) or L1 (farther) is held, and the limits of the zoom.
inline constexpr float VIEW_ZOOM_STEP = 0.96f;
inline constexpr float VIEW_ZOOM_NEAREST = 0.2f;
inline constexpr float VIEW_ZOOM_FARTHEST = 5.0f;
// Stick readings this close to the middle count as the stick at rest.
inline constexpr int VIEW_STICK_DEAD_ZONE = 12;
// Degrees a frame that a held direction button turns the model.
inline constexpr float VIEW_BUTTON_TURN = 2.0f;

// What the controller has made of the view.
struct ViewerView {
    float yaw;      // the user's own turn of the model, degrees, added to the camera path's
    float pitch;
    float zoom;     // the eye's distance as a factor of the framing distance
    s32 outline;    // 1 while polygon edges are drawn
    u32 pathStart;  // the frame from which the camera path is counted
    u16 held;       // the buttons held at the last reading, a set bit for each
};

// Put the view back as it starts: no turn of the user's, framed, the path from this frame; the outline stays.
void ViewerViewReset(ViewerView* view, u32 frame);
// Apply one controller reading: the left stick (on a controller that has sticks) or the direction buttons
// turn the model; R1 held zooms in, L1 held zooms out; START pressed resets the view, SELECT pressed
// switches the outline.
void ViewerSteer(ViewerView* view, const padButtonStatus* pad, u32 frame);
