#pragma once

#include "cloth/mesh.h"
#include "ps2/types.h"

// Why a model gives nothing to draw.
enum ViewerProblem : s32 {
    VIEWER_SHOWN = 0,
    VIEWER_NAME_TOO_LONG,
    VIEWER_CANNOT_OPEN,
    VIEWER_CANNOT_READ,
    VIEWER_NOT_LWO2,
    VIEWER_LAYERS,
    VIEWER_NO_FACES,
    VIEWER_NO_TRIANGLES,
    VIEWER_NO_MEMORY,
};

// The longest model name: "host:" and the name fill the 256-byte path with its terminating zero.
inline constexpr u32 VIEWER_NAME_MAX = 250;
inline constexpr u32 VIEWER_WORDS_SIZE = 128;

// A loaded model, or what keeps it from being shown.
struct ViewerModel {
    Mesh* mesh;                       // from the pool; kept even when there is a problem
    s32 problem;                      // a ViewerProblem
    char words[VIEWER_WORDS_SIZE];    // the problem in words, empty when the model shows
    char note[VIEWER_WORDS_SIZE];     // what a model that shows leaves out, in words; empty when nothing
};

// Load the LWO2 object named by "host:NAME", or the embedded plate for a null name, into a mesh from the pool;
// print "NAME: V vertices, T triangles, code C" and say in words what, if anything, keeps it from being shown
// or is left out of it.
void ViewerLoadModel(const char* name, ViewerModel* out);
