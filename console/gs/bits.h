#pragma once

#include <cstdint>
#include <cstring>

namespace gs {

// std::bit_cast, which the WebAssembly build's standard library does not have yet.
template <typename To, typename From>
[[gnu::always_inline]] inline To BitCast(From from)
{
    static_assert(sizeof(To) == sizeof(From));
    To to;
    std::memcpy(&to, &from, sizeof to);
    return to;
}

// The `count` bits of a register value from bit `first` up.
inline std::uint32_t Bits(std::uint64_t value, unsigned first, unsigned count)
{
    return static_cast<std::uint32_t>((value >> first) & ((std::uint64_t{1} << count) - 1));
}

inline bool Bit(std::uint64_t value, unsigned bit) { return ((value >> bit) & 1) != 0; }

} // namespace gs
