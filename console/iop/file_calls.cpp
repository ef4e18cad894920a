// The EE's file client: each call goes to the IOP's file service, binding it first when needed.
#include <span>

#include "console/machine.h"
#include "ps2/fileio.h"

namespace {

iop::FileService& Files()
{
    iop::Iop& iop = console::Machine::current().iop();
    // The client brings the SIF up itself, so its binding cannot fail.
    iop.initRpc();
    return iop.files();
}

} // namespace

s32 fioInit()
{
    Files();
    return 0;
}

s32 fioOpen(const char* name, s32 flags) { return name ? Files().open(name, flags) : iop::kInvalid; }

s32 fioClose(s32 fd) { return Files().close(fd); }

s32 fioRead(s32 fd, void* buffer, s32 size)
{
    if (size < 0 || (size > 0 && !buffer)) return iop::kInvalid;
    return Files().read(fd, std::span<u8>(static_cast<u8*>(buffer), static_cast<std::size_t>(size)));
}

s32 fioWrite(s32 fd, const void* buffer, s32 size)
{
    if (size < 0 || (size > 0 && !buffer)) return iop::kInvalid;
    return Files().write(fd, std::span<const u8>(static_cast<const u8*>(buffer), static_cast<std::size_t>(size)));
}

s32 fioLseek(s32 fd, s32 offset, s32 whence) { return Files().lseek(fd, offset, whence); }
