#pragma once

#include "cloth/cloth.h"

// Draw every particle of a list as a 2 x 2 grey square centred on its position.
void DrawParticles(ClothParticle* first);
// Draw every spring of a list as a line: red while compressed, green while stretched, grey at rest.
void DrawSprings(ClothSpring* first);
// Draw a net's particles, then its springs.
void ClothDraw(ClothNet* net);
