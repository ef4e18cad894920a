#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "console/iop/file_service.h"
#include "console/iop/heap.h"
#include "console/iop/sound_output.h"
#include "console/log.h"
#include "iop/irx.h"

namespace iop {

using u8 = std::uint8_t;
using u32 = std::uint32_t;
using s16 = std::int16_t;
using s32 = std::int32_t;

inline constexpr u32 kMemorySize = 2 * 1024 * 1024;

// Error codes the IOP's services return, as negative numbers.
enum Error : s32 {
    kNoEntry = -2, kNotRegular = -6, kBadFile = -9, kNoMemory = -12, kAccess = -13, kExists = -17,
    kNoDevice = -19, kIsDirectory = -21, kInvalid = -22, kTooManyFiles = -24, kTooLarge = -27,
    kLinkError = -200, kNotModule = -201, kNotBound = -1,
};

// Watches what reaches the IOP; tests record it.
class Observer {
public:
    virtual ~Observer() = default;
    virtual void rpcCall(u32 /*serverId*/, s32 /*function*/, bool /*wait*/, std::span<const u8> /*sent*/) {}
    virtual void sifDma(u32 /*iopAddress*/, u32 /*size*/) {}
    virtual void heapAlloc(u32 /*size*/, u32 /*address*/) {}
    virtual void heapFree(u32 /*address*/) {}
    virtual void moduleLoad(std::string_view /*path*/, s32 /*result*/) {}
};

// The I/O processor as the EE reaches it: its memory and heap, SIF RPC servers and SIF DMA, the module
// loader with the ROM's modules and modules loaded from the host, the file service and LIBSD's sound output.
// Calls come from the console's thread; module code also runs on the sound output's thread, one thread at a
// time under the module lock.
class Iop {
public:
    explicit Iop(console::Log& log);
    ~Iop();
    Iop(const Iop&) = delete;
    Iop& operator=(const Iop&) = delete;

    void setHostDirectory(const std::filesystem::path& directory) { files_.setHostDirectory(directory); }
    void setObserver(Observer* observer) { observer_ = observer; }

    // `size` bytes of IOP memory at `address`, or null when the range leaves the memory.
    u8* memory(u32 address, u32 size);

    // SIF RPC and the bindings of the EE's service clients, which need it up.
    void initRpc() { rpcUp_ = true; }
    bool rpcUp() const { return rpcUp_; }
    bool bindLoader() { return loaderBound_ = rpcUp_; }
    bool loaderBound() const { return loaderBound_; }
    bool bindHeap() { return heapBound_ = rpcUp_; }
    bool heapBound() const { return heapBound_; }
    bool serves(u32 serverId) const { return servers_.contains(serverId); }
    s32 registerServer(u32 serverId, IrxRpcFunction function, void* context);
    void removeServer(u32 serverId) { servers_.erase(serverId); }
    // Delivers a call; in wait mode the reply is copied into `receive`. Negative when nobody serves the id.
    s32 call(u32 serverId, s32 function, bool wait, std::span<const u8> send, std::span<u8> receive);

    // SIF DMA from EE memory: an id, or 0 when the destination leaves IOP memory.
    u32 sifDma(const void* source, u32 iopAddress, u32 size);
    s32 sifDmaStat(u32 id) const;

    // Heap service.
    Heap& heap() { return heap_; }
    u32 allocate(u32 size);
    s32 release(u32 address);

    // Module loader (modules.cpp): the module's id, or a negative error.
    s32 loadModule(std::string_view path, std::span<const char> args);
    bool libraryLoaded(std::string_view library) const;

    FileService& files() { return files_; }

    // LIBSD: the stream modules play, made one field at a time: start at a vertical blank, finish later.
    void setSoundOutput(IrxSoundFill fill, void* context) { sound_.set(fill, context); }
    void startField() { sound_.start(); }
    std::span<const s16> finishField() { return sound_.finish(); }
    // How long the console has waited for the IOP's sound, in all: what the music costs the EE.
    std::chrono::nanoseconds soundWaited() const { return sound_.waited(); }

    console::OnceLog& log() { return log_; }

private:
    struct Server {
        IrxRpcFunction function;
        void* context;
    };
    // A module loaded from the host: its shared object (null when linked in) and its stop function.
    struct HostModule {
        void* handle;
        void (*stop)();
    };
    struct ModuleEntry {
        int (*start)(const IopServices*, int, char**);
        void (*stop)();
        const char* const* imports;
    };

    s32 loadRomModule(std::string_view name);
    void unloadModules();
    s32 loadHostModule(std::string_view path, std::span<const char> args);
    s32 startModule(const std::string& name, void* handle, const ModuleEntry& entry, std::span<const char> args);
    static void closeModule(void* handle);

    console::OnceLog log_;
    Observer* observer_ = nullptr;
    std::vector<u8> memory_;
    Heap heap_;
    FileService files_;
    bool rpcUp_ = false;
    bool loaderBound_ = false;
    bool heapBound_ = false;
    std::map<u32, Server> servers_;
    std::vector<u8> request_;
    u32 dmaIds_ = 0;
    std::vector<std::string> libraries_;
    std::vector<HostModule> modules_;
    s32 nextModuleId_ = 1;
    std::mutex moduleLock_; // module code runs on one thread at a time
    SoundOutput sound_;
};

} // namespace iop
