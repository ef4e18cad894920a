#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifndef __EMSCRIPTEN__
#include <dlfcn.h>
#include <sys/mman.h>
#endif

#include <algorithm>
#include <cerrno>
#include <string>

#include "console/iop/iop.h"
#include "console/iop/linked_module.h"
#include "console/iop/module_file.h"
#include "console/iop/serving.h"

namespace iop {
namespace {

// The ROM's modules that a program may load: the library each one exports and the one it needs.
struct RomModule {
    std::string_view name;
    std::string_view library;
    std::string_view needs;
};

constexpr RomModule kRomModules[] = {
    {"LIBSD", "libsd", ""},
    {"XSIO2MAN", "sio2man", ""},
    {"XPADMAN", "padman", "sio2man"},
};

constexpr std::string_view kRomDevice = "rom0:";

Iop* serving = nullptr;

void Print(const char* text) { Serving::current().log().message(text ? text : ""); }

void* Memory(u32 address, u32 size) { return Serving::current().memory(address, size); }

s32 RegisterRpc(u32 serverId, IrxRpcFunction function, void* context)
{
    return Serving::current().registerServer(serverId, function, context);
}

void RemoveRpc(u32 serverId) { Serving::current().removeServer(serverId); }

s32 SdSetOutput(IrxSoundFill fill, void* context)
{
    Serving::current().setSoundOutput(fill, context);
    return 0;
}

u32 BlockSize(u32 address) { return Serving::current().heap().blockSize(address); }

constexpr IopServices kServices = {IRX_SERVICES_VERSION, Print,       Memory,   RegisterRpc,
                                   RemoveRpc,            SdSetOutput, BlockSize};

#ifndef __EMSCRIPTEN__
// Larger files are not taken for modules: the whole file is read before it is checked.
constexpr off_t kLargestModule = 64 << 20;

// Reads the `size` bytes of an open regular file, or fewer if it is cut meanwhile; false on a read error.
bool ReadWhole(int file, off_t size, std::vector<u8>& bytes)
{
    bytes.resize(static_cast<std::size_t>(size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(file, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break; // cut while we read: what was read is what gets checked
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    return true;
}

// Maps checked module bytes from a sealed anonymous copy, so that the host file changing or being cut while the
// module is loaded cannot reach the mapping. Null with dlerror's reason when the loader refuses them.
void* MapModule(const std::vector<u8>& bytes, std::string& reason)
{
    const int copy = ::memfd_create("iop-module", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (copy < 0) {
        reason = "no anonymous file for its copy";
        return nullptr;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(copy, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    void* handle = nullptr;
    if (done != bytes.size()) {
        reason = "its copy cannot be written";
    } else {
        ::fcntl(copy, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL);
        const std::string path = "/proc/self/fd/" + std::to_string(copy);
        handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        const char* error = handle ? nullptr : dlerror();
        if (!handle) reason = error ? error : "unreadable";
    }
    ::close(copy);
    return handle;
}
#endif

} // namespace

Serving::Serving(Iop& iop) : previous_(serving) { serving = &iop; }

Serving::~Serving() { serving = previous_; }

Iop& Serving::current() { return *serving; }

s32 Iop::loadModule(std::string_view path, std::span<const char> args)
{
    s32 result = kNoDevice;
    if (path.starts_with(kRomDevice))
        result = loadRomModule(path.substr(kRomDevice.size()));
    else if (OnHostDevice(path))
        result = loadHostModule(path, args);
    if (observer_) observer_->moduleLoad(path, result);
    return result;
}

bool Iop::libraryLoaded(std::string_view library) const
{
    return std::find(libraries_.begin(), libraries_.end(), library) != libraries_.end();
}

s32 Iop::loadRomModule(std::string_view name)
{
    const auto* module = std::find_if(std::begin(kRomModules), std::end(kRomModules),
                                      [&](const RomModule& m) { return m.name == name; });
    if (module == std::end(kRomModules)) return kNoEntry;
    if (!module->needs.empty() && !libraryLoaded(module->needs)) {
        log_.message("IOP: rom0:" + std::string(name) + " needs " + std::string(module->needs) +
                     ", which is not loaded");
        return kLinkError;
    }
    if (!libraryLoaded(module->library)) libraries_.emplace_back(module->library);
    return nextModuleId_++;
}

s32 Iop::loadHostModule(std::string_view path, std::span<const char> args)
{
    const std::string name(path);
    if (const LinkedModule* linked = FindLinkedModule(path))
        return startModule(name, nullptr, ModuleEntry{linked->start, linked->stop, linked->imports}, args);

    const int file = files_.openHost(path, O_RDONLY);
    if (file < 0) return file;
#ifdef __EMSCRIPTEN__
    // A page cannot load code from files: its modules are linked in.
    ::close(file);
    log_.message("IOP: " + name + " is not a module linked into this program");
    return kNotModule;
#else
    std::vector<u8> bytes;
    struct stat status {};
    const bool small = ::fstat(file, &status) == 0 && status.st_size <= kLargestModule;
    const bool read = small && ReadWhole(file, status.st_size, bytes);
    ::close(file);
    std::string fault = !small ? "it is larger than any module" : !read ? "it cannot be read" : ModuleFileFault(bytes);
    void* handle = fault.empty() ? MapModule(bytes, fault) : nullptr;
    if (!handle) {
        log_.message("IOP: " + name + " is not a module: " + fault);
        return kNotModule;
    }
    using Start = int (*)(const IopServices*, int, char**);
    const auto start = reinterpret_cast<Start>(dlsym(handle, "IrxStart"));
    const auto stop = reinterpret_cast<void (*)()>(dlsym(handle, "IrxStop"));
    const auto imports = static_cast<const char* const*>(dlsym(handle, "IrxImports"));
    if (!start) {
        log_.message("IOP: " + name + " is not a module: it has no entry point");
        dlclose(handle);
        return kNotModule;
    }
    return startModule(name, handle, ModuleEntry{start, stop, imports}, args);
#endif
}

s32 Iop::startModule(const std::string& name, void* handle, const ModuleEntry& entry, std::span<const char> args)
{
    for (const char* const* library = entry.imports; library && *library; ++library) {
        if (!libraryLoaded(*library)) {
            log_.message("IOP: " + name + " needs " + *library + ", which is not loaded");
            closeModule(handle);
            return kLinkError;
        }
    }

    // The module gets its path as argv[0], then the NUL-separated arguments.
    std::vector<std::string> words{name};
    std::string word;
    for (const char c : args) {
        if (c != '\0') {
            word += c;
            continue;
        }
        words.push_back(word);
        word.clear();
    }
    if (!word.empty()) words.push_back(word);
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);

    int result;
    {
        sound_.settle();
        std::lock_guard lock(moduleLock_);
        Serving serving(*this);
        result = entry.start(&kServices, static_cast<int>(words.size()), argv.data());
    }
    if (result != IRX_RESIDENT_END) {
        closeModule(handle);
        return result == IRX_NO_RESIDENT_END ? nextModuleId_++ : kNotModule;
    }
    modules_.push_back(HostModule{handle, entry.stop});
    return nextModuleId_++;
}

// A linked module has no shared object to close.
void Iop::closeModule(void* handle)
{
#ifndef __EMSCRIPTEN__
    if (handle) dlclose(handle);
#else
    (void)handle;
#endif
}

void Iop::unloadModules()
{
    std::lock_guard lock(moduleLock_);
    Serving serving(*this);
    while (!modules_.empty()) {
        const HostModule module = modules_.back();
        if (module.stop) module.stop();
        closeModule(module.handle);
        modules_.pop_back();
    }
}

} // namespace iop
