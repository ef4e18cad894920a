// A small IOP module for the loader's tests: serves 0x7E570001, answering each call with the function
// number, the request's size and the module's argument count, then the request's bytes.
#include <cstring>

#include "iop/irx.h"

namespace {

const IopServices* Iop;
int Arguments;
u8 Reply[256];

void* Serve(void*, s32 function, void* data, s32 size)
{
    const s32 words[3] = {function, size, Arguments};
    std::memcpy(Reply, words, sizeof words);
    std::memcpy(Reply + sizeof words, data, static_cast<std::size_t>(size) < sizeof Reply - sizeof words
                                                ? static_cast<std::size_t>(size)
                                                : sizeof Reply - sizeof words);
    return Reply;
}

} // namespace

extern "C" {

const char* const IrxImports[] = {"libsd", nullptr};

int IrxStart(const IopServices* iop, int argc, char**)
{
    Iop = iop;
    Arguments = argc;
    if (iop->registerRpc(0x7E570001, Serve, nullptr) < 0) return IRX_NO_RESIDENT_END;
    iop->print("ECHO: serving");
    return IRX_RESIDENT_END;
}

void IrxStop() { Iop->removeRpc(0x7E570001); }
}
