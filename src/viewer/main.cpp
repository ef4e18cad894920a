#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/pool.h"
#include "gfx/display.h"
#include "gfx/frame.h"
#include "gfx/gs.h"
#include "math3d/vector.h"
#include "pad/pad.h"
#include "ps2/libpad.h"
#include "viewer/backdrop.h"
#include "viewer/camera_path.h"
#include "viewer/framing.h"
#include "viewer/model_file.h"
#include "viewer/outline.h"
#include "viewer/shaded_mesh.h"
#include "viewer/text.h"
#include "viewer/view_controls.h"
#include "viewer/view_space.h"

static const DisplayInitParams DisplayParams = {1, GS_PSMZ32, 5};

// Fields a problem stays on screen before the program ends, unless --linger says otherwise: five seconds.
static constexpr u32 DEFAULT_LINGER = 250;
// The near plane as a part of the model's radius: close enough to zoom into the model, far enough to keep
// the depth buffer fine.
static constexpr float NEAR_PART = 0.02f;
static constexpr u32 OUTLINE_COLOUR = 0x2A2620;
static constexpr u32 CAPTION_COLOUR = 0xC8CCD2;
static constexpr u32 PROBLEM_COLOUR = 0xFFD27A;
// Characters of a name that fit on a line of the picture.
static constexpr u32 NAME_ON_SCREEN = 72;

// What the frontend handed to main.
struct ViewerArgs {
    const char* model;
    u32 linger;
};

static ViewerArgs ReadArgs(int argc, char** argv)
{
    ViewerArgs args = {nullptr, DEFAULT_LINGER};
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--model") == 0) args.model = argv[i + 1];
        if (std::strcmp(argv[i], "--linger") == 0)
            args.linger = static_cast<u32>(std::strtoul(argv[i + 1], nullptr, 10));
    }
    return args;
}

// Write "host:NAME" (or the embedded object's name) for the screen, its middle left out when the line cannot
// hold it all.
static void ScreenName(const char* model, char (&out)[NAME_ON_SCREEN + 1])
{
    const char* prefix = model ? "host:" : "";
    const char* name = model ? model : "plate.lwo";
    const u32 length = static_cast<u32>(std::strlen(prefix) + std::strlen(name));
    if (length <= NAME_ON_SCREEN) {
        std::snprintf(out, sizeof out, "%s%s", prefix, name);
        return;
    }
    const u32 head = (NAME_ON_SCREEN - 3) / 2 - static_cast<u32>(std::strlen(prefix));
    const u32 tail = NAME_ON_SCREEN - 3 - head - static_cast<u32>(std::strlen(prefix));
    std::snprintf(out, sizeof out, "%s%.*s...%s", prefix, static_cast<int>(head), name,
                  name + std::strlen(name) - tail);
}

// Take room for the camera-space vertices from the pool, whose blocks are aligned to 8 bytes, not to the 16
// that Vector3 asks for.
static Vector3* AllocViewVertices(u32 count)
{
    const u64 bytes = u64{count} * sizeof(Vector3) + 8;
    if (bytes > 0xFFFFFFFF) return nullptr;
    void* block = OrbAlloc(static_cast<u32>(bytes));
    if (!block) return nullptr;
    const std::uintptr_t aligned = (reinterpret_cast<std::uintptr_t>(block) + 15) & ~std::uintptr_t{15};
    return reinterpret_cast<Vector3*>(aligned);
}

// Show what keeps the model from being shown for `fields` fields (none: draw it once and go on).
static void ShowProblem(const char* line, const char* words, u32 fields)
{
    const s32 middle = static_cast<s32>(PS2GetHeight()) / 2;
    for (u32 field = 0;; ++field) {
        PS2ClearScreen();
        ViewerDrawBackdrop();
        ViewerDrawTextCentred(middle - 20, "orbview cannot show", CAPTION_COLOUR);
        ViewerDrawTextCentred(middle - 4, line, CAPTION_COLOUR);
        ViewerDrawTextCentred(middle + 12, words, PROBLEM_COLOUR);
        if (field >= fields) return;
        PS2WaitVSync();
        PS2FlipScreen();
    }
}

int main(int argc, char** argv)
{
    const ViewerArgs args = ReadArgs(argc, argv);
    char name[NAME_ON_SCREEN + 1];
    ScreenName(args.model, name);

    PS2Init(&DisplayParams);
    OrbMemInit();
    ViewerModel model;
    ViewerLoadModel(args.model, &model);
    const Mesh* mesh = model.mesh;

    ViewerFraming framing;
    ViewerFrame(mesh, &framing);
    const float radius = framing.radius > 0.0f ? framing.radius : 1.0f;
    const ViewerScreen screen = ViewerScreenFor(radius * NEAR_PART);
    const float framed = ViewerFramingDistance(framing.radius, ViewerHalfField(&screen));
    Vector3* view = nullptr;
    if (model.problem == VIEWER_SHOWN && !std::isfinite(framed)) {
        std::snprintf(model.words, sizeof model.words, "points too far apart to frame");
        model.problem = VIEWER_NO_TRIANGLES;
    }
    if (model.problem == VIEWER_SHOWN) {
        view = AllocViewVertices(mesh->vertexCount);
        if (!view) {
            std::snprintf(model.words, sizeof model.words, "not enough memory to draw %u points", mesh->vertexCount);
            model.problem = VIEWER_NO_MEMORY;
        }
    }
    if (model.problem != VIEWER_SHOWN) {
        std::fprintf(stderr, "%s: %s%s: %s\n", argv[0], args.model ? "host:" : "",
                     args.model ? args.model : "plate.lwo", model.words);
        ShowProblem(name, model.words, args.linger);
        return 1;
    }
    if (model.note[0])
        std::fprintf(stderr, "%s: %s%s: %s\n", argv[0], args.model ? "host:" : "",
                     args.model ? args.model : "plate.lwo", model.note);

    char counts[80];
    std::snprintf(counts, sizeof counts, "%u points  %u triangles", mesh->vertexCount, framing.triangles);

    PadSetup();
    ViewerView steer = {};
    steer.outline = 1;
    ViewerViewReset(&steer, 0);
    PS2FlipScreen();
    for (u32 frame = 0;; ++frame) {
        PS2WaitVSync();
        PS2FlipScreen();
        PS2ClearScreen();
        padButtonStatus pad;
        if (PadReady && padRead(0, 0, &pad) != 0 && pad.ok == 0) ViewerSteer(&steer, &pad, frame);

        const CameraPose pose = CameraPathPose(frame - steer.pathStart);
        const ViewerCamera camera = {framing.centre, pose.yaw + steer.yaw, pose.pitch + steer.pitch,
                                     framed * pose.distance * steer.zoom};
        ViewerPlaceVertices(mesh, &camera, view);
        ViewerDrawBackdrop();
        ViewerDrawShaded(mesh, view, &screen);
        if (steer.outline) ViewerOutline(mesh, view, &screen, OUTLINE_COLOUR);
        ViewerDrawText(8, 6, name, CAPTION_COLOUR);
        ViewerDrawText(8, 18, counts, CAPTION_COLOUR);
        if (model.note[0]) ViewerDrawText(8, 30, model.note, PROBLEM_COLOUR);
    }
}
