#include "console/gs/memory.h"

#include <algorithm>

namespace gs {

LocalMemory::LocalMemory() : words_(std::make_shared<Words>()) {}

void LocalMemory::clear() { std::fill_n(words_->at, kMemoryWords, 0u); }

} // namespace gs
