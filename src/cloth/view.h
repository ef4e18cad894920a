#pragma once

#include "cloth/cloth.h"

// The rotation in degrees that the 3D view applies to the small net per frame; 1.0 at start.
extern float ViewAngle;

// Turn the small net's six anchors by ViewAngle, move every particle, and let the springs pull the arms along.
void ClothSpinStep(ClothNet* net);
