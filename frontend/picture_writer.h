#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "console/picture.h"

namespace frontend {

// Writes PNG files on a thread of its own, so the console runs on while pictures are compressed. The first
// file that cannot be written stops it: what is still queued is dropped, since the rest would fail alike.
class PictureWriter {
public:
    PictureWriter();
    ~PictureWriter();
    PictureWriter(const PictureWriter&) = delete;
    PictureWriter& operator=(const PictureWriter&) = delete;

    // Queues a picture; waits while too many are queued.
    void write(std::string path, console::Picture picture);
    // True once a file could not be written.
    bool failed();
    // Waits until every queued picture is written; returns the error that stopped it, if one did.
    std::vector<std::string> finish();

private:
    void run();

    struct Job {
        std::string path;
        console::Picture picture;
    };
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> jobs_;
    std::vector<std::string> errors_;
    bool busy_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace frontend
