#include <gtest/gtest.h>

#include "gfx/display.h"
#include "ps2/dma_regs.h"
#include "tests/support/demo_display.h"

namespace {

using testing_support::kDemoParams;
using testing_support::Writes;

TEST(PS2Init, ProgramsTheDemoModeInOrder)
{
    testing_support::RecordingConsole console;
    EXPECT_EQ(PS2Init(&kDemoParams), 1);

    const auto events = console.events();
    // The z-buffer's trace line, 31 glyphs of two transfers each, comes between the display circuit and the
    // environment.
    constexpr std::size_t kTrace = 62;
    ASSERT_EQ(events.size(), 16u + kTrace);
    EXPECT_EQ(events[2].kind, console::GsEvent::Kind::CrtMode);
    EXPECT_EQ(events[2].mode, 3);
    EXPECT_EQ(events[2].ffmd, 1);
    const std::vector<std::pair<std::uint32_t, std::uint64_t>> privileged = {
        {gs::CSR, 0x200}, {gs::IMR, 0x7f00}, {gs::PMODE, 0xff66}, {gs::DISPFB2, 0x1540},
        {gs::DISPLAY2, 0x001ff9ff01824290}, {gs::BGCOLOR, 0}, {gs::DISPFB2, 0x14a0}};
    EXPECT_EQ(console.privilegedWrites(), privileged);

    // Then the environment, clear, flip, clear: transfers by size, privileged writes as 0.
    std::vector<std::size_t> sizes;
    for (std::size_t i = 7 + kTrace; i < events.size(); ++i) sizes.push_back(events[i].data.size());
    EXPECT_EQ(sizes, (std::vector<std::size_t>{8, 2, 5, 3, 2, 0, 2, 5, 3}));

    const auto init = testing_support::DecodeGifTransfer(events[7 + kTrace].data);
    EXPECT_EQ(init.tags[0].lo, 0x1000000000008007u);
    EXPECT_EQ(init.tags[0].hi, 0xeu);
    EXPECT_EQ(init.writes, (Writes{{GS_PRMODECONT, 1}, {GS_ZBUF_1, 0x30000000}, {GS_FRAME_1, 0xa00a0},
                                   {GS_XYOFFSET_1, 0x400000004000}, {GS_SCISSOR_1, 0x01ff0000027f0000},
                                   {GS_TEST_1, 0x70000}, {GS_ALPHA_1, 0x44}}));
    EXPECT_EQ(PS2GetDisplay()->zEnabled, 1u);
    EXPECT_TRUE(console.messages().empty());
}

TEST(PS2Init, LaysOutEveryModeAfterTheZBuffer)
{
    const u32 sizes[SCREEN_MODE_COUNT] = {0x40000, 0x50000, 0x60000, 0x80000, 0xa0000, 0x140000};
    const u16 widths[SCREEN_MODE_COUNT] = {256, 320, 384, 512, 640, 640};
    for (u32 row = 0; row < SCREEN_MODE_COUNT; ++row) {
        SCOPED_TRACE(row);
        testing_support::RecordingConsole console;
        // No z-buffer asked for: it is programmed all the same.
        const DisplayInitParams params = {0, 0x31, row};
        PS2Init(&params);
        // The start-up flip shows the first buffer and draws into the second.
        const DisplayContext* display = PS2GetDisplay();
        EXPECT_EQ(display->displayBuffer, sizes[row]);
        EXPECT_EQ(display->drawBuffer, 2 * sizes[row]);
        EXPECT_EQ(display->textureBase, 3 * sizes[row]);
        EXPECT_EQ(display->memoryNext, 4 * sizes[row]);
        EXPECT_EQ(PS2GetWidth(), widths[row]);
        // Row 5 has 512 lines but reports 256; scissor and display use all 512.
        EXPECT_EQ(PS2GetHeight(), 256);
        const u32 lines = row == 5 ? 512 : 256;
        const gs::Gs& gs = console.gs();
        EXPECT_EQ(gs.circuit(1).dh + 1, lines);
        EXPECT_EQ(gs.circuit(1).dw + 1, u32{widths[row]} * ScreenModes[row].magH);
        EXPECT_EQ(gs.registers().ctx[0].scissor.y1 + 1, lines);
        EXPECT_EQ(gs.registers().ctx[0].zbuf.psm, 0x31);
    }
}

TEST(PS2DmaReset, ClearsTheChannelAndEnablesDma)
{
    testing_support::RecordingConsole console;
    console::Machine& machine = console.machine();
    const u32 cleared[] = {D2_TADR.address(), D2_ASR0.address(), D2_ASR1.address(), D2_SADR.address(),
                           D_PCR.address(),   D_SQWC.address(),  D_RBSR.address(),  D_RBOR.address()};
    for (u32 address : cleared) machine.write(address, 0x1230, 4);
    PS2Init(&kDemoParams);
    // The init's own transfers left the channel's interrupt status set; a reset clears it.
    EXPECT_NE(machine.read(D_STAT.address(), 4) & 4, 0u);
    PS2DmaReset();

    EXPECT_EQ(machine.read(D_STAT.address(), 4) & 4, 0u);
    EXPECT_EQ(machine.read(D_CTRL.address(), 4), D_CTRL_DMAE);
    EXPECT_EQ(machine.read(D2_MADR.address(), 8), 0u);
    for (u32 address : cleared) EXPECT_EQ(machine.read(address, 4), 0u) << std::hex << address;
    EXPECT_TRUE(console.messages().empty());
}

} // namespace
