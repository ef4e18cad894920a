#pragma once

#include <string_view>

#include "iop/irx.h"

namespace iop {

// A module built into the program rather than into a file of its own, for hosts that cannot load code from
// files: the loader finds it by the file name it would have on host: and starts it as it would the file.
struct LinkedModule {
    std::string_view fileName; // "AMIGAMOD.IRX"
    int (*start)(const IopServices*, int, char**);
    void (*stop)();                   // may be null
    const char* const* imports;       // may be null
};

// Makes `module` loadable; a module linked under a name already taken replaces the earlier one.
void LinkModule(const LinkedModule& module);
// The module linked under the file name `path` ends with ("host:DIR/NAME" finds NAME), or null.
const LinkedModule* FindLinkedModule(std::string_view path);
// Forgets every linked module.
void UnlinkModules();

} // namespace iop
