#pragma once

#include "ps2/hwreg.h"

// GS privileged registers (64-bit, at 0x12000000).
inline constexpr HwRegister<u64> GS_PMODE{0x12000000};
inline constexpr HwRegister<u64> GS_SMODE2{0x12000020};
inline constexpr HwRegister<u64> GS_DISPFB1{0x12000070};
inline constexpr HwRegister<u64> GS_DISPLAY1{0x12000080};
inline constexpr HwRegister<u64> GS_DISPFB2{0x12000090};
inline constexpr HwRegister<u64> GS_DISPLAY2{0x120000A0};
inline constexpr HwRegister<u64> GS_BGCOLOR{0x120000E0};
inline constexpr HwRegister<u64> GS_CSR{0x12001000};
inline constexpr HwRegister<u64> GS_IMR{0x12001010};

inline constexpr u64 GS_CSR_VSINT = 1u << 3;
inline constexpr u64 GS_CSR_RESET = 1u << 9;
