#include <vector>

#include "tests/console/gs_fixture.h"

namespace gs_test {
namespace {

u32 Picture(u32 x, u32 y) { return 0xFF000000u ^ (x * 0x00010307u) ^ (y * 0x00070103u); }

class Transfer : public GsTest {
protected:
    // Starts a host-to-local transfer of a w x h rectangle at (dx, dy) of a buffer at the texture area.
    void start(u32 dbw, u32 dx, u32 dy, u32 w, u32 h, u32 psm = gs::PSMCT32)
    {
        write({{gs::BITBLTBUF, u64{kTextureBlock} << 32 | u64{dbw} << 48 | u64{psm} << 56},
               {gs::TRXPOS, u64{dx} << 32 | u64{dy} << 48}, {gs::TRXREG, w | u64{h} << 32}, {gs::TRXDIR, 0}});
    }
    // Sends the image rows as IMAGE qwords, four pixels each, then `extraQwords` of filler.
    void image(u32 w, u32 h, u32 extraQwords = 0)
    {
        const u32 qwords = (w * h + 3) / 4 + extraQwords;
        auto word = [&](u32 i) { return u64{i < w * h ? Picture(i % w, i / w) : 0xDEADBEEF}; };
        std::vector<Qword> out{Tag(qwords, kImage, 0, 0)};
        for (u32 i = 0; i < 4 * qwords; i += 4)
            out.push_back({word(i) | word(i + 1) << 32, word(i + 2) | word(i + 3) << 32});
        send(out);
    }
    u32 texel(u32 dbw, u32 x, u32 y) const
    {
        return gs.memory().read(gs::kLayoutC32.address(kTextureBlock, dbw, x, y));
    }
    // Fails, once, where the w x h rectangle at the texture area's origin differs from want(x, y).
    template <class Want>
    void expectTexels(u32 dbw, u32 w, u32 h, Want want) const
    {
        ExpectEqualOver(w, h, [&](u32 x, u32 y) { return texel(dbw, x, y); }, want);
    }
};

TEST_F(Transfer, HostToLocalFillsTheRectangleRowByRow)
{
    start(2, 8, 4, 100, 20);
    image(100, 20);
    expectTexels(2, 120, 30, [](u32 x, u32 y) {
        return x >= 8 && x < 108 && y >= 4 && y < 24 ? Picture(x - 8, y - 4) : 0;
    });
    EXPECT_TRUE(log.messages.empty());
}

// A 32 x 32 image uploaded with DBW 0 and drawn from TBW 0 comes out whole, laid out as with width 1.
TEST_F(Transfer, WidthZeroUploadsAndSamplesTheWholeImage)
{
    start(0, 0, 0, 32, 32);
    image(32, 32);
    expectTexels(1, 32, 32, Picture);
    write({{gs::TEX0_1, kTextureBlock | u64{5} << 26 | u64{5} << 30 | u64{1} << 34 | u64{1} << 35}, {gs::PRIM, 0x116},
           {gs::UV, Uv(0, 0)}, {gs::XYZ2, Xyz(100, 50)}, {gs::UV, Uv(512, 512)}, {gs::XYZ2, Xyz(132, 82)}});
    expectFrame(100, 50, 32, 32, Picture);
    EXPECT_TRUE(log.messages.empty());
}

TEST_F(Transfer, HwregWritesCarryTheSameData)
{
    start(1, 0, 0, 6, 2);
    Writes w;
    for (u32 i = 0; i < 12; i += 2)
        w.push_back({gs::HWREG, Picture(i % 6, i / 6) | u64{Picture((i + 1) % 6, (i + 1) / 6)} << 32});
    write(w);
    expectTexels(1, 6, 2, Picture);
}

TEST_F(Transfer, DataPastTheRectangleIsIgnoredWithAMessage)
{
    start(1, 0, 0, 4, 2);
    image(4, 2, 3);
    write(gs::LABEL, 31 | u64{0xFF} << 32);
    EXPECT_EQ(log.messages.size(), 1u);
    EXPECT_TRUE(log.mentions("beyond the transfer rectangle"));
    expectTexels(1, 64, 32, [](u32 x, u32 y) { return x < 4 && y < 2 ? Picture(x, y) : 0u; });
    // The stream carries on after the IMAGE data, and a new TRXDIR starts a new transfer.
    EXPECT_EQ(gs.readPrivileged(gs::SIGLBLID) >> 32, 31u);
    start(1, 10, 10, 4, 1);
    image(4, 1);
    EXPECT_EQ(texel(1, 13, 10), Picture(3, 0));
}

TEST_F(Transfer, DataWithNoTransferOpenIsRefusedWithAMessage)
{
    write(gs::HWREG, 0x1234);
    EXPECT_TRUE(log.mentions("no host-to-local transfer started"));
    // A format this model does not store opens nothing, nor does an empty rectangle.
    start(1, 0, 0, 8, 8, gs::PSMCT16);
    image(8, 8);
    EXPECT_TRUE(log.mentions("0x2"));
    start(1, 0, 0, 0, 8);
    image(4, 1);
    expectTexels(1, 8, 8, [](u32, u32) { return 0u; });
}

TEST_F(Transfer, LocalToLocalCopiesBetweenLayouts)
{
    start(1, 0, 0, 16, 16);
    image(16, 16);
    write({{gs::BITBLTBUF, kTextureBlock | u64{1} << 16 | u64{kFramePage * 32} << 32 | u64{kWidth / 64} << 48},
           {gs::TRXPOS, u64{50} << 32 | u64{60} << 48}, {gs::TRXREG, 16 | u64{16} << 32}, {gs::TRXDIR, 2}});
    expectFrame(50, 60, 16, 16, Picture);
    EXPECT_EQ(countChanged(640, 512), 256);
}

} // namespace
} // namespace gs_test
