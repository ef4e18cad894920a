#pragma once

#include <string>

#include "tools/modgen/mod_writer.h"

namespace modgen {

// Composes a short song of the kind `tag` names (see Module::tag) for testing players: every channel plays,
// the longest sample comes last in the file, and the patterns after the first differ. Throws
// std::invalid_argument for a tag the writer does not know.
Module ComposeTestSong(const std::string& tag);

} // namespace modgen
