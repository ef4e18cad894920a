#include "frontend/run.h"

#include <chrono>
#include <cstdio>
#include <iostream>
#include <memory>
#include <thread>
#include <vector>

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
// machine stops it. False when the program stopped by itself before that.
bool StartProgram(const Program& program, const Options& options)
{
    std::vector<std::string> words{program.name};
    words.insert(words.end(), options.programArgs.begin(), options.programArgs.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    try {
        const int status = program.main(static_cast<int>(words.size()), argv.data());
        std::cerr << ProgramName() << ": the program's main returned " << status << '\n';
        return false;
    } catch (const console::Halt&) {
        return true;
    } catch (const console::Asleep&) {
        return false;
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

    void sound(std::span<const std::int16_t> samples) override { output_.sound(samples); }
    pad::Input controllerInput() override { return output_.controllerInput(); }
    void message(std::string_view text) override { output_.message(text); }

private:
    FieldOutput& output_;
    gs::Observer* dump_;
    std::uint64_t from_;
    gs::Gs* gs_ = nullptr;
};

// Runs the program on `clock` with its fields going to `output`, recording the GS input if asked.
bool RunProgram(const Options& options, const Program& program, console::VblankClock& clock, FieldOutput& output)
{
    console::DumpFileBuf dumpFile;
    std::ostream dumpStream(&dumpFile);
    std::unique_ptr<console::GsDumpWriter> dump;
    if (!options.gsDump.empty()) {
        if (!dumpFile.openForWriting(options.gsDump)) {
            std::cerr << ProgramName() << ": cannot write " << options.gsDump << '\n';
            return false;
        }
        dump = std::make_unique<console::GsDumpWriter>(dumpStream);
    }
    RecordingHost host(output, dump.get(), options.gsDumpFrom);
    bool ran = false;
    {
        console::Machine machine(host, clock);
        machine.setFieldLimit(options.frames);
        machine.iop().setHostDirectory(options.hostDir.empty() ? ORB_HOST_DIR : options.hostDir);
        machine.controller().setKind(options.pad);
        host.attach(machine.gs());
        const auto start = std::chrono::steady_clock::now();
        ran = StartProgram(program, options);
        if (options.stats) {
            const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            const double fields = static_cast<double>(machine.fields());
            std::fprintf(stderr,
                         "%s: %.0f fields in %.3f s: %.0f fields/s; the GS drew %.0f pixels per field; "
                         "%llu vertical blanks came while the program was busy\n",
                         ProgramName().c_str(), fields, seconds, fields / seconds,
                         static_cast<double>(machine.gs().pixelsDrawn()) / fields,
                         static_cast<unsigned long long>(machine.lateFields()));
        }
    }
    std::fflush(stdout);
    if (dump && (!dumpStream.flush() || !dumpFile.close())) {
        std::cerr << ProgramName() << ": cannot write " << options.gsDump << '\n';
        return false;
    }
    return ran;
}

bool Start(FieldOutput& output)
{
    std::string error;
    if (output.start(error)) return true;
    std::cerr << ProgramName() << ": " << error << '\n';
    return false;
}

} // namespace

int RunHeadless(const Options& options, const Program& program)
{
    FieldOutput output(options, options.frames);
    if (!Start(output)) return 1;
    console::VirtualClock clock;
    const bool ran = RunProgram(options, program, clock, output);
    const bool written = output.finish();
    return ran && written ? 0 : 1;
}

int RunWindowed(const Options& options, const Program& program)
{
    Window window;
    std::string error;
    if (!window.open(error)) {
        std::cerr << ProgramName() << ": " << error << '\n';
        return 1;
    }
    FieldOutput output(options, options.frames);
    if (!Start(output)) return 1;
    output.showIn(&window);
    bool ran = false;
    // The console runs on a thread of its own; this thread keeps the window alive.
    std::thread console([&] {
        console::WallClock clock;
        ran = RunProgram(options, program, clock, output);
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
        std::cerr << ProgramName() << ": cannot read " << options.replay << '\n';
        return 1;
    }
    FieldOutput output(options, options.frames);
    if (!Start(output)) return 1;
    std::string error;
    bool replayed = true;
    try {
        replayed = console::ReplayGsDump(in, output, error, options.frames);
    } catch (const console::Halt&) {
        // The output stopped the replay (a recording failed); finish() says why.
    }
    // A damaged file reads as a shorter one: zlib's word is the one that counts.
    if (!file.readError().empty()) {
        replayed = false;
        error = "the dump is damaged: " + file.readError();
    }
    const bool written = output.finish();
    if (!replayed) {
        std::cerr << ProgramName() << ": " << options.replay << ": " << error << '\n';
        return 1;
    }
    return written ? 0 : 1;
}

} // namespace frontend
