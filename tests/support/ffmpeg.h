#pragma once

#include <cstdlib>

namespace testing_support {

// Whether ffmpeg (and its ffprobe, which the recording tests read the files with) is installed.
inline bool HaveFfmpeg() { return std::system("command -v ffprobe >/dev/null 2>&1") == 0; }

} // namespace testing_support
