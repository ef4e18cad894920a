#include <gtest/gtest.h>

#include <algorithm>

#include "gfx/frame.h"
#include "tests/support/demo_display.h"

namespace {

using testing_support::Writes;
using Frame = testing_support::DemoDisplayTest;

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

TEST_F(Frame, ClearScreenSendsOneSpriteBetweenTheDepthSwitches)
{
    PS2ClearScreen();
    const auto clear = OnlyPacket();
    EXPECT_EQ(clear.qwc, 5u);
    EXPECT_EQ(clear.writes, (Writes{{GS_PRIM, 6}, {GS_RGBAQ, 0}, {GS_XYZ2, 0x40004000}, {GS_XYZ2, 0x50a06800}}));
}

TEST_F(Frame, ClearScreenEmptiesTheBuffersAndDepthWhateverWasThere)
{
    gs::Gs& gs = console.gs();
    Scribble(gs);
    PS2Init(&testing_support::kDemoParams);
    for (u32 buffer : {0u, 0x140000u, 0x280000u}) {
        EXPECT_EQ(Uncleared(gs, buffer), 0) << buffer;
        EXPECT_EQ(Word(gs, buffer, 0, kClearedLines), 0xffffffffu) << buffer;
    }

    // Far depth everywhere would fail GREATER against z = 0; the clear draws with ALWAYS.
    Scribble(gs);
    PS2ClearScreen();
    EXPECT_EQ(Uncleared(gs, PS2GetDisplay()->drawBuffer), 0);
    EXPECT_EQ(Uncleared(gs, 0), 0);
    EXPECT_EQ(Word(gs, PS2GetDisplay()->displayBuffer, 10, 10), 0xffffffffu);
}

TEST_F(Frame, FlipScreenSwapsTheBuffersAndTwoFlipsRestoreThem)
{
    PS2FlipScreen();
    PS2FlipScreen();
    // Each flip sends FRAME_1 for the new draw buffer, then shows the other one.
    const auto events = console.events();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(testing_support::DecodeGifTransfer(events[0].data).writes, (Writes{{GS_FRAME_1, 0xa00a0}}));
    EXPECT_EQ(events[1].value, 0x1540u);
    EXPECT_EQ(testing_support::DecodeGifTransfer(events[2].data).writes, (Writes{{GS_FRAME_1, 0xa0140}}));
    EXPECT_EQ(events[3].value, 0x14a0u);
    EXPECT_EQ(PS2GetDisplay()->drawBuffer, 0x280000u);
}

TEST_F(Frame, WaitVSyncWaitsExactlyOneFieldEvenWithABlankPending)
{
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
