#pragma once

#include <sys/types.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "frontend/pipe_writer.h"

namespace frontend {

// Another program fed through pipes: pipe i is the child's descriptor 0 for i = 0, and 2 + i after that (3, 4,
// ...). The child's stderr is kept in memory for the message when it fails; its stdout goes nowhere. It runs
// in a process group of its own, so that a Ctrl-C at the terminal reaches only this program, which then ends
// the child's input cleanly.
class ChildProcess {
public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    // Closes the pipes and waits for the child.
    ~ChildProcess();

    // Starts `argv[0]`, found on PATH, with `pipes` input pipes, each holding up to `maxQueued` bytes in
    // memory before write() waits for the child; false with `error` set when it cannot start.
    bool start(const std::vector<std::string>& argv, int pipes, std::size_t maxQueued, std::string& error);
    bool running() const { return pid_ > 0; }

    // Queues `bytes` for pipe `index`; false once the child has stopped reading (never SIGPIPE).
    bool write(int index, const void* bytes, std::size_t size);

    // Closes the pipes, waits for the child and returns true when it exited with status 0. Otherwise
    // `error` says how it ended, followed by the last lines it wrote to stderr, each on a line of its own.
    bool finish(std::string& error);

private:
    // Closes the pipes once the child took what was queued; false when it stopped reading before that.
    bool closePipes();

    pid_t pid_ = -1;
    std::string name_;
    std::vector<std::unique_ptr<PipeWriter>> pipes_;
    int messages_ = -1;      // the child's stderr
};

// The last `count` lines of `text` that are not empty, without their line ends.
std::vector<std::string> LastLines(const std::string& text, std::size_t count);

} // namespace frontend
