#include "viewer/lwo_survey.h"

#include <cstring>

static constexpr u32 FORM_HEADER_SIZE = 12;
static constexpr u32 CHUNK_HEADER_SIZE = 8;

static u32 ReadU32(const u8* p) { return u32{p[0]} << 24 | u32{p[1]} << 16 | u32{p[2]} << 8 | p[3]; }

static bool Is(const u8* p, const char* id) { return std::memcmp(p, id, 4) == 0; }

void ViewerSurveyLwo(const u8* data, u32 size, LwoSurvey* out)
{
    *out = {};
    if (!data || size < FORM_HEADER_SIZE || !Is(data + 8, "LWO2")) return;
    out->lwo2 = 1;
    u32 at = FORM_HEADER_SIZE;
    while (size - at >= CHUNK_HEADER_SIZE) {
        const u8* header = data + at;
        const u32 body = at + CHUNK_HEADER_SIZE;
        u32 length = ReadU32(header + 4);
        if (length > size - body) {
            out->cut = 1;
            length = size - body;
        }
        if (Is(header, "LAYR")) ++out->layers;
        if (Is(header, "POLS") && length >= 4) {
            if (Is(data + body, "FACE")) {
                ++out->faceChunks;
            } else if (out->otherPolygonChunks++ == 0) {
                std::memcpy(out->otherType, data + body, 4);
            }
        }
        at = body + length;
    }
}

bool ViewerIsPatchType(const char* type) { return std::strcmp(type, "PTCH") == 0 || std::strcmp(type, "SUBD") == 0; }
