#pragma once

#include "ps2/types.h"

// What an LWO2 image holds, told by its chunk headers alone: enough to say why a load gave nothing to draw.
struct LwoSurvey {
    s32 lwo2;                // 1 for a FORM of type LWO2
    u32 layers;              // LAYR chunks
    u32 faceChunks;          // POLS chunks of type FACE
    u32 otherPolygonChunks;  // POLS chunks of any other type: patches, curves, bones...
    char otherType[5];       // the first of those types, as its four letters
    s32 cut;                 // 1 when the last chunk runs past the end of the image
};

// Walk the image's chunks as the LWO2 loader does, each directly behind the one before, without reading
// past `size` bytes.
void ViewerSurveyLwo(const u8* data, u32 size, LwoSurvey* out);
// Tell whether a polygon type is one of LightWave's subdivision patches (PTCH, SUBD).
bool ViewerIsPatchType(const char* type);
