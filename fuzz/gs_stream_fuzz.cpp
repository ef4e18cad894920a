// Feeds arbitrary GIF transfers to the GS twice: drawn by one thread through the scalar pixel loops, the
// reference, and by two threads through the widest loops the CPU runs. Stops as a crash when the two leave
// different memory or pixel counts (build and run: fuzz/run.sh SECONDS gs_stream_fuzz).
//
// Input: a byte for the split row (255: the moving one), then records. A record's first byte holds a count n
// (low five bits), whether a vertical blank follows (bit 5) and its kind (bits 6, 7): n A+D writes of nine
// bytes each (register, then value), n qwords of IMAGE data, or n raw qwords. Records save the fuzzer from
// having to find the tag layout before it reaches the rasterizer; raw qwords still reach every tag.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "console/gs/gs.h"
#include "console/gs/regs.h"
#include "console/gs/simd.h"

namespace {

using gs::Qword;
using gs::u64;

void Require(bool holds)
{
    if (!holds) std::abort();
}

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), left_(size) {}

    bool empty() const { return left_ == 0; }
    std::uint8_t byte() { return take<std::uint8_t>(); }
    u64 word() { return take<u64>(); }

private:
    template <typename T>
    T take()
    {
        T value{};
        const std::size_t n = left_ < sizeof value ? left_ : sizeof value;
        std::memcpy(&value, data_, n);
        data_ += n;
        left_ -= n;
        return value;
    }

    const std::uint8_t* data_;
    std::size_t left_;
};

// One transfer, and whether a blank follows it.
struct Transfer {
    std::vector<Qword> data;
    bool blank = false;
};

Qword AdTag(u64 count) { return {count | u64{1} << 15 | u64{1} << 60, 0xE}; }

std::vector<Transfer> Parse(Reader& in)
{
    // A 640 x 512 frame with depth and no failing tests, so that most primitives draw.
    const std::pair<gs::Reg, u64> start[] = {
        {gs::FRAME_1, u64{10} << 16},  {gs::ZBUF_1, 150 | u64{0x30} << 24}, {gs::XYOFFSET_1, 0},
        {gs::SCISSOR_1, u64{639} << 16 | u64{511} << 48}, {gs::TEST_1, 0x30000}, {gs::ALPHA_1, 0x44}};
    std::vector<Transfer> out(1);
    out[0].data.push_back(AdTag(std::size(start)));
    for (const auto& [reg, value] : start) out[0].data.push_back({value, reg});
    while (!in.empty()) {
        const std::uint8_t head = in.byte();
        const u64 n = head & 31;
        Transfer t;
        t.blank = (head & 32) != 0;
        switch (head >> 6) {
        case 0:
            t.data.push_back(AdTag(n));
            for (u64 i = 0; i < n; ++i) {
                const std::uint8_t reg = in.byte();
                t.data.push_back({in.word(), reg});
            }
            break;
        case 1:
            t.data.push_back({n | u64{1} << 15 | u64{2} << 58, 0});
            [[fallthrough]];
        default:
            for (u64 i = 0; i < n; ++i) {
                const u64 lo = in.word();
                t.data.push_back({lo, in.word()});
            }
        }
        out.push_back(std::move(t));
    }
    return out;
}

void Draw(gs::Gs& g, const std::vector<Transfer>& stream)
{
    for (const Transfer& t : stream) {
        g.transfer(t.data.data(), static_cast<gs::u32>(t.data.size()));
        if (t.blank) g.vblank();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Reader in(data, size);
    const std::uint8_t first = in.byte();
    const int split = first == 255 ? -1 : first * 3;
    const std::vector<Transfer> stream = Parse(in);
    console::SilentLog log;
    gs::Gs alone(log), shared(log);
    shared.shareRows(split);
    gs::ForceSimdPath(gs::SimdPath::Scalar);
    Draw(alone, stream);
    gs::ForceSimdPath(gs::SimdPath::Avx2); // no change where the CPU lacks it
    Draw(shared, stream);
    const gs::Gs::BandMeetings met = shared.bandMeetings();
    Require(met.console == met.thread);
    Require(alone.pixelsDrawn() == shared.pixelsDrawn());
    Require(std::memcmp(alone.memory().data(), shared.memory().data(), gs::kMemoryWords * sizeof(gs::u32)) == 0);
    return 0;
}
