#include <vector>

#include "tests/console/gs_fixture.h"

namespace gs_test {
namespace {

u32 Picture(u32 x, u32 y) { return 0xFF000000u ^ (x * 0x00010307u) ^ (y * 0x00070103u); }

class Transfer : public GsTest {
protected:
    // BITBLTBUF, TRXPOS, TRXREG and TRXDIR 0 for a w x h PSMCT32 rectangle at (dx, dy) of a buffer
    // at the texture area, dbw pages wide.
    static std::vector<Qword> start(u32 dbw, u32 dx, u32 dy, u32 w, u32 h, u32 psm = gs::PSMCT32)
    {
        return AdPacket()
            .add(gs::BITBLTBUF, u64{kTextureBlock} << 32 | u64{dbw} << 48 | u64{psm} << 56)
            .add(gs::TRXPOS, u64{dx} << 32 | u64{dy} << 48)
            .add(gs::TRXREG, w | u64{h} << 32)
            .add(gs::TRXDIR, 0)
            .build();
    }
    // The image rows as IMAGE qwords, four pixels each.
    static std::vector<Qword> image(u32 w, u32 h, u32 extraQwords = 0)
    {
        std::vector<u32> pixels;
        for (u32 y = 0; y < h; ++y)
            for (u32 x = 0; x < w; ++x) pixels.push_back(Picture(x, y));
        pixels.resize((pixels.size() + 3) / 4 * 4 + 4 * extraQwords, 0xDEADBEEF);
        std::vector<Qword> out{Tag(static_cast<u32>(pixels.size() / 4), kImage, 0, 0)};
        for (size_t i = 0; i < pixels.size(); i += 4)
            out.push_back({pixels[i] | u64{pixels[i + 1]} << 32, pixels[i + 2] | u64{pixels[i + 3]} << 32});
        return out;
    }
    u32 texel(u32 dbw, u32 x, u32 y) const
    {
        return gs.memory().read(gs::kLayoutC32.address(kTextureBlock, dbw, x, y));
    }
};

TEST_F(Transfer, HostToLocalFillsTheRectangleRowByRowAndASpriteCopiesItBack)
{
    send(start(2, 8, 4, 100, 20));
    send(image(100, 20));
    for (u32 y = 0; y < 20; ++y)
        for (u32 x = 0; x < 100; ++x) ASSERT_EQ(texel(2, 8 + x, 4 + y), Picture(x, y)) << x << "," << y;
    EXPECT_EQ(texel(2, 7, 4), 0u);
    EXPECT_EQ(texel(2, 108, 4), 0u);
    EXPECT_EQ(texel(2, 8, 24), 0u);

    // A 1:1 textured sprite of the same rectangle reproduces it exactly.
    AdPacket p;
    p.add(gs::TEX0_1, kTextureBlock | u64{2} << 14 | u64{7} << 26 | u64{5} << 30 | u64{1} << 34 | u64{1} << 35);
    p.add(gs::PRIM, 0x116);
    p.add(gs::UV, Uv(8 * 16, 4 * 16)).add(gs::XYZ2, Xyz(300, 200));
    p.add(gs::UV, Uv(108 * 16, 24 * 16)).add(gs::XYZ2, Xyz(400, 220));
    send(p.build());
    for (u32 y = 0; y < 20; ++y)
        for (u32 x = 0; x < 100; ++x) ASSERT_EQ(pixel(300 + x, 200 + y), Picture(x, y)) << x << "," << y;
    EXPECT_EQ(countChanged(640, 512), 100 * 20);
    EXPECT_TRUE(log.messages.empty());
}

TEST_F(Transfer, HwregWritesCarryTheSameData)
{
    send(start(1, 0, 0, 6, 2));
    AdPacket p;
    for (u32 i = 0; i < 12; i += 2)
        p.add(gs::HWREG, Picture(i % 6, i / 6) | u64{Picture((i + 1) % 6, (i + 1) / 6)} << 32);
    send(p.build());
    for (u32 y = 0; y < 2; ++y)
        for (u32 x = 0; x < 6; ++x) EXPECT_EQ(texel(1, x, y), Picture(x, y));
}

TEST_F(Transfer, DataPastTheRectangleIsIgnoredWithAMessage)
{
    send(start(1, 0, 0, 4, 2));
    auto data = image(4, 2, 3);
    data.push_back(Tag(1, kPacked, 1, 0xE));
    data.push_back(Ad(gs::LABEL, 31 | u64{0xFF} << 32));
    send(data);
    EXPECT_EQ(log.messages.size(), 1u);
    EXPECT_TRUE(log.mentions("beyond the transfer rectangle"));
    for (u32 y = 0; y < 32; ++y)
        for (u32 x = 0; x < 64; ++x) ASSERT_EQ(texel(1, x, y), x < 4 && y < 2 ? Picture(x, y) : 0u) << x << "," << y;
    // The stream carries on after the IMAGE data, and a new TRXDIR starts a new transfer.
    EXPECT_EQ(gs.readPrivileged(gs::SIGLBLID) >> 32, 31u);
    send(start(1, 10, 10, 4, 1));
    send(image(4, 1));
    EXPECT_EQ(texel(1, 13, 10), Picture(3, 0));
}

TEST_F(Transfer, DataWithNoTransferOpenIsRefusedWithAMessage)
{
    write(gs::HWREG, 0x1234);
    EXPECT_TRUE(log.mentions("no host-to-local transfer started"));
    // A format this model does not store opens nothing.
    send(start(1, 0, 0, 8, 8, gs::PSMCT16));
    send(image(8, 8));
    EXPECT_TRUE(log.mentions("0x2"));
    // Nor does an empty rectangle.
    send(start(1, 0, 0, 0, 8));
    send(image(4, 1));
    for (u32 y = 0; y < 8; ++y)
        for (u32 x = 0; x < 8; ++x) ASSERT_EQ(texel(1, x, y), 0u);
}

TEST_F(Transfer, LocalToLocalCopiesBetweenLayouts)
{
    send(start(1, 0, 0, 16, 16));
    send(image(16, 16));
    // Copy the 16 x 16 rectangle into the frame at (50, 60), overlapping-safe order by default.
    send(AdPacket()
             .add(gs::BITBLTBUF, kTextureBlock | u64{1} << 16 | u64{kFramePage * 32} << 32 | u64{kWidth / 64} << 48)
             .add(gs::TRXPOS, u64{50} << 32 | u64{60} << 48)
             .add(gs::TRXREG, 16 | u64{16} << 32)
             .add(gs::TRXDIR, 2)
             .build());
    for (u32 y = 0; y < 16; ++y)
        for (u32 x = 0; x < 16; ++x) ASSERT_EQ(pixel(50 + x, 60 + y), Picture(x, y));
    EXPECT_EQ(countChanged(640, 512), 256);
}

} // namespace
} // namespace gs_test
