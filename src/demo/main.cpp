#include <cstdio>

#include "cloth/cloth.h"
#include "cloth/net.h"
#include "cloth/view.h"
#include "demo/timeline.h"
#include "gfx/display.h"
#include "gfx/frame.h"
#include "gfx/gs.h"
#include "math3d/trig.h"

static const DisplayInitParams DisplayParams = {1, GS_PSMZ32, 5};

static int SystemInit()
{
    if (PS2Init(&DisplayParams) == 0) {
        std::printf("Error Initialise PS2 System");
        PS2Reset();
    }
    return 0;
}

// Let go of every particle, so the pinned edge falls too.
static void Release(ClothNet* net)
{
    for (ClothParticle* p = net->particles; p; p = p->next) p->flags = CLOTH_MOVABLE;
}

int main(int, char**)
{
    ClothNet net;
    u32 angleCounter = 1;
    u32 angleIndex = 0;

    SystemInit();
    ClothNetBuild(&net);
    ClothInit(&net);
    PS2FlipScreen();

    u32 frame = 0;
    for (;;) {
        PS2WaitVSync();
        PS2FlipScreen();
        PS2ClearScreen();
        if (frame == 0) {
            ClothNetBuild(&net);
            ClothInit(&net);
        }
        if (TimelinePhysicsOn(frame)) ClothStep(&net);
        if (frame == TIMELINE_RELEASE_FRAME) Release(&net);
        if (TimelineNetPhase(frame)) {
            if (frame == TIMELINE_NET_FIRST_FRAME) ClothSmallNetBuild(&net);
            ViewAngle = TableCos(static_cast<s32>(angleIndex));
            TimelineAngleAdvance(&angleCounter, &angleIndex);
        }
        frame = TimelineNextFrame(frame);
    }
}
