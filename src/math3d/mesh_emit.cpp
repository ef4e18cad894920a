#include "gfx/display.h"
#include "gfx/gs.h"
#include "gfx/packet.h"
#include "math3d/convert.h"
#include "math3d/mesh_render.h"

static constexpr float FOCAL_LENGTH = 500.5f;
static constexpr float TEXTURED_UV_SCALE = 1024.0f;
static constexpr float COLOUR_UV_SCALE = 127.0f;
static constexpr u64 FLAT_RGBAQ = 0x0000001F1F3F7F3Full;
static constexpr u64 COLOUR_RGBAQ = 0x80808080ull;
static constexpr u32 FLAT_WRITES = 4;
static constexpr u32 TEXTURED_WRITES = 6;
static constexpr u32 COLOUR_TEXTURED_WRITES = 9;

// The screen centre in GS pixels and the correction of the pixels' height.
struct Screen {
    u32 cx;
    u32 cy;
    float k;
};

// A corner divided by its depth, before the screen centre is added.
struct Projected {
    float px;
    float py;
    u32 z;
};

// Return the screen as the display stands now.
static Screen CurrentScreen()
{
    const DisplayContext* display = PS2GetDisplay();
    const u32 w = PS2GetWidth();
    const u32 h = PS2GetHeight();
    const float ratio = static_cast<float>(w) / static_cast<float>(h);
    return {w / 2 + display->offsetX, h / 2 + display->offsetY, static_cast<float>(static_cast<double>(ratio) - 0.2)};
}

// Divide a corner by its depth; false when the depth truncates to 0, where no division has a finite answer.
static bool Project(const Vector3* p, Projected* out)
{
    const s32 zi = FloatToInt(p->z);
    if (zi == 0) return false;
    const float fz = static_cast<float>(zi);
    out->px = (p->x * FOCAL_LENGTH) / fz;
    out->py = (p->y * FOCAL_LENGTH) / fz;
    out->z = 0xffffu - static_cast<u32>(zi);
    return true;
}

// Project the three corners; false when any of them cannot be.
static bool ProjectTriangle(const Vector3* p0, const Vector3* p1, const Vector3* p2, Projected (&out)[3])
{
    return Project(p0, &out[0]) && Project(p1, &out[1]) && Project(p2, &out[2]);
}

// Place a corner in single precision: the third corner of a triangle divides Y before truncating it.
static u64 SingleXyz2(const Projected& c, const Screen& s, bool third)
{
    const float cx = static_cast<float>(s.cx);
    const float cy = static_cast<float>(s.cy);
    const s32 x = FloatToInt(static_cast<float>(FloatToInt(c.px)) + cx);
    const s32 y = third ? FloatToInt(static_cast<float>(FloatToInt(c.py / s.k)) + cy)
                        : FloatToInt(static_cast<float>(FloatToInt(c.py)) / s.k + cy);
    return PS2GsXyz2(static_cast<u32>(x) * 16, static_cast<u32>(y) * 16, c.z);
}

// Place a corner in whole numbers, every corner alike.
static u64 WholeXyz2(const Projected& c, const Screen& s)
{
    const u32 x = static_cast<u32>(FloatToInt(c.px)) + s.cx;
    const u32 y = static_cast<u32>(FloatToInt(c.py / s.k)) + s.cy;
    return PS2GsXyz2(x * 16, y * 16, c.z);
}

// Return UV for a corner's texture coordinates scaled to GS units.
static u64 CornerUv(const MeshCorner* c, float scale)
{
    return PS2GsUv(FloatToUnsigned(c->s * scale), FloatToUnsigned(c->t * scale));
}

bool MeshCornerXyz2(const Vector3* p, u64* xyz2)
{
    Projected q;
    if (!Project(p, &q)) return false;
    *xyz2 = WholeXyz2(q, CurrentScreen());
    return true;
}

u32 MeshEmitFlat(const Vector3* p0, const MeshCorner*, const Vector3* p1, const MeshCorner*, const Vector3* p2,
                 const MeshCorner*)
{
    Projected q[3];
    if (PS2PacketRoom() < FLAT_WRITES || !ProjectTriangle(p0, p1, p2, q)) return 0;
    const Screen s = CurrentScreen();
    PS2PacketAdd(GS_RGBAQ, FLAT_RGBAQ);
    for (int i = 0; i < 3; ++i) PS2PacketAdd(GS_XYZ2, SingleXyz2(q[i], s, i == 2));
    return FLAT_WRITES;
}

u32 MeshEmitTextured(const Vector3* p0, const MeshCorner* c0, const Vector3* p1, const MeshCorner* c1,
                     const Vector3* p2, const MeshCorner* c2)
{
    Projected q[3];
    if (PS2PacketRoom() < TEXTURED_WRITES || !ProjectTriangle(p0, p1, p2, q)) return 0;
    const Screen s = CurrentScreen();
    const MeshCorner* corners[3] = {c0, c1, c2};
    for (int i = 0; i < 3; ++i) {
        PS2PacketAdd(GS_UV, CornerUv(corners[i], TEXTURED_UV_SCALE));
        PS2PacketAdd(GS_XYZ2, SingleXyz2(q[i], s, i == 2));
    }
    return TEXTURED_WRITES;
}

u32 MeshEmitColourTextured(const Vector3* p0, const MeshCorner* c0, const Vector3* p1, const MeshCorner* c1,
                           const Vector3* p2, const MeshCorner* c2)
{
    Projected q[3];
    if (PS2PacketRoom() < COLOUR_TEXTURED_WRITES || !ProjectTriangle(p0, p1, p2, q)) return 0;
    const Screen s = CurrentScreen();
    const MeshCorner* corners[3] = {c0, c1, c2};
    for (int i = 0; i < 3; ++i) {
        PS2PacketAdd(GS_RGBAQ, COLOUR_RGBAQ);
        PS2PacketAdd(GS_UV, CornerUv(corners[i], COLOUR_UV_SCALE));
        PS2PacketAdd(GS_XYZ2, WholeXyz2(q[i], s));
    }
    return COLOUR_TEXTURED_WRITES;
}
