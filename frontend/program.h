#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace frontend {

// A program built for the console, as the desktop program runs it.
struct Program {
    std::string name;                 // what the desktop program calls itself in messages
    std::uint64_t onePass;            // fields recorded when there is no display
    std::vector<std::string> options; // options of the program's own, each with a value, handed to its main
    int (*main)(int argc, char** argv);
};

// The desktop program's main: reads the command line and runs `program` in a window, headless or as a recording.
int Main(int argc, char** argv, const Program& program);

// The name the desktop program's messages start with.
const std::string& ProgramName();

} // namespace frontend
