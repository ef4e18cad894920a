#include "music/amigamod.h"

#include <cstring>

#include "ps2/iopheap.h"
#include "ps2/sif_dma.h"
#include "ps2/sif_rpc.h"

static u32 Initialised;
static SifRpcClientData_t Client;
alignas(64) static u8 Transfer[256];
static void* SongBlock;
static bool SongLoaded;

static void PutWord(u32 index, u32 value) { std::memcpy(Transfer + 4 * index, &value, 4); }

static u32 Word(u32 index)
{
    u32 value;
    std::memcpy(&value, Transfer + 4 * index, 4);
    return value;
}

static s32 Call(int function, int mode, int sendSize, int receiveSize)
{
    return SifCallRpc(&Client, function, mode, Transfer, sendSize, Transfer, receiveSize, nullptr, nullptr);
}

int amigaModInit(int skipMessage)
{
    if (Initialised) return 0;
    if (SifBindRpc(&Client, static_cast<s32>(AMIGAMOD_SERVER_ID), 0) < 0) return -1;
    if (skipMessage == 0) {
        static const char Message[16] = "amigaModInit !";
        std::memcpy(Transfer, Message, sizeof Message);
        Call(AMIGAMOD_INIT, 0, 16, 64);
    }
    Initialised = 1;
    return 0;
}

int amigaModLoad(const void* eeAddress, u32 size)
{
    if (SifInitIopHeap() < 0) return -1;
    if (SongBlock) SifFreeIopHeap(SongBlock);
    SongBlock = SifAllocIopHeap(static_cast<s32>(size));
    SongLoaded = false;
    // A failed allocation gets nothing: the player is not pointed at memory that was never filled.
    if (!SongBlock) return -1;

    SifDmaTransfer_t transfer = {const_cast<void*>(eeAddress), SongBlock, static_cast<s32>(size), 0};
    const u32 id = SifSetDma(&transfer, 1);
    if (id == 0) return -1;
    while (SifDmaStat(id) >= 0) {
    }

    PutWord(0, static_cast<u32>(reinterpret_cast<DmaAddress>(SongBlock)));
    Call(AMIGAMOD_LOAD, 0, 4, 64);
    const int result = static_cast<s32>(Word(0));
    SongLoaded = result >= 0;
    return result;
}

int amigaModPlay(u32 argument)
{
    PutWord(0, argument);
    Call(AMIGAMOD_PLAY, 0, 4, 16);
    return static_cast<s32>(Word(0));
}

int amigaModStop()
{
    Call(AMIGAMOD_STOP, SIF_RPC_M_NOWAIT, 4, 0);
    return 0;
}

int amigaModSetVolume(u32 volume)
{
    PutWord(0, volume & 0x3FFF);
    Call(AMIGAMOD_SET_VOLUME, 0, 4, 0);
    return 0;
}

int amigaModGetInfo(u32* out)
{
    Call(AMIGAMOD_GET_INFO, 0, 4, 64);
    for (u32 i = 0; i < 4; ++i) out[i] = Word(i + 1);
    return 0;
}

int amigaModQuit()
{
    Call(AMIGAMOD_QUIT, SIF_RPC_M_NOWAIT, 4, 0);
    Initialised = 0;
    return 0;
}

int amigaModSendBlock(const void* block)
{
    std::memcpy(Transfer, block, AMIGAMOD_BLOCK_SIZE);
    return SifCallRpc(&Client, AMIGAMOD_SEND_BLOCK, SIF_RPC_M_NOWAIT, Transfer, AMIGAMOD_BLOCK_SIZE, Transfer, 0,
                      nullptr, nullptr);
}

bool amigaModSongLoaded() { return SongLoaded; }
