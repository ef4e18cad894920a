#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "console/dump/gs_dump.h"
#include "tests/frontend/orbdemo_run.h"

namespace {

using testing_support::FreshDirectory;
using testing_support::RunOrbdemo;

// Two fields, each with a PACKED A+D packet whose tag counts one write more than it carries.
void WriteDamagedDump(const std::filesystem::path& path)
{
    std::ofstream file(path, std::ios::binary);
    console::GsDumpWriter writer(file);
    const std::vector<gs::Qword> packet = {{0x1000000000008003, 0xE}, {6, 0x00}, {0, 0x3D}};
    for (int field = 0; field < 2; ++field) {
        writer.gifTransfer(packet.data(), static_cast<gs::u32>(packet.size()));
        writer.vblank();
    }
}

TEST(GsCheckRun, AReplayedFaultIsReportedOnceCountedAndFailsAStrictRun)
{
    const auto dir = FreshDirectory();
    const auto dump = dir / "damaged.gsdump";
    WriteDamagedDump(dump);
    const auto strict = RunOrbdemo("--replay " + dump.string() + " --gs-check=strict", dir);
    EXPECT_EQ(strict.status, 3) << strict.output;
    EXPECT_NE(strict.output.find("gs-check: tag-past-end: field 0, transfer 1, qword 3: GIF tag PACKED NLOOP 3"),
              std::string::npos)
        << strict.output;
    EXPECT_NE(strict.output.find("orbdemo: gs-check: "), std::string::npos) << strict.output;
    const auto plain = RunOrbdemo("--replay " + dump.string() + " --gs-check", dir);
    EXPECT_EQ(plain.status, 0) << plain.output;
    const auto unchecked = RunOrbdemo("--replay " + dump.string(), dir);
    EXPECT_EQ(unchecked.status, 0) << unchecked.output;
    EXPECT_EQ(unchecked.output.find("gs-check"), std::string::npos) << unchecked.output;
}

// The demo's depth buffer set-up writes ZBUF_1 with bits the GS leaves unused (its format code 0x30 in full,
// and the frame width above ZBP): the check says so, and nothing else.
TEST(GsCheckRun, TheDemoShowsOnlyItsKnownDepthBufferBits)
{
    const auto dir = FreshDirectory();
    const auto run = RunOrbdemo("--headless --frames 30 --gs-check=strict", dir);
    EXPECT_EQ(run.status, 3) << run.output;
    EXPECT_NE(run.output.find("reserved-bits: field 0, transfer 63 from 0x"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("ZBUF_1 written with reserved bits 0x30000000 set (value 0x30000000)"),
              std::string::npos) << run.output;
    EXPECT_NE(run.output.find("ZBUF_1 written with reserved bits 0xa0000 set (value 0xa0000)"), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("(2 distinct): reserved-bits "), std::string::npos) << run.output;
}

} // namespace
