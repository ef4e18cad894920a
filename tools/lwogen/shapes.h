#pragma once

#include "tools/lwogen/object.h"

namespace lwogen {

// A box of the given size around the centre: six four-sided polygons.
Polyhedron Box(Point centre, Point size);
// An upright prism around the centre: two polygons of `sides` vertices (the top and the bottom, of the given
// radius) and a four-sided wall polygon for each side.
Polyhedron Prism(Point centre, int sides, float radius, float height);

} // namespace lwogen
