#include <cstdio>

#include "cloth/cloth.h"
#include "cloth/mesh.h"
#include "cloth/net.h"
#include "cloth/sprites.h"
#include "cloth/view.h"
#include "core/pool.h"
#include "data/images.h"
#include "demo/alpha_map.h"
#include "demo/bars.h"
#include "demo/timeline.h"
#include "gfx/display.h"
#include "gfx/frame.h"
#include "gfx/gs.h"
#include "gfx/scroller.h"
#include "gfx/texture.h"
#include "math3d/trig.h"
#include "music/music.h"

static const DisplayInitParams DisplayParams = {1, GS_PSMZ32, 5};

static const char Greeting[] =
    "Welcome to this new mini compo for round #16 of QVD, Zorzal by Kavel ..... :D, no VU microcode :(( "
    "perhaps for the next month !!";

static int SystemInit()
{
    if (PS2Init(&DisplayParams) == 0) {
        std::printf("Error Initialise PS2 System");
        PS2Reset();
    }
    OrbMemInit();
    return MusicInit("host:/ROBOT.MOD");
}

// Let go of every particle, so the pinned edge falls too.
static void Release(ClothNet* net)
{
    for (ClothParticle* p = net->particles; p; p = p->next) p->flags = CLOTH_MOVABLE;
}

// Replace the texture held (if any) by an image.
static int SwapTexture(int held, const u32* pixels, u32 width, u32 height)
{
    if (held >= 0) PS2TextureRelease(held);
    return PS2TextureUpload(pixels, width, height);
}

int main(int, char**)
{
    ClothNet net;
    int texture = -1;
    u32 angleCounter = 1;
    u32 angleIndex = 0;

    SystemInit();
    ClothNetBuild(&net);
    ClothInit(&net);
    ClothMeshBuild(&ClothMesh);
    MakeAlphaMap(SpriteImage.pixels, SpriteImage.width * SpriteImage.height);
    PS2FlipScreen();

    const s32 w = PS2GetWidth(), h = PS2GetHeight();
    u32 frame = 0;
    for (;;) {
        PS2WaitVSync();
        PS2FlipScreen();
        PS2ClearScreen();
        if (frame == 0) {
            MusicPlay();
            ClothNetBuild(&net);
            ClothInit(&net);
            texture = SwapTexture(texture, FlagImage.pixels, FlagImage.width, FlagImage.height);
        }
        DrawBars(frame);
        if (TimelinePhysicsOn(frame)) ClothStep(&net);
        if (frame == TIMELINE_RELEASE_FRAME) Release(&net);
        if (TimelineClothPhase(frame)) {
            ClothMeshUpdate(&ClothMesh, &net);
            ClothMeshDraw(&ClothMesh, texture, FlagImage.width, FlagImage.height);
        } else if (TimelineNetPhase(frame)) {
            if (frame == TIMELINE_NET_FIRST_FRAME) {
                texture = SwapTexture(texture, SpriteImage.pixels, SpriteImage.width, SpriteImage.height);
                ClothSmallNetBuild(&net);
            }
            ClothSpinStep(&net);
            ClothSpritesDraw(&net, w / 4, h / 4);
            ClothSpritesDraw(&net, w - w / 4, h - h / 4);
            ViewAngle = TableCos(static_cast<s32>(angleIndex));
            TimelineAngleAdvance(&angleCounter, &angleIndex);
        }
        DrawScroller(w - static_cast<s32>(frame), h - 12, Greeting, static_cast<s32>(frame));
        const u32 next = TimelineNextFrame(frame);
        if (TimelineFadeOn(next)) MusicSetVolume(TimelineFadeVolume(next));
        if (TimelineMusicStops(next)) MusicStop();
        frame = next;
    }
}
