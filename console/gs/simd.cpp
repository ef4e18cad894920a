#include "console/gs/simd.h"

#include <cstdlib>
#include <cstring>

namespace gs {
namespace {

SimdPath Chosen()
{
    if (const char* forced = std::getenv("ORB_GS_SIMD"); forced && std::strcmp(forced, "scalar") == 0)
        return SimdPath::Scalar;
    return SimdPathAvailable(SimdPath::Avx2) ? SimdPath::Avx2 : SimdPath::Scalar;
}

SimdPath& Active()
{
    static SimdPath path = Chosen();
    return path;
}

} // namespace

bool SimdPathAvailable(SimdPath path)
{
    switch (path) {
    case SimdPath::Scalar: return true;
    case SimdPath::Avx2:
#if defined(__x86_64__) || defined(__i386__)
        return __builtin_cpu_supports("avx2") != 0;
#else
        return false;
#endif
    }
    return false;
}

SimdPath ActiveSimdPath() { return Active(); }

bool ForceSimdPath(SimdPath path)
{
    if (!SimdPathAvailable(path)) return false;
    Active() = path;
    return true;
}

} // namespace gs
