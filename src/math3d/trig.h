#pragma once

#include "ps2/types.h"

inline constexpr s32 TRIG_TABLE_SIZE = 360;

// Sine and cosine of each whole degree; all zero until TrigTablesInit has run.
extern float SinTable[TRIG_TABLE_SIZE];
extern float CosTable[TRIG_TABLE_SIZE];

// Fill both tables from the library's double-precision sin and cos of the f32 angle in radians.
void TrigTablesInit();

// Bring an angle in whole degrees into 0..359 one turn at a time; callers stay within a few turns.
inline s32 TrigReduce(s32 degrees)
{
    for (;;) {
        if (degrees >= TRIG_TABLE_SIZE)
            degrees -= TRIG_TABLE_SIZE;
        else if (degrees < 0)
            degrees += TRIG_TABLE_SIZE;
        else
            return degrees;
    }
}

// Return the table sine of an angle in whole degrees.
inline float TableSin(s32 degrees) { return SinTable[TrigReduce(degrees)]; }
// Return the table cosine of an angle in whole degrees.
inline float TableCos(s32 degrees) { return CosTable[TrigReduce(degrees)]; }
