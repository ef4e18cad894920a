#include "song_block.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace amigamod {

namespace {

// A module's header: 31 sample headers, the order table and the tag that names the kind of module. An old
// Soundtracker module has no tag and only 15 sample headers, which its order table follows.
constexpr u32 kHeaderSize = 1084;
constexpr u32 kOldHeaderSize = 600;
constexpr u32 kTagOffset = 1080;
constexpr u32 kSampleCount = 31;
constexpr u32 kOldSampleCount = 15;
constexpr u32 kSampleHeaders = 20;
constexpr u32 kSampleHeaderSize = 30;
constexpr u32 kSampleLengthField = 22;
constexpr u32 kOrderCount = 128;
constexpr u32 kRows = 64;
constexpr u32 kCellSize = 4;
constexpr u32 kMaxChannels = 32;

// How a kind of module lays out what follows its header.
struct Layout {
    u32 header;
    u32 samples;
    u32 channels;
    bool halves; // the order table counts four-channel halves, two to a pattern
};

// Returns the channels a tag names, or 0 for a tag of no kind it knows.
u32 TagChannels(const u8* tag)
{
    const auto is = [&](const char* text) { return std::memcmp(tag, text, 4) == 0; };
    const auto digit = [&](u32 i) { return tag[i] >= '0' && tag[i] <= '9' ? u32{tag[i]} - '0' : 99u; };
    if (is("M.K.") || is("M!K!") || is("FLT4"))
        return 4;
    if (is("FLT8") || is("OKTA") || is("CD81"))
        return 8;
    if (std::memcmp(tag + 1, "CHN", 3) == 0 && digit(0) >= 1 && digit(0) <= 9)
        return digit(0);
    const u32 count = 10 * digit(0) + digit(1);
    if ((std::memcmp(tag + 2, "CH", 2) == 0 || std::memcmp(tag + 2, "CN", 2) == 0) && count >= 10 &&
        count <= kMaxChannels)
        return count;
    return 0;
}

// Returns the layout the header's tag names; without a known tag the module is an old 15-sample one.
Layout LayoutOf(const u8* header)
{
    const u8* tag = header + kTagOffset;
    const u32 channels = TagChannels(tag);
    if (channels == 0)
        return {kOldHeaderSize, kOldSampleCount, 4, false};
    return {kHeaderSize, kSampleCount, channels, std::memcmp(tag, "FLT8", 4) == 0};
}

// Returns how many of the `wanted` bytes at `address` lie in IOP memory.
u32 ReadableSize(const IopServices& iop, u32 address, u32 wanted)
{
    // The memory service answers for whole ranges only; every prefix of a readable range is readable.
    u32 low = 0;
    u32 high = wanted;
    while (low < high) {
        const u32 middle = low + (high - low + 1) / 2;
        if (iop.memory(address, middle))
            low = middle;
        else
            high = middle - 1;
    }
    return low;
}

// Returns the size the header claims: header, patterns, then the samples' bytes.
u32 ClaimedSize(const u8* header)
{
    const Layout layout = LayoutOf(header);
    // The pattern count is not stored: the patterns up to the highest one the order table names are.
    const u8* orders = header + kSampleHeaders + layout.samples * kSampleHeaderSize + 2;
    const u32 highest = *std::max_element(orders, orders + kOrderCount);
    const u32 patterns = layout.halves ? highest / 2 + 1 : highest + 1;
    u32 samples = 0;
    for (u32 n = 0; n < layout.samples; ++n) {
        const u8* length = header + kSampleHeaders + n * kSampleHeaderSize + kSampleLengthField;
        samples += 2u * ((u32{length[0]} << 8) | length[1]);
    }
    return layout.header + patterns * kRows * layout.channels * kCellSize + samples;
}

} // namespace

SongBytes SongBlock(const IopServices& iop, u32 address)
{
    // A block from the heap says how much was put there; beyond it lies whatever else the IOP holds.
    const u32 block = iop.blockSize(address);
    const u32 limit = block != 0 ? block : kHeaderSize;
    u32 named = kHeaderSize;
    u32 size = ReadableSize(iop, address, std::min(kHeaderSize, limit));
    if (size == kHeaderSize) {
        named = ClaimedSize(static_cast<const u8*>(iop.memory(address, kHeaderSize)));
        size = ReadableSize(iop, address, block != 0 ? std::min(named, block) : named);
    }
    if (size == 0)
        return {{}, named};
    return {{static_cast<const u8*>(iop.memory(address, size)), size}, named};
}

void SayIfCutShort(const IopServices& iop, u32 address, const SongBytes& block)
{
    if (block.bytes.size() >= block.named)
        return;
    char line[128];
    std::snprintf(line, sizeof line, "AMIGAMOD: the song at 0x%x is cut short: %zu of the %u bytes it names", address,
                  block.bytes.size(), block.named);
    iop.print(line);
}

void SayNotAModule(const IopServices& iop, u32 address)
{
    char line[96];
    std::snprintf(line, sizeof line, "AMIGAMOD: the song at 0x%x is not a module it can play", address);
    iop.print(line);
}

} // namespace amigamod
