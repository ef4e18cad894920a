#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "console/gs/gs.h"

namespace gs_test {

using gs::Qword;
using gs::u32;
using gs::u64;
using gs::u8;

// Keeps every message the console reports.
class MessageLog final : public console::Log {
public:
    void message(std::string_view text) override { messages.emplace_back(text); }
    bool mentions(std::string_view word) const
    {
        for (const auto& m : messages)
            if (m.find(word) != std::string::npos) return true;
        return false;
    }

    std::vector<std::string> messages;
};

enum Flg : u64 { kPacked = 0, kReglist = 1, kImage = 2 };

// A GIF tag; regs holds the descriptors, REGS[0] in the lowest nibble.
inline Qword Tag(u32 nloop, Flg flg, u32 nreg, u64 regs, bool pre = false, u32 prim = 0)
{
    return {u64{nloop} | u64{1} << 15 | u64{pre} << 46 | u64{prim} << 47 | u64{flg} << 58 | u64{nreg & 15} << 60,
            regs};
}

// One A+D register write.
inline Qword Ad(u8 reg, u64 value) { return {value, reg}; }

using Writes = std::vector<std::pair<u8, u64>>;

// Builds a PACKED A+D packet of these register writes.
inline std::vector<Qword> AdPacket(const Writes& writes)
{
    std::vector<Qword> out{Tag(static_cast<u32>(writes.size()), kPacked, 1, 0xE)};
    for (const auto& [reg, value] : writes) out.push_back(Ad(reg, value));
    return out;
}

// XYZ2 at window pixel (x, y) with the test's zero XYOFFSET, in 1/16 pixel.
inline u64 Xyz16(int x16, int y16, u32 z = 0)
{
    return static_cast<u64>(x16 & 0xFFFF) | static_cast<u64>(y16 & 0xFFFF) << 16 | u64{z} << 32;
}
inline u64 Xyz(int x, int y, u32 z = 0) { return Xyz16(x * 16, y * 16, z); }
inline u64 Rgba(u32 r, u32 g, u32 b, u32 a) { return r | g << 8 | b << 16 | u64{a} << 24 | u64{0x3F800000} << 32; }
inline u64 Uv(u32 u16, u32 v16) { return u16 | u64{v16} << 16; }

// Fails, once, where got(x, y) differs from want(x, y) over [0, w) x [0, h).
template <class Got, class Want>
void ExpectEqualOver(u32 w, u32 h, Got got, Want want)
{
    for (u32 y = 0; y < h; ++y)
        for (u32 x = 0; x < w; ++x)
            if (got(x, y) != want(x, y)) {
                ADD_FAILURE() << "at " << x << ", " << y << ": " << std::hex << got(x, y) << ", not " << want(x, y);
                return;
            }
}

// A GS with a 640 x 512 PSMCT32 frame at page 0, a PSMZ32 z-buffer at page 160, no offset, the full
// scissor and no tests; drawing tests read pixels back through the frame's layout.
class GsTest : public ::testing::Test {
protected:
    static constexpr u32 kFramePage = 0, kZPage = 160, kWidth = 640, kHeight = 512;
    static constexpr u32 kTextureBlock = 320 * 32;

    GsTest()
    {
        write({{gs::FRAME_1, kFramePage | (kWidth / 64) << 16}, {gs::ZBUF_1, kZPage | u64{0x30} << 24},
               {gs::XYOFFSET_1, 0}, {gs::SCISSOR_1, (kWidth - 1) << 16 | u64{kHeight - 1} << 48}, {gs::TEST_1, 0}});
    }

    void send(const std::vector<Qword>& data) { gs.transfer(data.data(), static_cast<u32>(data.size())); }
    void write(const Writes& writes) { send(AdPacket(writes)); }
    void write(u8 reg, u64 value) { write({{reg, value}}); }

    static u32 frameWord(u32 x, u32 y) { return gs::kLayoutC32.address(kFramePage * 32, kWidth / 64, x, y); }
    static u32 depthWord(u32 x, u32 y) { return gs::kLayoutZ32.address(kZPage * 32, kWidth / 64, x, y); }
    u32 pixel(u32 x, u32 y) const { return gs.memory().read(frameWord(x, y)); }
    u32 depth(u32 x, u32 y) const { return gs.memory().read(depthWord(x, y)); }
    void setPixel(u32 x, u32 y, u32 value) { gs.memory().write(frameWord(x, y), value); }
    void setDepth(u32 x, u32 y, u32 value) { gs.memory().write(depthWord(x, y), value); }

    // Fills the frame rectangle [0, w) x [0, h) with one value.
    void fill(u32 w, u32 h, u32 value)
    {
        for (u32 y = 0; y < h; ++y)
            for (u32 x = 0; x < w; ++x) setPixel(x, y, value);
    }
    // Counts the pixels of [0, w) x [0, h) that differ from `background`.
    int countChanged(u32 w, u32 h, u32 background = 0) const
    {
        int n = 0;
        for (u32 y = 0; y < h; ++y)
            for (u32 x = 0; x < w; ++x) n += pixel(x, y) != background;
        return n;
    }
    // Fails, once, where the w x h frame rectangle at (x0, y0) differs from want(x, y).
    template <class Want>
    void expectFrame(u32 x0, u32 y0, u32 w, u32 h, Want want) const
    {
        ExpectEqualOver(w, h, [&](u32 x, u32 y) { return pixel(x0 + x, y0 + y); }, want);
    }
    // Writes a w x h PSMCT32 image at the texture area, one word per texel (width in 64-texel units).
    void putTexture(u32 w, u32 h, u32 tbw, u32 (*texel)(u32 x, u32 y))
    {
        for (u32 y = 0; y < h; ++y)
            for (u32 x = 0; x < w; ++x)
                gs.memory().write(gs::kLayoutC32.address(kTextureBlock, tbw, x, y), texel(x, y));
    }

    MessageLog log;
    gs::Gs gs{log};
};

} // namespace gs_test
