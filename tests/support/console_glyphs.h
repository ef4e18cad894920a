#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/font.h"
#include "tests/support/recording_console.h"

namespace testing_support {

// One glyph as the text console sent it: where the transfer packet put it, and which pixels were lit.
struct SentGlyph {
    std::uint32_t dbp = 0, x = 0, y = 0;
    std::uint64_t lit = 0; // bit 8 x row + column
};

// Pairs each six-quadword transfer packet with the 16 quadwords of pixels sent after it; other transfers
// are skipped. Pixel transfers are not GIF tags, so they are read raw.
inline std::vector<SentGlyph> SentGlyphs(const RecordingConsole& console)
{
    std::vector<const std::vector<gs::Qword>*> gif;
    const auto events = console.events();
    for (const auto& e : events)
        if (e.kind == console::GsEvent::Kind::Gif) gif.push_back(&e.data);
    std::vector<SentGlyph> glyphs;
    for (std::size_t i = 0; i + 1 < gif.size(); ++i) {
        const auto& packet = *gif[i];
        if (packet.size() != 6 || packet[1].hi != 0x50 || gif[i + 1]->size() != 16) continue;
        SentGlyph g;
        g.dbp = (packet[1].lo >> 32) & 0x3fff;
        g.x = (packet[2].lo >> 32) & 0x7ff;
        g.y = (packet[2].lo >> 48) & 0x7ff;
        const auto& pixels = *gif[++i];
        for (unsigned p = 0; p < 64; ++p) {
            const std::uint64_t pair = p % 4 < 2 ? pixels[p / 4].lo : pixels[p / 4].hi;
            if (static_cast<std::uint32_t>(pair >> (32 * (p % 2))) != 0) g.lit |= 1ull << p;
        }
        glyphs.push_back(g);
    }
    return glyphs;
}

// Read the glyphs back as printable ASCII ('?' for anything else).
inline std::string GlyphText(const std::vector<SentGlyph>& glyphs)
{
    std::string text;
    for (const auto& g : glyphs) {
        char c = '?';
        for (unsigned code = 32; code < 127 && c == '?'; ++code) {
            std::uint64_t lit = 0;
            for (unsigned p = 0; p < 64; ++p) lit |= std::uint64_t{Font8x8[8 * code + p / 8] >> (7 - p % 8) & 1u} << p;
            if (lit == g.lit) c = static_cast<char>(code);
        }
        text += c;
    }
    return text;
}

} // namespace testing_support
