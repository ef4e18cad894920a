#include "frontend/picture_writer.h"

#include "frontend/png_file.h"

namespace frontend {
namespace {

// Enough to keep the writer busy without holding a whole run in memory.
constexpr std::size_t kMaxQueued = 16;

} // namespace

PictureWriter::PictureWriter() : thread_([this] { run(); }) {}

PictureWriter::~PictureWriter()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void PictureWriter::write(std::string path, console::Picture picture)
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return jobs_.size() < kMaxQueued; });
    if (!errors_.empty()) return;
    jobs_.push_back({std::move(path), std::move(picture)});
    changed_.notify_all();
}

bool PictureWriter::failed()
{
    std::lock_guard lock(mutex_);
    return !errors_.empty();
}

std::vector<std::string> PictureWriter::finish()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return jobs_.empty() && !busy_; });
    return errors_;
}

void PictureWriter::run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return stopping_ || !jobs_.empty(); });
        if (jobs_.empty()) return;
        Job job = std::move(jobs_.front());
        jobs_.pop_front();
        busy_ = true;
        changed_.notify_all();
        lock.unlock();
        std::string error;
        const bool ok = WritePng(job.path, job.picture, error);
        lock.lock();
        if (!ok) {
            errors_.push_back(error);
            jobs_.clear();
        }
        busy_ = false;
        changed_.notify_all();
    }
}

} // namespace frontend
