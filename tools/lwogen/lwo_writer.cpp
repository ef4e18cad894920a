#include "tools/lwogen/lwo_writer.h"

#include <bit>
#include <cstring>
#include <stdexcept>

namespace lwogen {

namespace {

void PatchU16(Bytes& out, std::size_t at, std::size_t value)
{
    if (value > 0xFFFF) throw std::length_error("subchunk longer than 65535 bytes");
    out[at] = static_cast<std::uint8_t>(value >> 8);
    out[at + 1] = static_cast<std::uint8_t>(value);
}

void PatchU32(Bytes& out, std::size_t at, std::size_t value)
{
    for (int k = 0; k < 4; ++k) out[at + k] = static_cast<std::uint8_t>(value >> (24 - 8 * k));
}

} // namespace

void PutU16(Bytes& out, std::uint16_t value)
{
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
}

void PutU32(Bytes& out, std::uint32_t value)
{
    PutU16(out, static_cast<std::uint16_t>(value >> 16));
    PutU16(out, static_cast<std::uint16_t>(value));
}

void PutF32(Bytes& out, float value)
{
    PutU32(out, std::bit_cast<std::uint32_t>(value));
}

void PutId(Bytes& out, const char* id)
{
    if (std::strlen(id) != 4) throw std::invalid_argument("an id is four letters");
    out.insert(out.end(), id, id + 4);
}

void PutName(Bytes& out, const std::string& name)
{
    out.insert(out.end(), name.begin(), name.end());
    out.push_back(0);
    if (name.size() % 2 == 0) out.push_back(0);
}

void PutIndex(Bytes& out, std::uint32_t index)
{
    if (index < 0xFF00) {
        PutU16(out, static_cast<std::uint16_t>(index));
    } else {
        PutU32(out, 0xFF000000u | (index & 0xFFFFFF));
    }
}

std::size_t BeginChunk(Bytes& out, const char* id)
{
    const std::size_t start = out.size();
    PutId(out, id);
    PutU32(out, 0);
    return start;
}

void EndChunk(Bytes& out, std::size_t start)
{
    const std::size_t length = out.size() - start - 8;
    PatchU32(out, start + 4, length);
    if (length % 2) out.push_back(0);
}

std::size_t BeginSubchunk(Bytes& out, const char* id)
{
    const std::size_t start = out.size();
    PutId(out, id);
    PutU16(out, 0);
    return start;
}

void EndSubchunk(Bytes& out, std::size_t start)
{
    const std::size_t length = out.size() - start - 6;
    PatchU16(out, start + 4, length);
    if (length % 2) out.push_back(0);
}

} // namespace lwogen
