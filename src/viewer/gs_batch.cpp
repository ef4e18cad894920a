#include "viewer/gs_batch.h"

#include "gfx/packet.h"

static const ViewerGsWrite* Setup = nullptr;
static u32 SetupCount = 0;

static void Start()
{
    PS2PacketBegin(0);
    for (u32 i = 0; i < SetupCount; ++i) PS2PacketAdd(Setup[i].reg, Setup[i].value);
}

void ViewerBatchBegin(const ViewerGsWrite* setup, u32 count)
{
    Setup = setup;
    SetupCount = count;
    Start();
}

void ViewerBatchRoom(u32 writes)
{
    if (PS2PacketRoom() >= writes) return;
    ViewerBatchEnd();
    Start();
}

void ViewerBatchEnd()
{
    PS2PacketClose();
    PS2SendPacket();
}
