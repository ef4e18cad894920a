#include "console/gs/memory.h"

#include <algorithm>

namespace gs {

LocalMemory::LocalMemory() : words_(new u32[kMemoryWords]()) {}

void LocalMemory::clear() { std::fill_n(words_.get(), kMemoryWords, 0u); }

} // namespace gs
