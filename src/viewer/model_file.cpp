#include "viewer/model_file.h"

#include <cstdio>
#include <cstring>

#include "core/file.h"
#include "core/pool.h"
#include "data/model.h"
#include "model/loader.h"
#include "viewer/framing.h"
#include "viewer/lwo_survey.h"

static const char EmbeddedName[] = "plate.lwo";

static void Say(ViewerModel* out, s32 problem, const char* words)
{
    out->problem = problem;
    std::snprintf(out->words, sizeof out->words, "%s", words);
}

// Say in words why the file service could not open a file, by its negative errno-style code.
static const char* OpenError(int code)
{
    switch (code) {
    case -2: return "no such file";
    case -6: return "not a regular file";
    case -13: return "permission denied";
    case -21: return "a folder, not a file";
    default: return "the file service refused it";
    }
}

// Read a host file whole into a pool block; the block, or null with the problem said.
static u8* ReadHostFile(const char* name, s32* size, ViewerModel* out)
{
    char path[VIEWER_NAME_MAX + 6];
    std::snprintf(path, sizeof path, "host:%s", name);
    *size = 0;
    const int fd = OrbFileOpen(path, ORB_FILE_READ);
    if (fd < 0) {
        std::snprintf(out->words, sizeof out->words, "cannot open the file (%s)", OpenError(fd));
        out->problem = VIEWER_CANNOT_OPEN;
        return nullptr;
    }
    const int length = OrbFileSize(fd);
    // The pool carves blocks back to back: a whole number of quadwords keeps the blocks after it aligned.
    u8* data = length > 0 ? static_cast<u8*>(OrbAlloc((static_cast<u32>(length) + 15) & ~15u)) : nullptr;
    if (data && OrbFileRead(fd, data, length) == length) *size = length;
    OrbFileClose(fd);
    if (length < 0) {
        std::snprintf(out->words, sizeof out->words, "cannot read the file (error %d)", length);
        out->problem = VIEWER_CANNOT_READ;
    } else if (length > 0 && !data) {
        std::snprintf(out->words, sizeof out->words, "too large: %d bytes do not fit in memory", length);
        out->problem = VIEWER_NO_MEMORY;
    } else if (length > 0 && *size == 0) {
        std::snprintf(out->words, sizeof out->words, "cannot read its %d bytes", length);
        out->problem = VIEWER_CANNOT_READ;
    }
    if (out->problem != VIEWER_SHOWN && data) {
        OrbFree(data);
        data = nullptr;
    }
    return data;
}

// Copy a chunk's four letters for a message, anything unprintable as '?'.
static void Printable(const char* type, char (&out)[5])
{
    for (int k = 0; k < 4; ++k) out[k] = type[k] >= 0x20 && type[k] < 0x7F ? type[k] : '?';
    out[4] = 0;
}

// Say why a parsed model has nothing to draw, or what one that draws leaves out.
static void Judge(int code, const LwoSurvey& survey, ViewerModel* out)
{
    ViewerFraming framing;
    ViewerFrame(out->mesh, &framing);
    if (framing.triangles > 0 && framing.strayTriangles > 0)
        std::snprintf(out->note, sizeof out->note, "left out, naming points the object does not have: %u triangles",
                      framing.strayTriangles);
    else if (survey.cut)
        std::snprintf(out->note, sizeof out->note, "the file ends inside a chunk: shown as far as it goes");
    if (code == MESH_NOT_LWO2 || !survey.lwo2) {
        Say(out, VIEWER_NOT_LWO2, "not an LWO2 object");
    } else if (code == MESH_MORE_THAN_ONE_LAYER) {
        Say(out, VIEWER_LAYERS, "more than one layer: only single-layer objects load");
    } else if (survey.faceChunks == 0 && survey.otherPolygonChunks > 0 && ViewerIsPatchType(survey.otherType)) {
        Say(out, VIEWER_NO_FACES, "no FACE polygons (subdivision patches are not loaded)");
    } else if (survey.faceChunks == 0 && survey.otherPolygonChunks > 0) {
        char type[5];
        Printable(survey.otherType, type);
        std::snprintf(out->words, sizeof out->words, "no FACE polygons (%s polygons are not loaded)", type);
        out->problem = VIEWER_NO_FACES;
    } else if (survey.faceChunks == 0) {
        Say(out, VIEWER_NO_FACES, "no FACE polygons");
    } else if (!out->mesh->triangles) {
        Say(out, VIEWER_NO_MEMORY, "not enough memory for the triangles");
    } else if (framing.triangles == 0 && framing.strayTriangles > 0) {
        std::snprintf(out->words, sizeof out->words, "0 triangles: all %u name points the object does not have",
                      framing.strayTriangles);
        out->problem = VIEWER_NO_TRIANGLES;
    } else if (framing.triangles == 0) {
        Say(out, VIEWER_NO_TRIANGLES, "0 triangles");
    }
}

void ViewerLoadModel(const char* name, ViewerModel* out)
{
    *out = {};
    const char* shown = name ? name : EmbeddedName;
    // A name cut to fit would open another file than the one asked for.
    if (name && std::strlen(name) > VIEWER_NAME_MAX) {
        std::snprintf(out->words, sizeof out->words, "name too long: %u characters, at most %u",
                      static_cast<u32>(std::strlen(name)), VIEWER_NAME_MAX);
        out->problem = VIEWER_NAME_TOO_LONG;
        return;
    }
    out->mesh = static_cast<Mesh*>(OrbAlloc(sizeof(Mesh)));
    if (!out->mesh) {
        Say(out, VIEWER_NO_MEMORY, "not enough memory");
        return;
    }
    std::memset(out->mesh, 0, sizeof *out->mesh);
    MeshSource source = PlateModel;
    if (name) {
        s32 size = 0;
        source = {MESH_TYPE_LWO2, ReadHostFile(name, &size, out), size};
    }
    int code = MESH_NOTHING_GIVEN;
    if (out->problem == VIEWER_SHOWN) {
        code = OrbMeshOpen(&source);
        if (code == MESH_LOADED) code = OrbMeshLoad(out->mesh);
        LwoSurvey survey;
        ViewerSurveyLwo(source.data, static_cast<u32>(source.size), &survey);
        Judge(code, survey, out);
    }
    std::printf("%s: %u vertices, %u triangles, code %d\n", shown, out->mesh->vertexCount, out->mesh->triangleCount,
                code);
    // The file image is parsed; the mesh keeps nothing of it.
    if (name && source.data) OrbFree(const_cast<u8*>(source.data));
}
