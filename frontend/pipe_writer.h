#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace frontend {

// Writes to a pipe on a thread of its own, so that the writer never waits on what the reader does with its
// other inputs: a reader that takes two pipes in its own order cannot deadlock the program. Up to `maxQueued`
// bytes wait in memory; past that, write() waits for the reader.
class PipeWriter {
public:
    // Takes over `fd`.
    PipeWriter(int fd, std::size_t maxQueued);
    PipeWriter(const PipeWriter&) = delete;
    PipeWriter& operator=(const PipeWriter&) = delete;
    ~PipeWriter();

    // Queues a copy of the bytes; false once the reader has gone (no SIGPIPE reaches the program).
    bool write(const void* bytes, std::size_t size);
    // Takes no more writes: the pipe closes once what is queued has been written.
    void end();
    // Ends, and waits until the pipe is closed; false when the reader went before taking it all.
    bool close();

private:
    void run();
    bool pass();

    int fd_;
    std::size_t maxQueued_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::vector<char>> queue_;
    std::vector<std::vector<char>> spare_; // written buffers, kept to spare the allocator large blocks
    std::size_t queued_ = 0;
    bool closing_ = false;
    bool broken_ = false;
    std::thread thread_;
};

} // namespace frontend
