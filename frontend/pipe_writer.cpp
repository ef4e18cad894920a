#include "frontend/pipe_writer.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace frontend {
namespace {

constexpr std::size_t kSpareBuffers = 4;

// Writes all the bytes; false when the pipe broke.
bool WriteAll(int fd, const char* at, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, at, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        at += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

PipeWriter::PipeWriter(int fd, std::size_t maxQueued) : fd_(fd), maxQueued_(maxQueued), thread_([this] { run(); })
{
}

PipeWriter::~PipeWriter() { close(); }

bool PipeWriter::write(const void* bytes, std::size_t size)
{
    std::vector<char> buffer;
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return broken_ || closing_ || queued_ == 0 || queued_ + size <= maxQueued_; });
        if (broken_ || closing_) return false;
        if (!spare_.empty()) {
            buffer = std::move(spare_.back());
            spare_.pop_back();
        }
    }
    buffer.assign(static_cast<const char*>(bytes), static_cast<const char*>(bytes) + size);
    std::lock_guard lock(mutex_);
    if (broken_) return false;
    queued_ += size;
    queue_.push_back(std::move(buffer));
    changed_.notify_all();
    return true;
}

void PipeWriter::end()
{
    std::lock_guard lock(mutex_);
    closing_ = true;
    changed_.notify_all();
}

bool PipeWriter::close()
{
    end();
    if (thread_.joinable()) thread_.join();
    std::lock_guard lock(mutex_);
    return !broken_;
}

void PipeWriter::run()
{
    // Signals are for the program's other threads. A write to a pipe whose reader is gone raises SIGPIPE
    // on this thread, where it stays blocked and is taken back below.
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, nullptr);
    while (pass()) {
    }
    // Closed here, not by close(): the reader may wait for this end of input before taking another pipe's.
    ::close(fd_);
}

// Writes the next queued block; false when there is nothing more to write.
bool PipeWriter::pass()
{
    std::vector<char> buffer;
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return closing_ || !queue_.empty(); });
        if (queue_.empty()) return false;
        buffer = std::move(queue_.front());
        queue_.pop_front();
    }
    const bool written = WriteAll(fd_, buffer.data(), buffer.size());
    if (!written && errno == EPIPE) {
        sigset_t pipe;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        const timespec now{};
        sigtimedwait(&pipe, nullptr, &now);
    }
    std::lock_guard lock(mutex_);
    queued_ -= buffer.size();
    if (spare_.size() < kSpareBuffers) spare_.push_back(std::move(buffer));
    if (!written) {
        broken_ = true;
        queue_.clear();
        queued_ = 0;
    }
    changed_.notify_all();
    return written;
}

} // namespace frontend
