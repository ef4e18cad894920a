#pragma once

#include "ps2/types.h"

// The IOP's module loader service.

// Binds the loader service: 0 on success.
s32 SifLoadFileInit();
// Loads and starts the IOP module at `path` ("rom0:NAME" or "host:NAME") with `argLength` bytes of
// NUL-separated arguments: the module's id (positive), or negative when it cannot be loaded or linked.
s32 SifLoadModule(const char* path, s32 argLength, const char* args);
