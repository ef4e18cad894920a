#pragma once

#include "ps2/types.h"

inline constexpr u32 PAD_AREA_SIZE = 256;
inline constexpr u32 PAD_ACTUATOR_SLOTS = 6;

// 1 once the controller in port 0 has been set up.
extern s32 PadReady;
// The pad library's buffer for port 0, slot 0.
alignas(64) extern u8 PadArea[PAD_AREA_SIZE];
// Which actuator drives each byte of the motor data (0xFF: none).
extern u8 PadActAlign[PAD_ACTUATOR_SLOTS];
// The number of actuators the controller reported.
extern s32 PadActuators;

// Load the controller modules and set up the controller in port 0: 0, or the pad library's failure code.
int PadSetup();
// Wait for the controller, then lock a DualShock in its DualShock mode with pressure and actuators: 0 when
// the controller is disconnected, 1 otherwise.
int PadConfigure(int port, int slot);
