#pragma once

#include <cstdint>

namespace gs {

// The instruction sets the pixel loops come in. Scalar is the reference every other path matches pixel
// for pixel; the widest one this CPU runs is chosen at start-up.
enum class SimdPath : std::uint8_t { Scalar, Avx2 };

// Whether this CPU runs the path.
bool SimdPathAvailable(SimdPath path);

// The path the pixel loops take: the widest available, or Scalar when ORB_GS_SIMD=scalar is set.
SimdPath ActiveSimdPath();

// Makes the loops take `path` from the next primitive on (tests compare the paths); false, and no
// change, when the CPU does not run it.
bool ForceSimdPath(SimdPath path);

} // namespace gs
