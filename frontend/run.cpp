#include "frontend/run.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <thread>

#include "console/clock.h"
#include "console/dump/gs_dump.h"
#include "console/machine.h"
#include "frontend/field_output.h"
#include "frontend/program.h"
#include "frontend/window.h"

namespace frontend {
namespace {

// The console's start-up code: the program's data was zeroed by the loader; main runs until the
// machine stops it.
void StartProgram(console::Machine& machine)
{
    char name[] = "orbdemo";
    char* argv[] = {name, nullptr};
    try {
        EeMain(1, argv);
        // main never returns; if it did, the display would keep showing its last picture.
        machine.sleepThread();
    } catch (const console::Halt&) {
    }
}

// Runs the program on `clock` with its fields going to `output`, recording the GS input if asked.
bool RunProgram(const Options& options, console::VblankClock& clock, FieldOutput& output)
{
    std::ofstream dumpFile;
    std::unique_ptr<console::GsDumpWriter> dump;
    if (!options.gsDump.empty()) {
        dumpFile.open(options.gsDump, std::ios::binary | std::ios::trunc);
        if (!dumpFile) {
            std::cerr << "orbdemo: cannot write " << options.gsDump << '\n';
            return false;
        }
        dump = std::make_unique<console::GsDumpWriter>(dumpFile);
    }
    {
        console::Machine machine(output, clock);
        machine.setFieldLimit(options.frames);
        machine.gs().setObserver(dump.get());
        StartProgram(machine);
    }
    std::fflush(stdout);
    if (dump) {
        dumpFile.flush();
        if (!dumpFile) {
            std::cerr << "orbdemo: cannot write " << options.gsDump << '\n';
            return false;
        }
    }
    return true;
}

bool Start(FieldOutput& output)
{
    std::string error;
    if (output.start(error)) return true;
    std::cerr << "orbdemo: " << error << '\n';
    return false;
}

} // namespace

int RunHeadless(const Options& options)
{
    FieldOutput output(options, options.frames);
    if (!Start(output)) return 1;
    console::VirtualClock clock;
    const bool ran = RunProgram(options, clock, output);
    const bool written = output.finish();
    return ran && written ? 0 : 1;
}

int RunWindowed(const Options& options)
{
    Window window;
    std::string error;
    if (!window.open(error)) {
        std::cerr << "orbdemo: " << error << '\n';
        return 1;
    }
    FieldOutput output(options, options.frames);
    if (!Start(output)) return 1;
    output.showIn(&window);
    bool ran = false;
    // The console runs on a thread of its own; this thread keeps the window alive.
    std::thread console([&] {
        console::WallClock clock;
        ran = RunProgram(options, clock, output);
        window.close();
    });
    window.run();
    console.join();
    const bool written = output.finish();
    return ran && written ? 0 : 1;
}

int RunReplay(const Options& options)
{
    std::ifstream in(options.replay, std::ios::binary);
    if (!in) {
        std::cerr << "orbdemo: cannot read " << options.replay << '\n';
        return 1;
    }
    FieldOutput output(options, options.frames);
    if (!Start(output)) return 1;
    std::string error;
    const bool replayed = console::ReplayGsDump(in, output, error, options.frames);
    const bool written = output.finish();
    if (!replayed) {
        std::cerr << "orbdemo: " << options.replay << ": " << error << '\n';
        return 1;
    }
    return written ? 0 : 1;
}

} // namespace frontend
