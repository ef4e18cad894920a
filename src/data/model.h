#pragma once

#include "model/loader.h"
#include "ps2/types.h"

// The LightWave object's file size; one zero byte follows it in the program's data.
inline constexpr s32 PLATE_OBJECT_SIZE = 9312;

// The embedded LWO2 object: a flat plate thin along y, made of three closed tiles.
extern const u8 PlateObject[PLATE_OBJECT_SIZE + 1];
// The plate as a model to load: type LWO2, the object and its zero byte.
extern const MeshSource PlateModel;
