#pragma once

#include "ps2/types.h"

// Uncached access to a memory-mapped hardware location of `width` bytes (1, 4 or 8).
u64 HwRead(u32 address, unsigned width);
void HwWrite(u32 address, u64 value, unsigned width);

// A memory-mapped hardware register: assigning writes it, converting reads it.
template <typename T>
class HwRegister {
public:
    explicit constexpr HwRegister(u32 address) : address_(address) {}

    const HwRegister& operator=(T value) const
    {
        HwWrite(address_, static_cast<u64>(value), sizeof(T));
        return *this;
    }
    operator T() const { return static_cast<T>(HwRead(address_, sizeof(T))); }

    constexpr u32 address() const { return address_; }

private:
    u32 address_;
};
