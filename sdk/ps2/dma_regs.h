#pragma once

#include "ps2/hwreg.h"

// DMA channel 2 (EE to GIF).
inline constexpr HwRegister<u32> D2_CHCR{0x1000A000};
inline constexpr HwRegister<DmaAddress> D2_MADR{0x1000A010};
inline constexpr HwRegister<u32> D2_QWC{0x1000A020};
inline constexpr HwRegister<u32> D2_TADR{0x1000A030};
inline constexpr HwRegister<u32> D2_ASR0{0x1000A040};
inline constexpr HwRegister<u32> D2_ASR1{0x1000A050};
inline constexpr HwRegister<u32> D2_SADR{0x1000A080};

// DMA controller.
inline constexpr HwRegister<u32> D_CTRL{0x1000E000};
inline constexpr HwRegister<u32> D_STAT{0x1000E010};
inline constexpr HwRegister<u32> D_PCR{0x1000E020};
inline constexpr HwRegister<u32> D_SQWC{0x1000E030};
inline constexpr HwRegister<u32> D_RBSR{0x1000E040};
inline constexpr HwRegister<u32> D_RBOR{0x1000E050};

inline constexpr u32 D_CHCR_DIR = 1u << 0;
inline constexpr u32 D_CHCR_STR = 1u << 8;
inline constexpr u32 D_CTRL_DMAE = 1u << 0;
