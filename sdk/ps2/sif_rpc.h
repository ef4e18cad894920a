#pragma once

#include "ps2/types.h"

// Remote procedure calls from the EE to servers on the IOP, over the SIF.

// Mode bit of SifBindRpc and SifCallRpc: return as soon as the request is queued.
inline constexpr s32 SIF_RPC_M_NOWAIT = 0x01;

// Called on the EE when a call has been answered.
using SifRpcEndFunc_t = void (*)(void* param);

// A client's binding to one server; filled by SifBindRpc.
struct SifRpcClientData_t {
    void* server; // the server found, null when none serves the id yet
    u32 serverId;
};

// Brings the SIF RPC layer up; further calls do nothing.
void SifInitRpc(s32 mode);
// Binds `client` to the server with this id: 0 when the request was answered (the server may still be
// missing: test client->server), negative when the RPC layer is down.
s32 SifBindRpc(SifRpcClientData_t* client, s32 serverId, s32 mode);
// Calls function `function` of the bound server with `sendSize` bytes from `send`; in wait mode `receiveSize`
// bytes of the reply land at `receive`. 0 on success, negative when the client is not bound.
s32 SifCallRpc(SifRpcClientData_t* client, s32 function, s32 mode, void* send, s32 sendSize, void* receive,
               s32 receiveSize, SifRpcEndFunc_t endFunction, void* endParam);
