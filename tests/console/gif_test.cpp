#include <bit>
#include <tuple>
#include <vector>

#include "tests/console/gs_fixture.h"

namespace gs_test {
namespace {

Qword PackedRgbaq(u32 r, u32 g, u32 b, u32 a) { return {r | u64{g} << 32, b | u64{a} << 32}; }
Qword PackedSt(float s, float t, float q)
{
    return {std::bit_cast<u32>(s) | u64{std::bit_cast<u32>(t)} << 32, std::bit_cast<u32>(q)};
}
Qword PackedXyzf(u32 x16, u32 y16, u32 z, u32 f, bool adc = false)
{
    return {x16 | u64{y16} << 32, u64{z} << 4 | u64{f} << 36 | u64{adc} << 47};
}
Qword PackedXyz(u32 x16, u32 y16, u32 z, bool adc = false) { return {x16 | u64{y16} << 32, z | u64{adc} << 47}; }
u64 Label(u32 id) { return id | u64{0xFFFFFFFF} << 32; }

class Gif : public GsTest {
protected:
    Gif() { write(gs::TEST_1, 0x30000); } // depth ALWAYS with writes, to see Z
    u64 label() const { return gs.readPrivileged(gs::SIGLBLID) >> 32; }
};

TEST_F(Gif, PackedAddressPlusDataWritesRegistersRaw)
{
    write({{gs::FRAME_2, 0xFFFFFFFF000A0005ull}, {gs::SCISSOR_2, 0x01ff0000027f0000ull}, {0x7F, 1234}});
    const gs::Registers& r = gs.registers();
    EXPECT_EQ(r.raw[gs::FRAME_2], 0xFFFFFFFF000A0005ull);
    const auto& frame = r.ctx[1].frame;
    EXPECT_EQ(std::tuple(frame.fbp, frame.fbw, frame.fbmsk), std::tuple(5u, 10u, 0xFFFFFFFFu));
    EXPECT_EQ(std::pair(r.ctx[1].scissor.x1, r.ctx[1].scissor.y1), std::pair(639u, 511u));
    EXPECT_TRUE(log.messages.empty()); // 0x7F is the customary no-op address
}

// Vertex data through A+D: raw values kept, a kick draws with them, and a later register write still
// changes how the next vertex draws.
TEST_F(Gif, AddressPlusDataVertexDataDrawsAndKeepsTheSetupCurrent)
{
    write({{gs::PRIM, gs::POINT}, {gs::RGBAQ, 0x80402010}, {gs::UV, 0x00050007}, {gs::XYZ2, Xyz(3, 2, 77)}});
    const gs::Registers& r = gs.registers();
    EXPECT_EQ(r.raw[gs::RGBAQ], 0x80402010u);
    EXPECT_EQ(std::pair(r.u, r.v), std::pair(7u, 5u));
    EXPECT_EQ(r.raw[gs::XYZ2], Xyz(3, 2, 77));
    EXPECT_EQ(pixel(3, 2), 0x80402010u);
    EXPECT_EQ(depth(3, 2), 77u);
    write({{gs::FRAME_1, gs.registers().raw[gs::FRAME_1] | u64{0xFF} << 32}, {gs::XYZ2, Xyz(4, 2, 78)}});
    EXPECT_EQ(pixel(4, 2), 0x80402010u & ~0xFFu); // FBMSK keeps the frame's red, which was zero
}

// PRIM 0 POINT, then every vertex descriptor: the kicking ones draw a point, ADC and the 3 forms do not.
TEST_F(Gif, PackedVertexDescriptorsKickOrNot)
{
    send({
        Tag(1, kPacked, 12, 0xFDC5'F544'3210ull),
        {0x808, 0}, // PRIM: Gouraud POINT; bit 11 is not PRIM's
        PackedRgbaq(0x11, 0x22, 0x33, 0x44),
        PackedSt(0.5f, 0.25f, 2.0f),
        {0x3FFF | u64{0x10} << 32, 0},               // UV
        PackedXyzf(10 * 16, 1 * 16, 0xABCDEF, 0x7E), // kicks
        PackedXyzf(11 * 16, 1 * 16, 5, 0x7E, true),  // ADC: no kick
        PackedXyz(12 * 16, 1 * 16, 0xFEDCBA98),      // kicks
        {0xFFFFFFFF, 0xFFFFFFFF},                    // NOP
        PackedXyz(13 * 16, 1 * 16, 7, true),         // ADC: no kick
        PackedXyzf(14 * 16, 1 * 16, 9, 0x7E),        // XYZF3: no kick
        PackedXyz(15 * 16, 1 * 16, 9),               // XYZ3: no kick
        {0xFFFFFFFF, 0xFFFFFFFF},                    // NOP
    });
    const gs::Registers& r = gs.registers();
    EXPECT_EQ(r.primType, gs::POINT);
    EXPECT_TRUE(r.prim.iip);
    EXPECT_EQ(r.raw[gs::PRIM], 0x8u);
    EXPECT_EQ(r.rgbaq.r, 0x11);
    EXPECT_EQ(r.rgbaq.a, 0x44);
    EXPECT_FLOAT_EQ(r.s, 0.5f);
    EXPECT_FLOAT_EQ(r.t, 0.25f);
    EXPECT_EQ(r.u, 0x3FFFu);
    EXPECT_EQ(r.v, 0x10u);
    EXPECT_EQ(r.fog, 0x7E);
    // The registers read back as written, Q from the latch a tag resets.
    EXPECT_EQ(r.raw[gs::RGBAQ], 0x44332211u | u64{0x3F800000} << 32);
    EXPECT_EQ(r.raw[gs::UV], 0x3FFFu | 0x10u << 16);
    EXPECT_EQ(r.raw[gs::XYZ2], 12 * 16 | 16 << 16 | u64{0xFEDCBA98} << 32);
    EXPECT_EQ(r.raw[gs::XYZ3], 15 * 16 | 16 << 16 | u64{9} << 32);
    EXPECT_NE(pixel(10, 1), 0u);
    EXPECT_EQ(depth(10, 1), 0xABCDEFu);
    EXPECT_EQ(depth(12, 1), 0xFEDCBA98u);
    EXPECT_EQ(gs.pixelsDrawn(), 2u);
}

TEST_F(Gif, PackedRgbaqTakesQFromTheLastStUntilTheNextTag)
{
    send({Tag(1, kPacked, 3, 0x121), PackedRgbaq(1, 2, 3, 4), PackedSt(1.0f, 1.0f, 2.5f), PackedRgbaq(5, 6, 7, 8)});
    EXPECT_FLOAT_EQ(gs.registers().rgbaq.q, 2.5f);
    EXPECT_EQ(gs.registers().rgbaq.b, 7);
    // A new tag resets the latch; an A+D write of RGBAQ carries its own Q.
    send({Tag(1, kPacked, 1, 0x1), PackedRgbaq(1, 2, 3, 4)});
    EXPECT_FLOAT_EQ(gs.registers().rgbaq.q, 1.0f);
    write(gs::RGBAQ, 0x01020304 | u64{std::bit_cast<u32>(0.75f)} << 32);
    EXPECT_FLOAT_EQ(gs.registers().rgbaq.q, 0.75f);
}

TEST_F(Gif, NregZeroMeansSixteenPreSetsPrimAndEmptyTagsCarryNothing)
{
    std::vector<Qword> packet{Tag(1, kPacked, 0, 0xEEEEEEEEEEEEEEEEull, true, 0x1DB)};
    for (u8 i = 0; i < 16; ++i) packet.push_back(Ad(gs::LABEL, Label(i)));
    // Had NREG 0 been taken as 0 or 1, this would be data rather than a tag.
    packet.push_back(Tag(1, kPacked, 1, 0xE));
    packet.push_back(Ad(gs::SIGNAL, 0x77 | u64{0xFF} << 32));
    send(packet);
    EXPECT_EQ(gs.readPrivileged(gs::SIGLBLID), u64{15} << 32 | 0x77);
    EXPECT_EQ(gs.registers().raw[gs::PRIM], 0x1DBu);
    EXPECT_EQ(gs.registers().primType, gs::TRIANGLE);
    // Tags with NLOOP 0 carry no data and ignore their PRIM.
    send({Tag(0, kPacked, 1, 0xE, true, 0x3), Tag(0, kImage, 0, 0), Tag(1, kPacked, 1, 0xE), Ad(gs::LABEL, Label(9))});
    EXPECT_EQ(gs.registers().raw[gs::PRIM], 0x1DBu);
    EXPECT_EQ(label(), 9u);
    EXPECT_TRUE(log.messages.empty());
}

TEST_F(Gif, ReglistWritesDwordsRawAndSkipsTheOddPadding)
{
    const u64 rgbaqHalfQ = (Rgba(5, 6, 7, 8) & 0xFFFFFFFF) | u64{std::bit_cast<u32>(0.5f)} << 32;
    const u64 st = std::bit_cast<u32>(0.25f) | u64{std::bit_cast<u32>(0.75f)} << 32;
    // RGBAQ, ST, A+D (no write in REGLIST), twice: six dwords in three qwords. Then PRIM, XYZ2, XYZ2:
    // three dwords, the upper half of the second qword is padding.
    send({Tag(2, kReglist, 3, 0xE21), {Rgba(1, 2, 3, 4), st}, {~0ull, rgbaqHalfQ}, {st, ~0ull},
          Tag(1, kReglist, 3, 0x550), {6, Xyz(3, 4)}, {Xyz(8, 9), Tag(1, kImage, 0, 0).lo},
          Tag(1, kPacked, 1, 0xE), Ad(gs::LABEL, Label(42))});
    EXPECT_EQ(gs.registers().rgbaq.r, 5);
    EXPECT_FLOAT_EQ(gs.registers().rgbaq.q, 0.5f); // Q travels in the dword, no latch
    EXPECT_FLOAT_EQ(gs.registers().t, 0.75f);
    EXPECT_EQ(label(), 42u);
    EXPECT_EQ(countChanged(16, 16), 25); // the sprite from (3, 4) to (8, 9)
    EXPECT_TRUE(log.messages.empty());
}

TEST_F(Gif, APacketSplitAcrossTransfersDrawsTheSame)
{
    std::vector<Qword> packet = AdPacket({{gs::PRIM, 3}, {gs::RGBAQ, Rgba(200, 100, 50, 128)}, {gs::XYZ2, Xyz(0, 0)},
                                          {gs::XYZ2, Xyz(40, 3)}, {gs::XYZ2, Xyz(7, 30)}});
    packet.insert(packet.end(), {Tag(3, kReglist, 1, 0x5), {Xyz(60, 60), Xyz(90, 61)}, {Xyz(70, 95), 0}});
    const auto env = AdPacket({{gs::FRAME_1, 10u << 16}, {gs::SCISSOR_1, 0x01ff0000027f0000ull}});
    for (size_t cut = 1; cut < packet.size(); ++cut) {
        MessageLog wholeLog, splitLog;
        gs::Gs whole(wholeLog), split(splitLog);
        for (gs::Gs* g : {&whole, &split}) g->transfer(env.data(), static_cast<u32>(env.size()));
        whole.transfer(packet.data(), static_cast<u32>(packet.size()));
        split.transfer(packet.data(), static_cast<u32>(cut));
        split.transfer(packet.data() + cut, static_cast<u32>(packet.size() - cut));
        ASSERT_GT(whole.pixelsDrawn(), 1000u);
        ASSERT_EQ(split.pixelsDrawn(), whole.pixelsDrawn()) << "cut at " << cut;
        for (u32 w = 0; w < 640 * 128; ++w) ASSERT_EQ(split.memory().read(w), whole.memory().read(w)) << cut;
    }
}

TEST_F(Gif, MalformedInputIsRefusedWithOneMessageEach)
{
    // IMAGE data with no transfer started.
    send({Tag(2, kImage, 0, 0), {~0ull, ~0ull}, {~0ull, ~0ull}});
    EXPECT_TRUE(log.mentions("no host-to-local transfer started"));
    EXPECT_EQ(countChanged(640, 64), 0);
    // A reserved PACKED descriptor, then an unknown register and one past the register file, twice.
    log.messages.clear();
    for (int i = 0; i < 2; ++i) send({Tag(1, kPacked, 3, 0xEEB), {~0ull, ~0ull}, Ad(0x70, 1), Ad(0xC3, 1)});
    EXPECT_EQ(log.messages.size(), 3u);
    EXPECT_TRUE(log.mentions("0xb") && log.mentions("0x70") && log.mentions("0xc3"));
    // The stream stays in step: the next tag is read as a tag.
    write(gs::LABEL, Label(5));
    EXPECT_EQ(label(), 5u);
}

} // namespace
} // namespace gs_test
