#include "tools/lwogen/shapes.h"

#include <cmath>
#include <numbers>

namespace lwogen {

Polyhedron Box(Point centre, Point size)
{
    Polyhedron box;
    // Corner k has bit 0 for +x, bit 1 for +y, bit 2 for +z.
    for (int k = 0; k < 8; ++k)
        box.points.push_back({centre.x + (k & 1 ? 0.5f : -0.5f) * size.x, centre.y + (k & 2 ? 0.5f : -0.5f) * size.y,
                              centre.z + (k & 4 ? 0.5f : -0.5f) * size.z});
    // Clockwise seen from outside, with y up and z away from the viewer.
    box.polygons = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 4, 6, 2}, {1, 3, 7, 5}, {0, 1, 5, 4}, {2, 6, 7, 3}};
    return box;
}

Polyhedron Prism(Point centre, int sides, float radius, float height)
{
    Polyhedron prism;
    const auto n = static_cast<std::uint32_t>(sides);
    for (const float y : {height / 2, -height / 2})
        for (std::uint32_t k = 0; k < n; ++k) {
            const double angle = 2 * std::numbers::pi * k / n;
            prism.points.push_back({centre.x + radius * static_cast<float>(std::cos(angle)), centre.y + y,
                                    centre.z + radius * static_cast<float>(std::sin(angle))});
        }
    // The points run anticlockwise seen from above (x right, z away): clockwise from below.
    std::vector<std::uint32_t> top, bottom;
    for (std::uint32_t k = 0; k < n; ++k) {
        top.push_back(n - 1 - k);
        bottom.push_back(n + k);
    }
    prism.polygons = {top, bottom};
    for (std::uint32_t k = 0; k < n; ++k) {
        const std::uint32_t next = (k + 1) % n;
        prism.polygons.push_back({k, next, n + next, n + k});
    }
    return prism;
}

} // namespace lwogen
