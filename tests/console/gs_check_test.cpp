#include <sstream>
#include <string>
#include <vector>

#include "console/check/findings.h"
#include "console/check/gs_checker.h"
#include "console/dmac/dmac.h"
#include "console/dump/gs_dump.h"
#include "tests/console/gs_fixture.h"

namespace gs_test {
namespace {

using check::Kind;

constexpr u64 kEop = 1u << 15;
constexpr u64 kZGequal = 0x50000; // ZTE, ZTST GEQUAL
constexpr u32 kTexBlock = 320 * 32;

// A checker fed by hand: a 640 x 256 PSMCT32 frame at page 0, a depth buffer at page 160, depth test on.
class GsCheck : public ::testing::Test {
protected:
    GsCheck()
    {
        write({{gs::FRAME_1, 10u << 16}, {gs::ZBUF_1, 160}, {gs::XYOFFSET_1, 0},
               {gs::SCISSOR_1, 639u << 16 | u64{255} << 48}, {gs::TEST_1, kZGequal}});
    }

    void send(std::vector<Qword> data) { checker.gifTransfer(data.data(), static_cast<u32>(data.size())); }
    void write(const Writes& writes) { send(AdPacket(writes)); }
    u64 found(Kind kind) const { return findings.count(kind); }
    u64 total() const { return findings.total(); }

    // A 32 x 32 PSMCT32 image sent to block `dbp`, width 1.
    void upload(u32 dbp, u32 rows = 32)
    {
        write({{gs::BITBLTBUF, u64{dbp} << 32 | u64{1} << 48}, {gs::TRXPOS, 0}, {gs::TRXREG, 32 | u64{32} << 32},
               {gs::TRXDIR, 0}});
        std::vector<Qword> image{Tag(rows * 8, kImage, 0, 0)};
        image.resize(1 + rows * 8);
        send(image);
    }

    // A sprite over (0, 0)-(32, 32) textured with the 32 x 32 texture at `tbp`, UV across all of it.
    void texturedSprite(u32 tbp)
    {
        write({{gs::TEX0_1, tbp | u64{1} << 14 | u64{5} << 26 | u64{5} << 30}, {gs::PRIM, 0x156},
               {gs::UV, Uv(0, 0)}, {gs::XYZ2, Xyz(0, 0)}, {gs::UV, Uv(32 * 16, 32 * 16)}, {gs::XYZ2, Xyz(32, 32)}});
    }

    std::vector<std::string> lines;
    check::Findings findings{[this](std::string_view line) { lines.emplace_back(line); }};
    check::GsChecker checker{findings};
};

TEST_F(GsCheck, TagsMustAddUpToTheirTransfers)
{
    // A packet split over two transfers is fine; one whose end never comes is not.
    std::vector<Qword> packet = AdPacket({{gs::PRIM, 6}, {gs::RGBAQ, 0}, {gs::FOGCOL, 0}});
    send({packet.begin(), packet.end() - 1});
    send({packet.end() - 1, packet.end()});
    checker.vblank();
    EXPECT_EQ(total(), 0u);
    send({packet.begin(), packet.end() - 1});
    checker.vblank();
    EXPECT_EQ(found(Kind::TagPastEnd), 1u);
    checker.privilegedWrite(gs::CSR, gs::kCsrReset); // the GIF would go on waiting for the rest

    // A tag counting one write too few leaves an XYZ2 value where the next tag should be.
    std::vector<Qword> shortTag = AdPacket({{gs::PRIM, 6}, {gs::XYZ2, Xyz(5, 5)}});
    shortTag[0].lo = (shortTag[0].lo & ~u64{0x7FFF}) | 1;
    send(shortTag);
    EXPECT_EQ(found(Kind::DataLeftOver), 1u);
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines.back().find("after the end of the packet"), std::string::npos) << lines.back();
    // Two packets in one transfer, each with its EOP, are fine.
    std::vector<Qword> two = AdPacket({{gs::PRIM, 6}});
    const std::vector<Qword> second = AdPacket({{gs::FOGCOL, 0}});
    two.insert(two.end(), second.begin(), second.end());
    send(two);
    checker.vblank();
    EXPECT_EQ(total(), 2u);
}

TEST_F(GsCheck, APacketLeftOpenAtTheEndOfAFieldIsFound)
{
    std::vector<Qword> open = AdPacket({{gs::FOGCOL, 0}});
    open[0].lo &= ~kEop;
    send(open);
    send(AdPacket({{gs::FOGCOL, 0}})); // a later transfer closes it
    checker.vblank();
    EXPECT_EQ(found(Kind::EopMissing), 0u);
    send(open);
    checker.vblank();
    EXPECT_EQ(found(Kind::EopMissing), 1u);
    // The same fault in the next field is counted, not printed again.
    send(open);
    checker.finish();
    EXPECT_EQ(found(Kind::EopMissing), 2u);
    EXPECT_EQ(lines.size(), 1u);
    EXPECT_EQ(findings.summary(), "2 findings (1 distinct): eop-missing 2");
}

TEST_F(GsCheck, AKickNeedsAPrimSinceReset)
{
    write({{gs::XYZ2, Xyz(1, 1)}});
    EXPECT_EQ(found(Kind::NoPrim), 1u);
    write({{gs::PRIM, 0}, {gs::XYZ2, Xyz(1, 1)}});
    EXPECT_EQ(found(Kind::NoPrim), 1u);
    // A tag's PRE field sets PRIM too; a reset forgets it.
    checker.privilegedWrite(gs::CSR, gs::kCsrReset);
    send({Tag(1, kPacked, 1, 0x5, true, 0), {Xyz(1, 1) & 0xFFFF, 0}});
    EXPECT_EQ(found(Kind::NoPrim), 1u);
    checker.privilegedWrite(gs::CSR, gs::kCsrReset);
    write({{gs::XYZ3, Xyz(1, 1)}}); // no drawing, no fault
    write({{gs::XYZF2, Xyz(1, 1)}});
    EXPECT_EQ(found(Kind::NoPrim), 2u);
}

TEST_F(GsCheck, ReservedBitsAndMissingRegisters)
{
    write({{gs::ZBUF_1, 160 | u64{0x0A} << 24 | u64{1} << 32}, {gs::TEX1_1, 0x1E0}, {gs::ALPHA_1, 0x44 | u64{0x80} << 32}});
    EXPECT_EQ(total(), 0u);
    write({{gs::ZBUF_1, 160 | u64{0x30} << 24}});
    write({{gs::ZBUF_1, 160 | u64{10} << 16}});
    write({{0x0B, 1}});
    write({{gs::PRIM, 7}});
    EXPECT_EQ(found(Kind::ReservedBits), 4u);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_NE(lines[0].find("ZBUF_1 written with reserved bits 0x30000000"), std::string::npos) << lines[0];
    EXPECT_NE(lines[2].find("which the GS does not have"), std::string::npos) << lines[2];
    // A PACKED tag with the reserved descriptor 0xB; REGLIST writes are checked as A+D ones are.
    send({Tag(1, kPacked, 1, 0xB), {0, 0}});
    send({Tag(1, kReglist, 1, gs::UV), {u64{1} << 15, 0}});
    EXPECT_EQ(found(Kind::ReservedBits), 6u);
}

TEST_F(GsCheck, TexturesMustBeWrittenBeforeTheyAreRead)
{
    texturedSprite(kTexBlock);
    EXPECT_EQ(found(Kind::TextureUnwritten), 1u);
    upload(kTexBlock);
    texturedSprite(kTexBlock);
    EXPECT_EQ(found(Kind::TextureUnwritten), 1u);
    // Half an image leaves the lower half unwritten; a sprite on the upper half alone is fine.
    upload(kTexBlock + 64, 16);
    write({{gs::TRXDIR, 3}});
    EXPECT_EQ(found(Kind::ImageSize), 1u);
    texturedSprite(kTexBlock + 64);
    EXPECT_EQ(found(Kind::TextureUnwritten), 2u);
    write({{gs::PRIM, 0x156}, {gs::UV, Uv(0, 0)}, {gs::XYZ2, Xyz(0, 0)}, {gs::UV, Uv(32 * 16, 15 * 16)},
           {gs::XYZ2, Xyz(32, 15)}});
    EXPECT_EQ(found(Kind::TextureUnwritten), 2u);
    EXPECT_EQ(found(Kind::TextureInTarget), 0u);
}

TEST_F(GsCheck, DrawingMustNotReadOrOverlapItsOwnBuffers)
{
    // A texture in the frame buffer's scissored area, after something was drawn there.
    write({{gs::PRIM, 6}, {gs::XYZ2, Xyz(0, 0)}, {gs::XYZ2, Xyz(64, 64)}});
    texturedSprite(0);
    EXPECT_EQ(found(Kind::TextureInTarget), 1u);
    EXPECT_EQ(found(Kind::TextureUnwritten), 0u);
    EXPECT_EQ(found(Kind::TargetOverlap), 0u);
    // The depth buffer on the frame buffer: found while the depth test is on, not once it is off.
    write({{gs::ZBUF_1, 5}, {gs::PRIM, 6}, {gs::XYZ2, Xyz(0, 0)}, {gs::XYZ2, Xyz(8, 8)}});
    EXPECT_EQ(found(Kind::TargetOverlap), 1u);
    write({{gs::TEST_1, 0}, {gs::XYZ2, Xyz(0, 0)}, {gs::XYZ2, Xyz(8, 8)}});
    EXPECT_EQ(found(Kind::TargetOverlap), 1u);
    // Right after the frame's 640 x 256 area, at page 80, the depth buffer does not overlap it.
    write({{gs::ZBUF_1, 80}, {gs::TEST_1, kZGequal}, {gs::XYZ2, Xyz(0, 0)}, {gs::XYZ2, Xyz(8, 8)}});
    EXPECT_EQ(found(Kind::TargetOverlap), 1u);
}

TEST_F(GsCheck, ImagesMustMatchTheirRectangleAndStayInMemory)
{
    upload(kTexBlock); // exactly the rectangle
    EXPECT_EQ(total(), 0u);
    write({{gs::TRXDIR, 0}});
    send({Tag(257, kImage, 0, 0)}); // one qword more than 32 x 32 pixels
    std::vector<Qword> data(257);
    send(data);
    EXPECT_EQ(found(Kind::ImageSize), 1u);
    EXPECT_NE(lines.back().find("runs past the transfer rectangle"), std::string::npos) << lines.back();
    // Into the last page, 32 x 64 runs off the end of local memory; the same at page 0 does not.
    write({{gs::BITBLTBUF, u64{511 * 32} << 32 | u64{1} << 48}, {gs::TRXREG, 32 | u64{64} << 32}, {gs::TRXDIR, 0}});
    EXPECT_EQ(found(Kind::ImageOutside), 1u);
    write({{gs::BITBLTBUF, u64{1} << 48}, {gs::TRXDIR, 3}, {gs::TRXDIR, 0}, {gs::TRXDIR, 3}});
    EXPECT_EQ(found(Kind::ImageOutside), 1u);
    // Wider than the buffer it goes into.
    write({{gs::TRXPOS, u64{48} << 32}, {gs::TRXDIR, 0}});
    EXPECT_EQ(found(Kind::ImageOutside), 2u);
}

TEST_F(GsCheck, ChannelTwoMustNotSendWhatTheCacheHoldsBack)
{
    MessageLog log;
    gs::Gs gs(log);
    dmac::Dmac dma(gs, log);
    gs.setObserver(&checker);
    dma.setObserver(&checker);
    // The channel reads whole aligned quadwords.
    alignas(16) Qword packet[2] = {Tag(1, kPacked, 1, 0xE), Ad(gs::FOGCOL, 1)};
    const auto kick = [&] {
        dma.write(dmac::D2_QWC, 2);
        dma.write(dmac::D2_MADR, reinterpret_cast<u64>(packet));
        dma.write(dmac::D2_CHCR, 0x101);
    };
    kick();
    kick(); // the same bytes again: nothing stale
    dma.flushCache();
    packet[1].lo = 2;
    kick();
    EXPECT_EQ(found(Kind::StaleDma), 0u);
    packet[1].lo = 3; // changed with no write-back since it went out
    kick();
    EXPECT_EQ(found(Kind::StaleDma), 1u);
    EXPECT_NE(lines.back().find("transfer 5 from " + console::Hex(reinterpret_cast<u64>(packet))),
              std::string::npos)
        << lines.back();
    EXPECT_EQ(total(), 1u);
}

TEST_F(GsCheck, AReplayedDumpOfADamagedPacketIsFound)
{
    MessageLog log;
    std::ostringstream out;
    {
        console::GsDumpWriter writer(out);
        gs::Gs g(log);
        g.setObserver(&writer);
        std::vector<Qword> packet = AdPacket({{gs::PRIM, 6}, {gs::XYZ2, Xyz(1, 1)}, {gs::XYZ2, Xyz(9, 9)}});
        packet[0].lo += 1; // NLOOP one too many
        g.transfer(packet.data(), static_cast<u32>(packet.size()));
        g.vblank();
    }
    class NoHost final : public console::Host {
        void field(const console::Field&) override {}
        void message(std::string_view) override {}
    } host;
    std::istringstream in(out.str());
    std::string error;
    ASSERT_TRUE(console::ReplayGsDump(in, host, error, 0, &checker)) << error;
    EXPECT_EQ(found(Kind::TagPastEnd), 1u);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("tag-past-end: field 0, transfer 2, qword 4: GIF tag PACKED NLOOP 4", 0), 0u) << lines[0];
}

} // namespace
} // namespace gs_test
