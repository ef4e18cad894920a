#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "console/picture.h"
#include "frontend/child_process.h"
#include "frontend/output_file_mark.h"

namespace frontend {

// Records pictures and sound to a video file (H.264 and AAC) through ffmpeg, which reads the fields and the
// sound on two pipes while they come: no part files. Each field is sent once, 640 x 256, and ffmpeg shows
// every line twice, marked 4:3, as a PAL screen shows it. A field of another size is scaled to 640 x 256.
// The sound is kept as long as the pictures: silence stands in for sound that did not come.
class VideoRecorder {
public:
    static constexpr std::uint32_t kFieldWidth = 640;
    static constexpr std::uint32_t kFieldLines = 256;

    ~VideoRecorder();

    // Starts ffmpeg recording `path` with one picture every `fieldStep` fields (PAL's 50 fields a second);
    // false with `error` set when ffmpeg cannot be started.
    bool open(const std::string& path, std::uint64_t fieldStep, std::string& error);
    // True from open() on, until ffmpeg stops taking what it is sent.
    bool isOpen() const { return ffmpeg_.running() && !failed_; }
    // True once ffmpeg has stopped taking the pictures or the sound.
    bool failed() const { return failed_; }
    // Appends one picture; false once ffmpeg has stopped.
    bool add(const console::Picture& picture);
    // Appends 48,000 Hz stereo sound, left then right.
    void addSound(std::span<const std::int16_t> samples);
    // Ends the file so that it plays what was recorded. False with `error` set, and no file left, when ffmpeg
    // failed.
    bool close(std::string& error);

private:
    void padSound(std::uint64_t frames);
    void sendSound(std::span<const std::int16_t> samples);

    ChildProcess ffmpeg_;
    std::string path_;
    OutputFileMark before_;
    bool failed_ = false;
    std::uint64_t pictures_ = 0;
    std::uint64_t soundFrames_ = 0;       // stereo frames sent
    std::uint64_t soundPerPicture_ = 960; // stereo frames that one picture lasts
    console::Picture scaled_;
};

// Scales `in` to `width` x `height` into `out`, each pixel taking the nearest one.
void ScaleNearest(const console::Picture& in, std::uint32_t width, std::uint32_t height, console::Picture& out);

} // namespace frontend
