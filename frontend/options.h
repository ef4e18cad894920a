#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "console/pad/controller.h"
#include "frontend/program.h"

namespace frontend {

// What the command line asked for.
struct Options {
    bool help = false;
    bool headless = false;
    std::uint64_t frames = 0;   // fields to run; 0 = until the window closes
    std::string pngDir;         // write field pictures here
    bool png4x3 = false;        // ... at 768 x 576, as a 4:3 screen shows them
    std::uint64_t every = 1;    // every K-th field
    std::string gsDump;         // record the GS input here
    std::uint64_t gsDumpFrom = 0; // start the record at this field, with a snapshot of the GS
    std::string replay;         // replay this GS dump instead of running the program
    std::string contactSheet;   // tile every K-th field into one picture
    std::string video;          // record the run to this video file
    std::string wav;            // record the sound to this WAV file
    std::string fieldHashes;    // write a hash of every field's picture here
    std::string hostDir;        // the directory "host:" serves; empty = the build's host folder
    pad::Kind pad = pad::Kind::DualShock; // what sits in controller port 0
    bool stats = false;         // report speed and pixels drawn at the end
    std::vector<std::uint64_t> statsSplits; // ... and the speed between these field counts
    enum class GsCheck { Off, On, Strict } gsCheck = GsCheck::Off; // check what the GS is sent
    std::vector<std::string> programArgs; // the program's own options, handed to its main
};

// Parses argv (without the program name); `programOptions` are the program's own options, each with a value.
// Returns the options, or nothing with `error` set.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error,
                                    const std::vector<std::string>& programOptions = {});

// The text of --help.
std::string UsageText(const Program& program);

} // namespace frontend
