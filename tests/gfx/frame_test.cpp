#include <gtest/gtest.h>

#include <algorithm>

#include "console/gs/layout.h"
#include "gfx/display.h"
#include "gfx/frame.h"
#include "gfx/gs.h"
#include "gfx/packet.h"
#include "tests/support/recording_console.h"

namespace {

using testing_support::RegisterWrite;

constexpr DisplayInitParams kDemoParams = {1, 0x30, 5};
constexpr u32 kClearedLines = 256 + 10;

void Scribble(gs::Gs& gs) { std::fill(gs.memory().data(), gs.memory().data() + gs::kMemoryWords, 0xffffffffu); }

u32 Word(const gs::Gs& gs, u32 buffer, u32 x, u32 y)
{
    const gs::Layout32& layout = buffer == 0 ? gs::kLayoutZ32 : gs::kLayoutC32;
    return gs.memory().read(layout.address(buffer / 256, 640 / 64, x, y));
}

// Count the words of a buffer's 640 x 266 cleared rectangle that are not zero.
int Uncleared(const gs::Gs& gs, u32 buffer)
{
    int count = 0;
    for (u32 y = 0; y < kClearedLines; ++y)
        for (u32 x = 0; x < 640; ++x) count += Word(gs, buffer, x, y) != 0;
    return count;
}

TEST(PS2ClearScreen, SendsOneSpriteBetweenTheDepthSwitches)
{
    testing_support::RecordingConsole console;
    PS2Init(&kDemoParams);
    console.clear();
    PS2ClearScreen();
    // The depth test's own packet is left in the buffer: NLOOP 2 after the clear's NLOOP 4.
    EXPECT_EQ(GsPacket.packetQwc, 3u);
    EXPECT_EQ(GsPacket.packetIndex, 6u);

    const auto transfers = console.transfers();
    ASSERT_EQ(transfers.size(), 3u);
    EXPECT_EQ(transfers[0].qwc, 2u);
    EXPECT_EQ(transfers[0].writes, (std::vector<RegisterWrite>{{GS_TEST_1, 0x30000}}));
    EXPECT_EQ(transfers[1].qwc, 5u);
    EXPECT_EQ(transfers[1].writes, (std::vector<RegisterWrite>{
                                       {GS_PRIM, 6}, {GS_RGBAQ, 0}, {GS_XYZ2, 0x40004000}, {GS_XYZ2, 0x50a06800}}));
    EXPECT_EQ(transfers[2].writes, (std::vector<RegisterWrite>{{GS_ZBUF_1, 0x30000000}, {GS_TEST_1, 0x70000}}));
}

TEST(PS2ClearScreen, ClearsBothBuffersAndDepthWhateverWasThere)
{
    testing_support::RecordingConsole console;
    Scribble(console.gs());
    PS2Init(&kDemoParams);
    const gs::Gs& gs = console.gs();
    EXPECT_EQ(Uncleared(gs, 0x140000), 0);
    EXPECT_EQ(Uncleared(gs, 0x280000), 0);
    EXPECT_EQ(Uncleared(gs, 0), 0);
    EXPECT_EQ(Word(gs, 0x140000, 0, kClearedLines), 0xffffffffu);
    EXPECT_EQ(Word(gs, 0, 0, kClearedLines), 0xffffffffu);

    // Far depth everywhere would fail GREATER against z = 0; the clear draws with ALWAYS.
    Scribble(console.gs());
    PS2ClearScreen();
    EXPECT_EQ(Uncleared(gs, PS2GetDisplay()->drawBuffer), 0);
    EXPECT_EQ(Uncleared(gs, 0), 0);
    EXPECT_EQ(Word(gs, PS2GetDisplay()->displayBuffer, 10, 10), 0xffffffffu);
    EXPECT_EQ(gs.registers().ctx[0].test.ztst, gs::ZTest::Greater);
}

TEST(PS2FlipScreen, SwapsTheBuffersAndTwoFlipsRestoreThem)
{
    testing_support::RecordingConsole console;
    PS2Init(&kDemoParams);
    console.clear();
    PS2FlipScreen();
    EXPECT_EQ(PS2GetDisplay()->displayBuffer, 0x280000u);
    EXPECT_EQ(PS2GetDisplay()->drawBuffer, 0x140000u);
    PS2FlipScreen();
    EXPECT_EQ(PS2GetDisplay()->displayBuffer, 0x140000u);
    EXPECT_EQ(PS2GetDisplay()->drawBuffer, 0x280000u);

    // Each flip sends FRAME_1 for the new draw buffer, then shows the other one.
    const auto events = console.events();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(testing_support::DecodeGifTransfer(events[0].data).writes,
              (std::vector<RegisterWrite>{{GS_FRAME_1, 0xa00a0}}));
    EXPECT_EQ(events[1].value, 0x1540u);
    EXPECT_EQ(testing_support::DecodeGifTransfer(events[2].data).writes,
              (std::vector<RegisterWrite>{{GS_FRAME_1, 0xa0140}}));
    EXPECT_EQ(events[3].value, 0x14a0u);
}

TEST(PS2WaitVSync, WaitsExactlyOneFieldEvenWithABlankPending)
{
    testing_support::RecordingConsole console;
    PS2Init(&kDemoParams);
    console.clear();
    PS2WaitVSync();
    EXPECT_EQ(console.fields(), 1u);
    // It returns with the blank's event still set; the next wait clears it and waits for a new one.
    EXPECT_TRUE(console.gs().vsintPending());
    PS2WaitVSync();
    EXPECT_EQ(console.fields(), 2u);
    const std::vector<std::pair<std::uint32_t, std::uint64_t>> writes = {{gs::CSR, 0}, {gs::CSR, 8}};
    EXPECT_EQ(console.privilegedWrites(), writes);
}

} // namespace
