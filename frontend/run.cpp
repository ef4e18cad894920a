#include "frontend/run.h"

#include <chrono>
#include <cstdio>
#include <iostream>
#include <memory>
#include <thread>

#include "console/clock.h"
#include "console/dump/dump_file.h"
#include "console/dump/gs_dump.h"
#include "console/dump/gs_snapshot.h"
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

// Passes fields on to the output and starts the GS record at the field the options name.
class RecordingHost final : public console::Host {
public:
    RecordingHost(FieldOutput& output, gs::Observer* dump, std::uint64_t from)
        : output_(output), dump_(dump), from_(from)
    {
    }

    void attach(gs::Gs& gs)
    {
        gs_ = &gs;
        if (dump_ && from_ == 0) gs.setObserver(dump_);
    }

    void field(const console::Field& field) override
    {
        output_.field(field);
        if (dump_ && from_ != 0 && field.index() + 1 == from_) {
            console::WriteSnapshot(*gs_, *dump_);
            gs_->setObserver(dump_);
        }
    }

    void message(std::string_view text) override { output_.message(text); }

private:
    FieldOutput& output_;
    gs::Observer* dump_;
    std::uint64_t from_;
    gs::Gs* gs_ = nullptr;
};

// Runs the program on `clock` with its fields going to `output`, recording the GS input if asked.
bool RunProgram(const Options& options, console::VblankClock& clock, FieldOutput& output)
{
    console::DumpFileBuf dumpFile;
    std::ostream dumpStream(&dumpFile);
    std::unique_ptr<console::GsDumpWriter> dump;
    if (!options.gsDump.empty()) {
        if (!dumpFile.openForWriting(options.gsDump)) {
            std::cerr << "orbdemo: cannot write " << options.gsDump << '\n';
            return false;
        }
        dump = std::make_unique<console::GsDumpWriter>(dumpStream);
    }
    RecordingHost host(output, dump.get(), options.gsDumpFrom);
    {
        console::Machine machine(host, clock);
        machine.setFieldLimit(options.frames);
        host.attach(machine.gs());
        const auto start = std::chrono::steady_clock::now();
        StartProgram(machine);
        if (options.stats) {
            const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            const double fields = static_cast<double>(machine.fields());
            std::fprintf(stderr, "orbdemo: %.0f fields in %.3f s: %.0f fields/s; the GS drew %.0f pixels per field\n",
                         fields, seconds, fields / seconds, static_cast<double>(machine.gs().pixelsDrawn()) / fields);
        }
    }
    std::fflush(stdout);
    if (dump && (!dumpStream.flush() || !dumpFile.close())) {
        std::cerr << "orbdemo: cannot write " << options.gsDump << '\n';
        return false;
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
    console::DumpFileBuf file;
    std::istream in(&file);
    if (!file.openForReading(options.replay)) {
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
