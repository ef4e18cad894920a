// The EE side of the SIF: RPC, the module loader and heap clients, SIF DMA.
#include <span>

#include "console/machine.h"
#include "ps2/iopheap.h"
#include "ps2/loadfile.h"
#include "ps2/sif_dma.h"
#include "ps2/sif_rpc.h"

namespace {

iop::Iop& Iop() { return console::Machine::current().iop(); }

// IOP addresses travel in pointers; they are numbers, never dereferenced on the EE.
std::uint32_t IopAddress(const void* address)
{
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(address));
}

void* IopPointer(std::uint32_t address) { return reinterpret_cast<void*>(std::uintptr_t{address}); }

} // namespace

void SifInitRpc(s32) { Iop().initRpc(); }

s32 SifBindRpc(SifRpcClientData_t* client, s32 serverId, s32)
{
    if (!client || !Iop().rpcUp()) return iop::kNotBound;
    const auto id = static_cast<u32>(serverId);
    client->serverId = id;
    client->server = Iop().serves(id) ? &Iop() : nullptr;
    return 0;
}

s32 SifCallRpc(SifRpcClientData_t* client, s32 function, s32 mode, void* send, s32 sendSize, void* receive,
               s32 receiveSize, SifRpcEndFunc_t endFunction, void* endParam)
{
    if (!client || !client->server || sendSize < 0 || receiveSize < 0 || (sendSize > 0 && !send) ||
        (receiveSize > 0 && !receive))
        return iop::kNotBound;
    const bool wait = (mode & SIF_RPC_M_NOWAIT) == 0;
    const std::span<const u8> request(static_cast<const u8*>(send), static_cast<std::size_t>(sendSize));
    const std::span<u8> reply(static_cast<u8*>(receive), wait ? static_cast<std::size_t>(receiveSize) : 0);
    const s32 result = Iop().call(client->serverId, function, wait, request, reply);
    if (result >= 0 && endFunction) endFunction(endParam);
    return result;
}

s32 SifLoadFileInit() { return Iop().bindLoader() ? 0 : iop::kNotBound; }

s32 SifLoadModule(const char* path, s32 argLength, const char* args)
{
    if (!path || !Iop().loaderBound()) return iop::kNotBound;
    const std::size_t length = args && argLength > 0 ? static_cast<std::size_t>(argLength) : 0;
    return Iop().loadModule(path, std::span<const char>(args, length));
}

s32 SifInitIopHeap() { return Iop().bindHeap() ? 0 : iop::kNotBound; }

void* SifAllocIopHeap(s32 size)
{
    if (!Iop().heapBound() || size <= 0) return nullptr;
    return IopPointer(Iop().allocate(static_cast<u32>(size)));
}

s32 SifFreeIopHeap(void* address)
{
    if (!Iop().heapBound()) return iop::kNotBound;
    return Iop().release(IopAddress(address));
}

u32 SifSetDma(SifDmaTransfer_t* transfers, s32 count)
{
    if (!transfers || count <= 0) return 0;
    u32 id = 0;
    for (s32 i = 0; i < count; ++i) {
        const SifDmaTransfer_t& t = transfers[i];
        if (t.size < 0) return 0;
        id = Iop().sifDma(t.src, IopAddress(t.dest), static_cast<u32>(t.size));
        if (id == 0) return 0;
    }
    return id;
}

s32 SifDmaStat(u32 id) { return Iop().sifDmaStat(id); }
