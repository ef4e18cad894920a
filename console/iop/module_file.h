#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace iop {

// Why the bytes of a module file cannot be mapped as a shared object of this machine, or an empty string
// when they can: an ELF shared object for this machine whose program headers, sections and segments lie
// inside the file and whose dynamic table points into its segments. A cut or damaged file would otherwise
// kill the process while the dynamic loader maps it.
std::string ModuleFileFault(std::span<const std::uint8_t> file);

} // namespace iop
