#pragma once

#include <string>

#include "frontend/options.h"

namespace frontend {

// --help's lines for orbview's own options, and its closing paragraph on the controls.
extern const char kViewerOptionsHelp[];
extern const char kViewerControlsHelp[];

// Settles orbview's --model and --linger: a model given as a file path has its folder served as "host:" and
// its bare name handed on; false, with `error` set, for a value that names no file or no count of fields.
bool PrepareViewerOptions(Options& options, std::string& error);

} // namespace frontend
