#pragma once

#include "ps2/types.h"

// Frames the camera takes from one key of its path to the next.
inline constexpr u32 CAMERA_STEP_FRAMES = 100;
// Degrees the model turns about its vertical each frame, besides the path's own sway.
inline constexpr float CAMERA_TURN_PER_FRAME = 0.8f;

// Where the path puts the eye: the model's turn and tilt in degrees, and the distance as a factor of the one
// that frames the model, never below 1 so that the model stays whole in the picture.
struct CameraPose {
    float yaw;
    float pitch;
    float distance;
};

// Place the eye on its closed Catmull-Rom path, this many frames after the path began.
CameraPose CameraPathPose(u32 frame);
