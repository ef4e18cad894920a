#include "player.h"

#include <algorithm>

#include "song_block.h"

namespace amigamod {

namespace {

// Hands an RPC call to the player.
void* Serve(void* context, s32 function, void* data, s32 size)
{
    return static_cast<Player*>(context)->call(function, static_cast<const u8*>(data), size);
}

// Hands LIBSD's request for sound to the player.
void Fill(void* context, s16* samples, u32 frames) { static_cast<Player*>(context)->fill(samples, frames); }

} // namespace

Player::~Player()
{
    if (serving_)
        iop_.removeRpc(kServerId);
    if (outputOn_)
        iop_.sdSetOutput(nullptr, nullptr);
}

bool Player::serve()
{
    serving_ = iop_.registerRpc(kServerId, Serve, this) >= 0;
    return serving_;
}

void* Player::call(s32 function, const u8* data, s32 size)
{
    reply_.fill(0);
    switch (function) {
    case kInit:
        init();
        break;
    case kLoad:
        reply(0, load(RequestWord(data, size, 0)));
        break;
    case kPlay:
        reply(0, play());
        break;
    case kStop:
        playing_ = false;
        song_.stop();
        break;
    case kSetVolume:
        setVolume(RequestWord(data, size, 0));
        break;
    case kGetInfo:
        getInfo();
        break;
    case kQuit:
        playing_ = false;
        song_.load(nullptr);
        break;
    case kBlock:
        // The 252-byte block carries nothing this player needs: it is accepted and dropped.
        break;
    default:
        RefuseUnknownFunction(iop_, reply_, function);
        break;
    }
    return reply_.data();
}

void Player::fill(s16* samples, u32 frames)
{
    if (!playing_) {
        std::fill(samples, samples + 2 * size_t{frames}, s16{0});
        return;
    }
    song_.take(samples, frames);
    if (volume_ == kFullVolume)
        return;
    for (size_t i = 0; i < 2 * size_t{frames}; ++i)
        samples[i] = static_cast<s16>(s32{samples[i]} * static_cast<s32>(volume_) / static_cast<s32>(kFullVolume));
}

void Player::init()
{
    if (outputOn_)
        return;
    iop_.sdSetOutput(Fill, this);
    outputOn_ = true;
}

s32 Player::load(u32 address)
{
    playing_ = false;
    song_.load(nullptr);
    songBytes_.clear();
    const SongBytes block = SongBlock(iop_, address);
    song_.load(OpenSong(iop_, block.bytes));
    if (song_.loaded()) {
        songBytes_.assign(block.bytes.begin(), block.bytes.end());
        SayIfCutShort(iop_, address, block);
        return 0;
    }
    SayNotAModule(iop_, address);
    return -1;
}

s32 Player::play()
{
    // What opening the song has to say was said when it was loaded.
    IopServices quiet = iop_;
    quiet.print = [](const char*) {};
    if (!song_.restart(OpenSong(quiet, songBytes_)))
        return -1;
    playing_ = true;
    return 0;
}

void Player::setVolume(u32 volume) { volume_ = std::min(volume, kFullVolume); }

void Player::getInfo()
{
    if (!song_.loaded())
        return;
    // Where the song stands in what the output has taken, not in what was rendered ahead.
    const Position heard = song_.heard();
    reply(1, heard.order);
    reply(2, heard.pattern);
    reply(3, heard.row);
    reply(4, heard.speed);
}

void Player::reply(u32 index, s32 value) { PutReplyWord(reply_, index, value); }

} // namespace amigamod
