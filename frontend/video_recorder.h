#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "console/picture.h"
#include "frontend/wav_file.h"

namespace frontend {

// Records pictures and sound to a video file (H.264 and AAC) through ffmpeg. Each 640 x 256 field is shown
// line-doubled and marked 4:3, as a PAL screen shows it. The pictures are encoded while they come; the
// sound is kept beside them and joined to them when the recording ends.
class VideoRecorder {
public:
    ~VideoRecorder();

    // Prepares to record `path` at `fieldsPerSecond`; false with `error` set when ffmpeg is missing.
    bool open(const std::string& path, double fieldsPerSecond, std::string& error);
    // True from open() on, until a write fails.
    bool isOpen() const { return !path_.empty() && !failed_; }
    // Appends one picture; the first one fixes the video's size.
    bool add(const console::Picture& picture);
    // Appends 48,000 Hz stereo sound, left then right.
    void addSound(std::span<const std::int16_t> samples);
    // Ends the file; false with `error` set when ffmpeg failed.
    bool close(std::string& error);

private:
    bool finishFile(std::string& error);
    void removeParts();

    std::FILE* pipe_ = nullptr;
    std::string path_;
    std::string videoPart_, soundPart_;
    WavFile sound_;
    bool heard_ = false; // some sound came
    double rate_ = 50;
    std::uint32_t width_ = 0, height_ = 0;
    std::vector<unsigned char> line_;
    bool failed_ = false;
};

} // namespace frontend
