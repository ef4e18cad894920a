#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "console/picture.h"

namespace frontend {

// Records pictures to a video file through an ffmpeg process. Each 640 x 256 field is shown line-doubled,
// as a PAL screen shows it.
class VideoRecorder {
public:
    ~VideoRecorder();

    // Starts ffmpeg for `path` at `fieldsPerSecond`; false with `error` set when it cannot start.
    bool open(const std::string& path, double fieldsPerSecond, std::string& error);
    // True from open() on, until a write fails.
    bool isOpen() const { return !path_.empty() && !failed_; }
    // Appends one picture; the first one fixes the video's size.
    bool add(const console::Picture& picture);
    // Ends the file; false with `error` set when ffmpeg failed.
    bool close(std::string& error);

private:
    std::FILE* pipe_ = nullptr;
    std::string path_;
    double rate_ = 50;
    std::uint32_t width_ = 0, height_ = 0;
    std::vector<unsigned char> line_;
    bool failed_ = false;
};

} // namespace frontend
