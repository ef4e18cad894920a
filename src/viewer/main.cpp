#include <cstring>

#include "core/pool.h"
#include "gfx/display.h"
#include "gfx/frame.h"
#include "gfx/gs.h"
#include "gfx/texture.h"
#include "math3d/mesh_render.h"
#include "pad/pad.h"
#include "ps2/libpad.h"
#include "viewer/camera_path.h"
#include "viewer/model_file.h"
#include "viewer/outline.h"

static const DisplayInitParams DisplayParams = {1, GS_PSMZ32, 5};

// The renderer's flat triangles take their colour from the texel at the last UV sent: texel (0, 0).
alignas(16) static u32 Paint[64 * 64];

// Turn the model by the sticks of a controller that is set up: degrees a frame, up to 4 either way.
static void Steer(MeshObject* object)
{
    padButtonStatus status;
    if (!PadReady || padRead(0, 0, &status) == 0 || status.ok != 0) return;
    object->rotation.y += static_cast<float>(status.ljoy_h - 128) / 32.0f;
    object->rotation.x += static_cast<float>(status.ljoy_v - 128) / 32.0f;
}

int main(int argc, char** argv)
{
    const char* model = nullptr;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--model") == 0) model = argv[i + 1];

    PS2Init(&DisplayParams);
    OrbMemInit();
    for (u32& texel : Paint) texel = 0x8040A0E8; // orange, opaque
    PS2TextureUpload(Paint, 64, 64);
    Mesh* mesh = ViewerLoadModel(model);
    PadSetup();

    MeshObject object = {{0.0f, 0.0f, 900.0f}, {50.0f, 0.0f, 0.0f}, {450.0f, 450.0f, 450.0f}, mesh, mesh ? 1 : 0};
    MeshCamera camera = {};
    PS2FlipScreen();
    for (u32 frame = 0;; ++frame) {
        PS2WaitVSync();
        PS2FlipScreen();
        PS2ClearScreen();
        CameraPathPlace(&camera, frame);
        Steer(&object);
        object.rotation.y += 1.5f;
        MeshRender(&object, &camera);
        if (object.enabled == 1) ViewerOutline(mesh, 0x502810);
    }
}
