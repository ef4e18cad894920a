#include "console/iop/iop.h"

#include <algorithm>
#include <cstring>

#include "console/iop/serving.h"

namespace iop {

Iop::Iop(console::Log& log) : log_(log), memory_(kMemorySize, 0), files_(log_), sound_(*this, moduleLock_) {}

Iop::~Iop()
{
    sound_.stop();
    unloadModules();
}

u8* Iop::memory(u32 address, u32 size)
{
    if (address > kMemorySize || size > kMemorySize - address) return nullptr;
    return memory_.data() + address;
}

s32 Iop::registerServer(u32 serverId, IrxRpcFunction function, void* context)
{
    if (!function || !servers_.emplace(serverId, Server{function, context}).second) return kInvalid;
    return 0;
}

s32 Iop::call(u32 serverId, s32 function, bool wait, std::span<const u8> send, std::span<u8> receive)
{
    if (observer_) observer_->rpcCall(serverId, function, wait, send);
    const auto server = servers_.find(serverId);
    if (server == servers_.end()) return kNotBound;
    // The request lands in the server's own buffer, which the server may use for its reply.
    request_.assign(send.begin(), send.end());
    request_.resize(std::max<std::size_t>(request_.size(), 64));
    sound_.settle();
    std::lock_guard lock(moduleLock_);
    Serving serving(*this);
    const void* reply = server->second.function(server->second.context, function, request_.data(),
                                                static_cast<s32>(send.size()));
    if (wait && reply && !receive.empty()) std::memcpy(receive.data(), reply, receive.size());
    return 0;
}

u32 Iop::sifDma(const void* source, u32 iopAddress, u32 size)
{
    u8* destination = memory(iopAddress, size);
    if (!destination || (!source && size != 0)) {
        log_.message("IOP: SIF DMA of " + std::to_string(size) + " bytes to " + console::Hex(iopAddress) +
                     " leaves IOP memory; refused");
        return 0;
    }
    if (size != 0) std::memcpy(destination, source, size);
    if (observer_) observer_->sifDma(iopAddress, size);
    // Ids count up and skip 0, which means "not queued".
    if (++dmaIds_ == 0) ++dmaIds_;
    return dmaIds_;
}

// The model copies at once, so every queued transfer has ended by the time it is asked about.
s32 Iop::sifDmaStat(u32) const { return -1; }

u32 Iop::allocate(u32 size)
{
    const u32 address = heap_.allocate(size);
    if (observer_) observer_->heapAlloc(size, address);
    return address;
}

s32 Iop::release(u32 address)
{
    if (observer_) observer_->heapFree(address);
    return heap_.release(address) ? 0 : kInvalid;
}

} // namespace iop
