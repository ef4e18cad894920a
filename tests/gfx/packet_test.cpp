#include <gtest/gtest.h>

#include "gfx/display.h"
#include "gfx/gs.h"
#include "gfx/packet.h"
#include "tests/support/recording_console.h"

namespace {

using testing_support::RegisterWrite;

static_assert(PS2GifTagImage(256) == 0x0800000000008100ull);
static_assert(PS2GifTagImage(16384) == 0x080000000000c000ull);

TEST(PS2SendPacket, SendsTheFlagMeshSizeInOneTransfer)
{
    testing_support::RecordingConsole console;
    const DisplayInitParams params = {1, 0x30, 5};
    PS2Init(&params);
    console.clear();

    const u32 pairs = 13577;
    PS2PacketBegin(pairs);
    for (u32 i = 0; i < pairs; ++i) PS2PacketAdd(GS_RGBAQ, i);
    GsPacket.packetWords[GsPacket.packetIndex] = 0xdead; // past the end: not sent
    PS2SendPacket();

    const auto transfers = console.transfers();
    ASSERT_EQ(transfers.size(), 1u);
    EXPECT_EQ(transfers[0].qwc, 13578u);
    EXPECT_EQ(transfers[0].writes.size(), pairs);
    EXPECT_EQ(transfers[0].writes.back(), (RegisterWrite{GS_RGBAQ, pairs - 1}));
    EXPECT_TRUE(console.messages().empty());
}

} // namespace
