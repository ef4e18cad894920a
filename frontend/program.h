#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace frontend {

struct Options;

// A program built for the console, as the desktop program runs it.
struct Program {
    std::string name;                 // what the desktop program calls itself in messages
    std::uint64_t onePass;            // fields recorded when there is no display
    std::vector<std::string> options; // options of the program's own, each with a value, handed to its main
    int (*main)(int argc, char** argv);
    std::string optionsHelp{};        // --help's lines for those options; empty: each is "handed to the program"
    std::string helpNotes{};          // --help's closing paragraph, if any
    bool sound = true;                // false: the program makes no sound, so --wav is neither offered nor taken
    std::vector<std::string> headlessWords{}; // handed to main ahead of its own options in --headless runs
    // Settles the program's own options once the command line is read; false refuses it with `error` set.
    bool (*prepare)(Options& options, std::string& error) = nullptr;
};

// The desktop program's main: reads the command line and runs `program` in a window, headless or as a recording.
int Main(int argc, char** argv, const Program& program);

// The name the desktop program's messages start with.
const std::string& ProgramName();

} // namespace frontend
