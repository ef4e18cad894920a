#include <memory>

#include "player.h"

namespace {

// The one player of this module: made by IrxStart, ended by IrxStop.
std::unique_ptr<amigamod::Player> player;

} // namespace

extern "C" {

const char* const IrxImports[] = {"libsd", nullptr};

int IrxStart(const IopServices* iop, int, char**)
{
    if (player) {
        iop->print("AMIGAMOD: already running");
        return IRX_NO_RESIDENT_END;
    }
    auto started = std::make_unique<amigamod::Player>(*iop);
    if (!started->serve()) {
        iop->print("AMIGAMOD: cannot register the player's RPC server 0x0badca11");
        return IRX_NO_RESIDENT_END;
    }
    player = std::move(started);
    return IRX_RESIDENT_END;
}

void IrxStop() { player.reset(); }
}
