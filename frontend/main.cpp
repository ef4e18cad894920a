#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "frontend/interruption.h"
#include "frontend/options.h"
#include "frontend/program.h"
#include "frontend/run.h"
#include "frontend/window.h"

namespace frontend {
namespace {

std::string Name;

// Runs the program as the options ask: a replay, headless, in a window, or a recording when there is no display.
int Run(Options& options, const Program& program)
{
    if (!options.replay.empty()) return RunReplay(options);
    if (options.headless) {
        // Words given on the command line come later and so win over these.
        options.programArgs.insert(options.programArgs.begin(), program.headlessWords.begin(),
                                   program.headlessWords.end());
        return RunHeadless(options, program);
    }
    if (Window::Available()) return RunWindowed(options, program);
    // No display: record one pass instead.
    if (options.frames == 0) options.frames = program.onePass;
    if (options.video.empty() && options.pngDir.empty() && options.contactSheet.empty() && options.wav.empty())
        options.video = Name + ".mp4";
    std::cerr << Name << ": no display; recording " << options.frames << " fields";
    if (!options.video.empty()) std::cerr << " to " << options.video;
    std::cerr << '\n';
    return RunHeadless(options, program);
}

} // namespace

const std::string& ProgramName() { return Name; }

int Main(int argc, char** argv, const Program& program)
{
    Name = program.name;
    std::string error;
    auto options = ParseOptions(std::vector<std::string>(argv + 1, argv + argc), error, program.options);
    if (!options) {
        std::cerr << Name << ": " << error << '\n';
        return 2;
    }
    if (options->help) {
        std::cout << UsageText(program);
        return 0;
    }
    if (!program.sound && !options->wav.empty()) {
        std::cerr << Name << ": " << Name << " makes no sound: --wav has nothing to record\n";
        return 2;
    }
    if (program.prepare && !program.prepare(*options, error)) {
        std::cerr << Name << ": " << error << '\n';
        return 2;
    }
    CatchInterruptions();
    const int status = Run(*options, program);
    if (const int signal = Interruption(); signal != 0) {
        const Options& o = *options;
        const bool recording = !o.video.empty() || !o.wav.empty() || !o.pngDir.empty() || !o.contactSheet.empty() ||
                               !o.gsDump.empty() || !o.fieldHashes.empty();
        std::cerr << Name << ": " << (signal == SIGINT ? "interrupted" : "terminated")
                  << (recording ? "; what was recorded up to then is kept" : "") << '\n';
        return 128 + signal;
    }
    return status;
}

} // namespace frontend

