#pragma once

#include "ps2/types.h"

// The pad library: the EE's side of XPADMAN, which reads the controllers through XSIO2MAN on the IOP.

// States of a port as padGetState reports them.
inline constexpr s32 PAD_STATE_DISCONN = 0;  // nothing in the port
inline constexpr s32 PAD_STATE_FINDPAD = 1;  // a controller was seen, being identified
inline constexpr s32 PAD_STATE_FINDCTP1 = 2; // reading what the controller can do
inline constexpr s32 PAD_STATE_EXECCMD = 5;  // a configuration command is running
inline constexpr s32 PAD_STATE_STABLE = 6;   // ready for reading and for commands
inline constexpr s32 PAD_STATE_ERROR = 7;    // the controller stopped answering

// What padInfoMode reports.
inline constexpr s32 PAD_MODECURID = 1;   // the current mode id
inline constexpr s32 PAD_MODECUREXID = 2; // the extended mode id, 0 for a controller without extended modes
inline constexpr s32 PAD_MODETABLE = 4;   // entry `index` of the mode table, or its length for index -1

// Modes and locks of padSetMainMode.
inline constexpr s32 PAD_MMODE_DIGITAL = 0;
inline constexpr s32 PAD_MMODE_DUALSHOCK = 1;
inline constexpr s32 PAD_MMODE_UNLOCK = 2; // the controller's mode button may change the mode
inline constexpr s32 PAD_MMODE_LOCK = 3;   // only the program changes the mode

// Button bits of padButtonStatus::btns; a bit is 0 while its button is held.
inline constexpr u16 PAD_SELECT = 0x0001;
inline constexpr u16 PAD_L3 = 0x0002;
inline constexpr u16 PAD_R3 = 0x0004;
inline constexpr u16 PAD_START = 0x0008;
inline constexpr u16 PAD_UP = 0x0010;
inline constexpr u16 PAD_RIGHT = 0x0020;
inline constexpr u16 PAD_DOWN = 0x0040;
inline constexpr u16 PAD_LEFT = 0x0080;
inline constexpr u16 PAD_L2 = 0x0100;
inline constexpr u16 PAD_R2 = 0x0200;
inline constexpr u16 PAD_L1 = 0x0400;
inline constexpr u16 PAD_R1 = 0x0800;
inline constexpr u16 PAD_TRIANGLE = 0x1000;
inline constexpr u16 PAD_CIRCLE = 0x2000;
inline constexpr u16 PAD_CROSS = 0x4000;
inline constexpr u16 PAD_SQUARE = 0x8000;

// One reading of a controller as padRead gives it. Sticks run 0..255 with 128 at rest; a pressure byte runs
// from 0 (released) to 255 (pressed hard). Bytes the controller's mode does not carry read 0.
struct padButtonStatus {
    u8 ok;   // 0 when the reading is valid
    u8 mode; // the mode id: high nibble the type, low nibble the data length in half-words
    u16 btns;
    u8 rjoy_h, rjoy_v, ljoy_h, ljoy_v;
    u8 right_p, left_p, up_p, down_p;
    u8 triangle_p, circle_p, cross_p, square_p;
    u8 l1_p, r1_p, l2_p, r2_p;
    u8 unused[12];
};
static_assert(sizeof(padButtonStatus) == 32);

// Binds the library to XPADMAN: 1, or negative (-3 without SIF RPC, -1 without XPADMAN).
s32 padInit(s32 mode);
// Starts watching a port; `padArea` is the port's 256-byte buffer, aligned to 64 bytes. 1, or 0 on failure.
s32 padPortOpen(s32 port, s32 slot, void* padArea);
// One of the PAD_STATE_ values.
s32 padGetState(s32 port, s32 slot);
// What `infoMode` (a PAD_MODE... selector) asks for; 0 while no controller has been identified.
s32 padInfoMode(s32 port, s32 slot, s32 infoMode, s32 index);
// Starts switching the controller's mode: 1 when the command was taken, 0 when the pad is not stable.
s32 padSetMainMode(s32 port, s32 slot, s32 mode, s32 lock);
// 1 when the controller can report how hard its buttons are pressed.
s32 padInfoPressMode(s32 port, s32 slot);
// Starts switching on the pressure readings: 1 when the command was taken.
s32 padEnterPressMode(s32 port, s32 slot);
// The number of actuators for actuator -1; 0 for anything else.
s32 padInfoAct(s32 port, s32 slot, s32 actuator, s32 cmd);
// Starts assigning the actuators to the six bytes of the motor data (0xFF: unused): 1 when taken.
s32 padSetActAlign(s32 port, s32 slot, const u8* align);
// Fills `data` with the latest reading: 1, or 0 with an invalid record when there is none.
u32 padRead(s32 port, s32 slot, padButtonStatus* data);
