#include "viewer/camera_path.h"

#include "math3d/spline.h"

// Keys of the path: the model's sway about its vertical, the eye's height above it in degrees, and its
// distance; the eye stays above the model, where a flat object shows its face.
static const SplineTriple PathKeys[] = {
    {30.0f, 25.0f, 1.0f}, {45.0f, 35.0f, 1.08f}, {20.0f, 12.0f, 1.0f}, {-10.0f, 30.0f, 1.12f}, {10.0f, 18.0f, 1.04f},
};
static constexpr u32 KeyCount = sizeof PathKeys / sizeof PathKeys[0];

CameraPose CameraPathPose(u32 frame)
{
    const u32 segment = frame / CAMERA_STEP_FRAMES % KeyCount;
    SplineKey keys[4] = {};
    for (u32 i = 0; i < 4; ++i) keys[i].point = PathKeys[(segment + KeyCount - 1 + i) % KeyCount];
    SplineKey at = {};
    SplineCatmullRom3(keys, &at, frame % CAMERA_STEP_FRAMES);
    // The curve swings a little past its keys; the distance may not come nearer than framing allows.
    const float distance = at.point.z < 1.0f ? 1.0f : at.point.z;
    const float turn = static_cast<float>(frame % 450) * CAMERA_TURN_PER_FRAME;
    return {at.point.x + turn, at.point.y, distance};
}
