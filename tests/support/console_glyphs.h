#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "data/font.h"
#include "tests/support/recording_console.h"

namespace testing_support {

// One glyph as the text console sent it: where the transfer packet put it, and the pixels that followed.
struct SentGlyph {
    std::uint32_t dbp = 0, dbw = 0, dpsm = 0;
    std::uint32_t x = 0, y = 0;
    std::array<std::uint32_t, 64> pixels{};
    std::vector<gs::Qword> packet;
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
        g.dbw = (packet[1].lo >> 48) & 0x3f;
        g.dpsm = (packet[1].lo >> 56) & 0x3f;
        g.x = (packet[2].lo >> 32) & 0x7ff;
        g.y = (packet[2].lo >> 48) & 0x7ff;
        g.packet = packet;
        const auto& pixels = *gif[++i];
        for (std::size_t q = 0; q < 16; ++q) {
            g.pixels[4 * q + 0] = static_cast<std::uint32_t>(pixels[q].lo);
            g.pixels[4 * q + 1] = static_cast<std::uint32_t>(pixels[q].lo >> 32);
            g.pixels[4 * q + 2] = static_cast<std::uint32_t>(pixels[q].hi);
            g.pixels[4 * q + 3] = static_cast<std::uint32_t>(pixels[q].hi >> 32);
        }
        glyphs.push_back(g);
    }
    return glyphs;
}

// Tell whether a glyph's lit pixels are exactly those of the font's code.
inline bool ShowsCode(const SentGlyph& g, unsigned code)
{
    for (unsigned r = 0; r < 8; ++r)
        for (unsigned k = 0; k < 8; ++k)
            if ((g.pixels[8 * r + k] != 0) != ((Font8x8[8 * code + r] >> (7 - k) & 1) != 0)) return false;
    return true;
}

// Read the glyphs back as printable ASCII ('?' for anything else).
inline std::string GlyphText(const std::vector<SentGlyph>& glyphs)
{
    std::string text;
    for (const auto& g : glyphs) {
        char c = '?';
        for (unsigned code = 32; code < 127 && c == '?'; ++code)
            if (ShowsCode(g, code)) c = static_cast<char>(code);
        text += c;
    }
    return text;
}

} // namespace testing_support
