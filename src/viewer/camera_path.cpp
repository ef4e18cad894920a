#include "viewer/camera_path.h"

#include "math3d/spline.h"

// Where the camera passes, round and about in front of the model.
static const SplineTriple PathKeys[] = {
    {0.0f, -60.0f, -150.0f}, {180.0f, -120.0f, -40.0f}, {60.0f, -200.0f, 120.0f},
    {-140.0f, -110.0f, 60.0f}, {-200.0f, -30.0f, -80.0f},
};
static constexpr u32 KeyCount = sizeof PathKeys / sizeof PathKeys[0];

void CameraPathPlace(MeshCamera* camera, u32 frame)
{
    const u32 segment = frame / CAMERA_STEP_FRAMES % KeyCount;
    SplineKey keys[4] = {};
    for (u32 i = 0; i < 4; ++i) keys[i].point = PathKeys[(segment + KeyCount - 1 + i) % KeyCount];
    SplineKey at = {};
    SplineCatmullRom3(keys, &at, frame % CAMERA_STEP_FRAMES);
    camera->position = {at.point.x, at.point.y, at.point.z};
}
