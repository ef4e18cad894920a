#include "frontend/run.h"

#include <chrono>
#include <cstdio>
#include <iostream>
#include <memory>
#include <thread>
#include <vector>

#include "console/check/findings.h"
#include "console/check/gs_checker.h"
#include "console/check/observer_fan_out.h"
#include "console/clock.h"
#include "console/dump/dump_file.h"
#include "console/dump/gs_dump.h"
#include "console/dump/gs_snapshot.h"
#include "console/machine.h"
#include "frontend/field_output.h"
#include "frontend/program.h"
#include "frontend/stats_splits.h"
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

// --gs-check: the checker and what it found. Its findings go out as the console's messages.
class GsCheck {
public:
    GsCheck(console::Host& output, Options::GsCheck mode)
        : findings_([&output](std::string_view line) { output.message("gs-check: " + std::string(line)); }),
          checker_(findings_), strict_(mode == Options::GsCheck::Strict)
    {
    }

    check::GsChecker& checker() { return checker_; }

    // Reports what is still open and the summary; a strict check turns a clean exit into 3 on any finding.
    int finish(int status)
    {
        checker_.finish();
        std::cerr << ProgramName() << ": gs-check: " << findings_.summary() << '\n';
        return strict_ && status == 0 && findings_.total() != 0 ? 3 : status;
    }

private:
    check::Findings findings_;
    check::GsChecker checker_;
    bool strict_;
};

std::unique_ptr<GsCheck> MakeCheck(const Options& options, console::Host& output)
{
    if (options.gsCheck == Options::GsCheck::Off) return nullptr;
    return std::make_unique<GsCheck>(output, options.gsCheck);
}

// Passes fields on to the output and starts the GS record at the field the options name; the checker, when
// there is one, sees everything from the start.
class RecordingHost final : public console::Host {
public:
    RecordingHost(FieldOutput& output, gs::Observer* dump, std::uint64_t from, GsCheck* check, StatsSplits& splits)
        : output_(output), dump_(dump), from_(from), check_(check), splits_(splits)
    {
    }

    void attach(console::Machine& machine)
    {
        gs_ = &machine.gs();
        if (check_) {
            observers_.add(&check_->checker());
            machine.dmac().setObserver(&check_->checker());
        }
        if (dump_ && from_ == 0) observers_.add(dump_);
        gs_->setObserver(observers_.target());
    }

    void field(const console::Field& field) override
    {
        output_.field(field);
        splits_.fieldsDone(field.index() + 1);
        if (dump_ && from_ != 0 && field.index() + 1 == from_) {
            console::WriteSnapshot(*gs_, *dump_);
            observers_.add(dump_);
            gs_->setObserver(observers_.target());
        }
    }

    void sound(std::span<const std::int16_t> samples) override { output_.sound(samples); }
    pad::Input controllerInput() override { return output_.controllerInput(); }
    void message(std::string_view text) override { output_.message(text); }

private:
    FieldOutput& output_;
    gs::Observer* dump_;
    std::uint64_t from_;
    GsCheck* check_;
    StatsSplits& splits_;
    check::ObserverFanOut observers_;
    gs::Gs* gs_ = nullptr;
};

// Runs the program on `clock` with its fields going to `output`, recording the GS input if asked.
bool RunProgram(const Options& options, const Program& program, console::VblankClock& clock, FieldOutput& output,
                GsCheck* check)
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
    StatsSplits splits(options.statsSplits);
    RecordingHost host(output, dump.get(), options.gsDumpFrom, check, splits);
    bool ran = false;
    {
        console::Machine machine(host, clock);
        machine.setFieldLimit(options.frames);
        machine.iop().setHostDirectory(options.hostDir.empty() ? ORB_HOST_DIR : options.hostDir);
        machine.controller().setKind(options.pad);
        host.attach(machine);
        const auto start = std::chrono::steady_clock::now();
        splits.start(start);
        ran = StartProgram(program, options);
        output.endProgress();
        if (options.stats) {
            const auto end = std::chrono::steady_clock::now();
            const double seconds = std::chrono::duration<double>(end - start).count();
            const double fields = static_cast<double>(machine.fields());
            std::fprintf(stderr,
                         "%s: %.0f fields in %.3f s: %.0f fields/s; the GS drew %.0f pixels per field; "
                         "%llu vertical blanks came while the program was busy; it waited %.1f ms for the IOP's "
                         "sound\n",
                         ProgramName().c_str(), fields, seconds, fields / seconds,
                         static_cast<double>(machine.gs().pixelsDrawn()) / fields,
                         static_cast<unsigned long long>(machine.lateFields()),
                         std::chrono::duration<double, std::milli>(machine.iop().soundWaited()).count());
            if (const std::string split = splits.report(machine.fields(), end); !split.empty())
                std::fprintf(stderr, "%s: %s\n", ProgramName().c_str(), split.c_str());
        }
    }
    std::fflush(stdout);
    if (dump && (!dumpStream.flush() || !dumpFile.close())) {
        std::cerr << ProgramName() << ": cannot write " << options.gsDump << '\n';
        return false;
    }
    return ran;
}

// The window's time: the wall clock, held while the window is paused.
class WindowClock final : public console::VblankClock {
public:
    explicit WindowClock(Window& window) : window_(window) {}

    std::uint32_t due() override { return clock_.due(); }
    void waitForVblank() override
    {
        if (window_.holdWhilePaused()) clock_.restart();
        clock_.waitForVblank();
    }

private:
    Window& window_;
    console::WallClock clock_;
};

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
    const auto check = MakeCheck(options, output);
    const bool ran = RunProgram(options, program, clock, output, check.get());
    const bool written = output.finish();
    const int status = ran && written ? 0 : 1;
    return check ? check->finish(status) : status;
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
    const auto check = MakeCheck(options, output);
    bool ran = false;
    // The console runs on a thread of its own; this thread keeps the window alive.
    std::thread console([&] {
        WindowClock clock(window);
        ran = RunProgram(options, program, clock, output, check.get());
        window.close();
    });
    window.run();
    console.join();
    const bool written = output.finish();
    const int status = ran && written ? 0 : 1;
    return check ? check->finish(status) : status;
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
    const auto check = MakeCheck(options, output);
    bool replayed = true;
    try {
        replayed = console::ReplayGsDump(in, output, error, options.frames, check ? &check->checker() : nullptr);
    } catch (const console::Halt&) {
        // The output stopped the replay (a recording failed or the run was interrupted); finish() says why.
    }
    // A damaged file reads as a shorter one: zlib's word is the one that counts.
    if (!file.readError().empty()) {
        replayed = false;
        error = "the dump is damaged: " + file.readError();
    }
    const bool written = output.finish();
    if (!replayed) {
        std::cerr << ProgramName() << ": " << options.replay << ": " << error << '\n';
        return check ? check->finish(1) : 1;
    }
    const int status = written ? 0 : 1;
    return check ? check->finish(status) : status;
}

} // namespace frontend
