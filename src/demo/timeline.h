#pragma once

#include "ps2/types.h"

inline constexpr u32 TIMELINE_LAST_FRAME = 4100;
inline constexpr u32 TIMELINE_RELEASE_FRAME = 1600;
inline constexpr u32 TIMELINE_NET_FIRST_FRAME = 2000;
inline constexpr u32 TIMELINE_FULL_VOLUME = 16383;

// Return the frame that follows frame, back to 0 after the last one.
u32 TimelineNextFrame(u32 frame);
// Tell whether the flag takes a physics step in this frame.
bool TimelinePhysicsOn(u32 frame);
// Tell whether this frame belongs to the flag scene.
bool TimelineClothPhase(u32 frame);
// Tell whether this frame belongs to the small net's scene.
bool TimelineNetPhase(u32 frame);
// Advance the view-angle counter by one net-scene frame and derive the angle index from it.
void TimelineAngleAdvance(u32* angleCounter, u32* angleIndex);
// Tell whether the music volume is lowered at the end of the frame before `next`.
bool TimelineFadeOn(u32 next);
// Return the music volume set at the end of the frame before `next`, during the fade.
u32 TimelineFadeVolume(u32 next);
// Tell whether the music stops at the end of the frame before `next`.
bool TimelineMusicStops(u32 next);
