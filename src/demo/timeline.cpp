#include "demo/timeline.h"

static constexpr u32 PHYSICS_FIRST_FRAME = 301;
static constexpr u32 CLOTH_LAST_FRAME = 1999;
static constexpr u32 NET_LAST_FRAME = 3699;
static constexpr u32 FADE_FIRST_FRAME = 3701;
static constexpr u32 FADE_LAST_FRAME = 3899;
static constexpr u32 MUSIC_STOP_FRAME = 3910;
// Four counts per angle index; a cycle of the index is 360 degrees.
static constexpr u32 COUNTS_PER_DEGREE = 4;
static constexpr u32 ANGLE_WRAP = 361;
static constexpr u32 COUNTS_PER_CYCLE = 1440;

u32 TimelineNextFrame(u32 frame)
{
    const u32 next = frame + 1;
    return next <= TIMELINE_LAST_FRAME ? next : 0;
}

bool TimelinePhysicsOn(u32 frame) { return frame >= PHYSICS_FIRST_FRAME && frame <= CLOTH_LAST_FRAME; }

bool TimelineClothPhase(u32 frame) { return frame <= CLOTH_LAST_FRAME; }

bool TimelineNetPhase(u32 frame) { return frame > CLOTH_LAST_FRAME && frame <= NET_LAST_FRAME; }

void TimelineAngleAdvance(u32* angleCounter, u32* angleIndex)
{
    u32 k = *angleCounter;
    if (k / COUNTS_PER_DEGREE >= ANGLE_WRAP) k -= COUNTS_PER_CYCLE;
    *angleIndex = k / COUNTS_PER_DEGREE;
    *angleCounter = k + 1;
}

bool TimelineFadeOn(u32 next) { return next >= FADE_FIRST_FRAME && next <= FADE_LAST_FRAME; }

u32 TimelineFadeVolume(u32 next) { return TIMELINE_FULL_VOLUME - 2 * (next - (FADE_FIRST_FRAME - 1)); }

bool TimelineMusicStops(u32 next) { return next == MUSIC_STOP_FRAME; }
