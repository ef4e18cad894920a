#pragma once

#include "ps2/hwreg.h"

// The boot ROM's region letter: 'E' on PAL consoles, 'J', 'A' or others elsewhere.
inline constexpr HwRegister<u8> BOOT_ROM_REGION{0x1FC7FF52};
