#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lwogen {

using Bytes = std::vector<std::uint8_t>;

// Big-endian numbers and the LWO2 field types.
void PutU16(Bytes& out, std::uint16_t value);
void PutU32(Bytes& out, std::uint32_t value);
void PutF32(Bytes& out, float value);
// Append four letters: a chunk id, form type or polygon type.
void PutId(Bytes& out, const char* id);
// Append a zero-terminated name padded to an even length (S0).
void PutName(Bytes& out, const std::string& name);
// Append a vertex or polygon index: 2 bytes below 0xFF00, else 0xFF and 24 bits (VX).
void PutIndex(Bytes& out, std::uint32_t index);

// Open a chunk with a 32-bit length: returns where its header starts.
std::size_t BeginChunk(Bytes& out, const char* id);
// Fill in the length of the chunk opened at `start` and pad an odd body with one byte.
void EndChunk(Bytes& out, std::size_t start);
// The same for the 16-bit-length subchunks of a surface.
std::size_t BeginSubchunk(Bytes& out, const char* id);
void EndSubchunk(Bytes& out, std::size_t start);

} // namespace lwogen
