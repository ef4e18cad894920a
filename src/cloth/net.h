#pragma once

#include "cloth/cloth.h"

// Build the 40 x 30 flag net over the screen, hanging from its top row; the previous net is lost.
void ClothNetBuild(ClothNet* net);
// Build the six-armed net of the sprite scene; the previous net is lost.
void ClothSmallNetBuild(ClothNet* net);
