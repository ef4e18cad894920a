#pragma once

#include "math3d/mesh_render.h"
#include "ps2/types.h"

// Frames the camera takes from one key of its path to the next.
inline constexpr u32 CAMERA_STEP_FRAMES = 100;

// Place the camera on its closed Catmull-Rom path through a few keys around the model, at this frame.
void CameraPathPlace(MeshCamera* camera, u32 frame);
