#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace check {

// The bits of general register `reg` that mean something to the GS, or nothing when the GS has no
// register at that address. Registers whose data the GS ignores (TEXFLUSH, FINISH) take any value.
std::optional<std::uint64_t> DefinedBits(std::uint8_t reg);

// The register's name as the chip's manuals give it, or "0xNN".
std::string RegisterName(std::uint8_t reg);

} // namespace check
