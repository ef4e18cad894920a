#include "web/worklet_player.h"

#include <algorithm>
#include <memory>

#include "iop/amigamod/song_block.h"

namespace web {
namespace {

void* Serve(void* context, s32 function, void* data, s32 size)
{
    return static_cast<WorkletPlayer*>(context)->call(function, static_cast<const u8*>(data), size);
}

// A four-channel module's header: sample headers, order table and signature.
constexpr std::size_t kModuleHeader = 1084;

SongSink* Sink = nullptr;
std::unique_ptr<WorkletPlayer> Player;

} // namespace

WorkletPlayer::~WorkletPlayer()
{
    if (serving_) iop_.removeRpc(amigamod::kServerId);
    if (loaded_) sink_.unload();
}

bool WorkletPlayer::serve()
{
    serving_ = iop_.registerRpc(amigamod::kServerId, Serve, this) >= 0;
    return serving_;
}

void* WorkletPlayer::call(s32 function, const u8* data, s32 size)
{
    reply_.fill(0);
    switch (function) {
    case amigamod::kInit:
        // The worklet is the sound output; there is no LIBSD stream to open.
        break;
    case amigamod::kLoad:
        reply(0, load(amigamod::RequestWord(data, size, 0)));
        break;
    case amigamod::kPlay:
        if (!loaded_) {
            reply(0, -1);
            break;
        }
        sink_.play();
        break;
    case amigamod::kStop:
        sink_.stop();
        break;
    case amigamod::kSetVolume:
        sink_.setVolume(std::min(amigamod::RequestWord(data, size, 0), amigamod::kFullVolume));
        break;
    case amigamod::kGetInfo:
        if (loaded_) {
            const SongSink::Position at = sink_.position();
            reply(1, at.order);
            reply(2, at.pattern);
            reply(3, at.row);
            reply(4, at.speed);
        }
        break;
    case amigamod::kQuit:
        sink_.stop();
        if (loaded_) sink_.unload();
        loaded_ = false;
        break;
    case amigamod::kBlock:
        // The 252-byte block carries nothing this player needs.
        break;
    default:
        amigamod::RefuseUnknownFunction(iop_, reply_, function);
        break;
    }
    return reply_.data();
}

s32 WorkletPlayer::load(u32 address)
{
    sink_.stop();
    if (loaded_) sink_.unload();
    loaded_ = false;
    const amigamod::SongBytes block = amigamod::SongBlock(iop_, address);
    // libopenmpt decides on the audio thread, too late for the reply; less than a module's header is no module.
    if (block.bytes.size() < kModuleHeader) {
        amigamod::SayNotAModule(iop_, address);
        return -1;
    }
    amigamod::SayIfCutShort(iop_, address, block);
    sink_.load(block.bytes);
    loaded_ = true;
    return 0;
}

void WorkletPlayer::reply(u32 index, s32 value) { amigamod::PutReplyWord(reply_, index, value); }

void SetPlayerSink(SongSink* sink) { Sink = sink; }

const char* const PlayerImports[] = {"libsd", nullptr};

int PlayerStart(const IopServices* iop, int, char**)
{
    if (Player) {
        iop->print("AMIGAMOD: already running");
        return IRX_NO_RESIDENT_END;
    }
    if (!Sink) {
        iop->print("AMIGAMOD: this page has no sound output for the player");
        return IRX_NO_RESIDENT_END;
    }
    auto started = std::make_unique<WorkletPlayer>(*iop, *Sink);
    if (!started->serve()) {
        iop->print("AMIGAMOD: cannot register the player's RPC server 0x0badca11");
        return IRX_NO_RESIDENT_END;
    }
    Player = std::move(started);
    return IRX_RESIDENT_END;
}

void PlayerStop() { Player.reset(); }

} // namespace web
