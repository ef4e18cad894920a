#pragma once

#include "gfx/gs.h"
#include "ps2/types.h"

// 16,384 quadwords, so the flag mesh's packet of 13,578 quadwords goes to the GS in one send.
inline constexpr u32 PACKET_WORDS = 32768;

// The one GIF packet under construction: tag in words 0 and 1, then (value, register) pairs.
struct PacketBuffer {
    u32 packetQwc;
    alignas(16) u64 packetWords[PACKET_WORDS];
    u32 packetIndex;
};

extern PacketBuffer GsPacket;

// Start an A+D packet of nloop registers at the start of the buffer.
inline void PS2PacketBegin(u32 nloop)
{
    GsPacket.packetWords[0] = PS2GifTagPacked(nloop);
    GsPacket.packetWords[1] = GS_GIF_REGS_AD;
    GsPacket.packetQwc = nloop + 1;
    GsPacket.packetIndex = 2;
}

// Append one A+D register write at the write index.
inline void PS2PacketAdd(u64 reg, u64 value)
{
    u64* words = GsPacket.packetWords + GsPacket.packetIndex;
    words[0] = value;
    words[1] = reg;
    GsPacket.packetIndex += 2;
}

// Return how many more A+D register writes fit behind the write index.
inline u32 PS2PacketRoom() { return (PACKET_WORDS - GsPacket.packetIndex) / 2; }

// Set the tag's NLOOP and the quadword count from the register writes appended since PS2PacketBegin.
inline void PS2PacketClose()
{
    const u32 nloop = (GsPacket.packetIndex - 2) / 2;
    GsPacket.packetWords[0] = PS2GifTagPacked(nloop);
    GsPacket.packetQwc = nloop + 1;
}

// Send the packet's quadwords over DMA channel 2 and wait for the end of the transfer.
void PS2SendPacket();
// Send quadwords straight from memory over DMA channel 2 and wait; the caller has written back the cache.
void PS2DmaSend(const void* data, u32 quadwords);
// Switch the depth test between GREATER (1) and ALWAYS (0), programming the z-buffer again when on.
void PS2SetZTest(int on);
