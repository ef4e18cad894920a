#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "console/gs/layout.h"
#include "gfx/display.h"
#include "gfx/gs.h"
#include "tests/support/recording_console.h"

namespace testing_support {

using Writes = std::vector<RegisterWrite>;

// The demo's display: z-buffer on, PSMZ32, the 640 x 512 PAL mode.
inline constexpr DisplayInitParams kDemoParams = {1, 0x30, 5};
// The depth switches that 2D drawing sends before and after its packets.
inline const Writes kDepthOff = {{GS_TEST_1, 0x30000}};
inline const Writes kDepthOn = {{GS_ZBUF_1, 0x30000000}, {GS_TEST_1, 0x70000}};

// Build XYZ2 for GS pixel (x, y) at depth z.
constexpr u64 Xyz2(u64 x, u64 y, u64 z = 0) { return x * 16 | y * 16 << 16 | z << 32; }

// A recording console after the demo's PS2Init, with nothing recorded yet.
class DemoDisplayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PS2Init(&kDemoParams);
        console.clear();
    }

    // Check the depth switches around the recorded packets and return the packets between them.
    std::vector<GifTransfer> Bracketed() const
    {
        const auto transfers = console.transfers();
        EXPECT_GE(transfers.size(), 3u);
        if (transfers.size() < 3) return {};
        EXPECT_EQ(transfers.front().writes, kDepthOff);
        EXPECT_EQ(transfers.back().writes, kDepthOn);
        return {transfers.begin() + 1, transfers.end() - 1};
    }

    // Return the one packet between the depth switches.
    GifTransfer OnlyPacket() const
    {
        const auto packets = Bracketed();
        EXPECT_EQ(packets.size(), 1u);
        return packets.empty() ? GifTransfer{} : packets[0];
    }

    // Return the pixel at (x, y) of the draw buffer.
    u32 DrawnPixel(u32 x, u32 y)
    {
        return console.gs().memory().read(gs::kLayoutC32.address(PS2GetDisplay()->drawBuffer / 256, 10, x, y));
    }

    RecordingConsole console;
};

} // namespace testing_support
