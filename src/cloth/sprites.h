#pragma once

#include "cloth/cloth.h"

// Draw every particle as a sprite of the 32 x 32 texture, projected at 1/256 around (centreX, centreY).
void ClothSpritesDraw(ClothNet* net, int centreX, int centreY);
