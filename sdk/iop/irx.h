#pragma once

#include "ps2/types.h"

// What an IOP module built as a separate file sees of the IOP: the module exports IrxStart (and may
// export IrxImports and IrxStop); the loader hands it the services of the IOP kernel and of the
// libraries it imports. The IOP calls into a module (its start and stop, its RPC servers, its sound output)
// one call at a time; a module may keep threads of its own for work that calls no service.

extern "C" {

inline constexpr u32 IRX_SERVICES_VERSION = 1;

// Results of IrxStart.
inline constexpr int IRX_RESIDENT_END = 0;    // stay loaded
inline constexpr int IRX_NO_RESIDENT_END = 1; // unload again

// An RPC server's function: the request is `size` bytes at `data` (the function may overwrite them);
// returns the address of the reply, of which the caller reads what it asked for, or null for none.
using IrxRpcFunction = void* (*)(void* context, s32 function, void* data, s32 size);

// LIBSD's output stream: fills `frames` stereo frames (left then right, signed 16-bit, 48,000 Hz).
using IrxSoundFill = void (*)(void* context, s16* samples, u32 frames);

struct IopServices {
    u32 version;
    // Kernel: writes a line to the IOP's console.
    void (*print)(const char* text);
    // Kernel: `size` bytes of IOP memory at `address`, or null when the range leaves the IOP's memory.
    void* (*memory)(u32 address, u32 size);
    // SIF: serves RPC calls to `serverId` with `function`; negative when the id is taken.
    s32 (*registerRpc)(u32 serverId, IrxRpcFunction function, void* context);
    // SIF: stops serving `serverId`.
    void (*removeRpc)(u32 serverId);
    // LIBSD: plays the stream `fill` gives, one field's worth at each vertical blank; null stops it.
    s32 (*sdSetOutput)(IrxSoundFill fill, void* context);
    // Kernel: the size of the heap block that starts at `address`, 0 when no block starts there.
    u32 (*blockSize)(u32 address);
};

// Starts the module with its arguments; returns IRX_RESIDENT_END or IRX_NO_RESIDENT_END.
int IrxStart(const IopServices* iop, int argc, char** argv);
// Called before the module is unloaded (optional).
void IrxStop();
// Names of the libraries the module needs, ending with null (optional); the loader refuses the module
// when one of them is not loaded.
extern const char* const IrxImports[];
}
