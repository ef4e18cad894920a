#include <gtest/gtest.h>

#include "ps2/dma_regs.h"
#include "ps2/gs_regs.h"
#include "tests/console/gs_fixture.h"
#include "tests/support/recording_console.h"

namespace gs_test {
namespace {

using testing_support::RecordingConsole;
using testing_support::RegisterWrite;

// Three A+D writes in a qword-aligned buffer, as the program would send them.
struct alignas(16) Packet {
    Qword q[4] = {Tag(3, kPacked, 1, 0xE), Ad(gs::FRAME_1, 0xa00a0), Ad(gs::ALPHA_1, 0x44), Ad(gs::TEST_1, 0x70000)};
};
const Packet kPacket;

void Start(u32 mode = 0)
{
    D2_QWC = 4;
    D2_MADR = reinterpret_cast<DmaAddress>(&kPacket);
    D2_CHCR = D_CHCR_DIR | D_CHCR_STR | mode << 2;
}

TEST(Dma, NormalTransferRunsAtOnceAndClearsStr)
{
    RecordingConsole console;
    Start();
    EXPECT_EQ(D2_CHCR & D_CHCR_STR, 0u);
    EXPECT_EQ(static_cast<u32>(D2_QWC), 0u);
    EXPECT_EQ(static_cast<DmaAddress>(D2_MADR), reinterpret_cast<DmaAddress>(&kPacket) + 64);
    EXPECT_NE(D_STAT & 4u, 0u); // channel 2 interrupt status
    const auto transfers = console.transfers();
    ASSERT_EQ(transfers.size(), 1u);
    EXPECT_EQ(transfers[0].qwc, 4u);
    const std::vector<RegisterWrite> sent = {{gs::FRAME_1, 0xa00a0}, {gs::ALPHA_1, 0x44}, {gs::TEST_1, 0x70000}};
    EXPECT_EQ(console.registerWrites(), sent);
    EXPECT_TRUE(console.messages().empty());
}

TEST(Dma, WithDmaDisabledTheChannelWaitsForDmae)
{
    RecordingConsole console;
    D_CTRL = 0;
    Start();
    EXPECT_NE(D2_CHCR & D_CHCR_STR, 0u);
    EXPECT_TRUE(console.transfers().empty());
    D_CTRL = D_CTRL_DMAE;
    EXPECT_EQ(D2_CHCR & D_CHCR_STR, 0u);
    EXPECT_EQ(console.transfers().size(), 1u);
}

TEST(Dma, UnmodelledModesAndBadAddressesAreDroppedWithAMessageAndEndTheTransfer)
{
    RecordingConsole console;
    Start(1); // chain mode
    EXPECT_EQ(D2_CHCR & D_CHCR_STR, 0u);
    EXPECT_TRUE(console.transfers().empty());
    EXPECT_EQ(console.messages().size(), 1u);
    D2_MADR = 0;
    D2_CHCR = D_CHCR_DIR | D_CHCR_STR;
    EXPECT_EQ(console.messages().size(), 2u);
}

// The program's wait: clear VSINT, then poll until the next blank sets it.
void WaitVSync()
{
    GS_CSR = GS_CSR & GS_CSR_VSINT;
    while (!(GS_CSR & GS_CSR_VSINT)) {
    }
}

TEST(VerticalBlank, ReadingCsrBringsOneBlankAndTheProgramsWaitCostsOneField)
{
    RecordingConsole console;
    EXPECT_EQ(GS_CSR & GS_CSR_VSINT, 0u);
    EXPECT_EQ(console.fields(), 0u);
    EXPECT_NE(GS_CSR & GS_CSR_VSINT, 0u);
    EXPECT_NE(GS_CSR & GS_CSR_VSINT, 0u); // a pending blank is not waited for again
    EXPECT_EQ(console.fields(), 1u);
    WaitVSync(); // VSINT is set on entry: cleared, then the next blank
    EXPECT_EQ(console.fields(), 2u);
    for (int i = 0; i < 10; ++i) WaitVSync();
    EXPECT_EQ(console.fields(), 12u);
}

TEST(VerticalBlank, FieldLimitStopsTheProgram)
{
    RecordingConsole console;
    console.machine().setFieldLimit(3);
    int waits = 0;
    EXPECT_THROW(
        for (;;) {
            WaitVSync();
            ++waits;
        },
        console::Halt);
    EXPECT_EQ(waits, 2);
    EXPECT_EQ(console.fields(), 3u);
}

} // namespace
} // namespace gs_test
