#include "math3d/trig.h"

#include <cmath>
#include <numbers>

float SinTable[TRIG_TABLE_SIZE];
float CosTable[TRIG_TABLE_SIZE];

void TrigTablesInit()
{
    for (s32 i = 0; i < TRIG_TABLE_SIZE; ++i) {
        // Each step rounds to f32, so the angle is the f32 one, not the exact i degrees.
        float radians = static_cast<float>(i) * std::numbers::pi_v<float>;
        radians = radians / 180.0f;
        SinTable[i] = static_cast<float>(std::sin(static_cast<double>(radians)));
        CosTable[i] = static_cast<float>(std::cos(static_cast<double>(radians)));
    }
}
