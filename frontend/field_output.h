#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "console/host.h"
#include "frontend/contact_sheet.h"
#include "frontend/field_hashes.h"
#include "frontend/options.h"
#include "frontend/picture_writer.h"
#include "frontend/progress_line.h"
#include "frontend/video_recorder.h"
#include "frontend/wav_file.h"
#include "frontend/window.h"

namespace frontend {

// Where the console's fields and messages go on the desktop: picture files, a video, a window, a progress
// line, stderr.
class FieldOutput : public console::Host {
public:
    // `total` is the number of fields expected (for the progress line), 0 if unknown.
    FieldOutput(const Options& options, std::uint64_t total);

    // Opens what the options ask for; false with `error` set when something cannot be opened.
    bool start(std::string& error);
    // Shows every field in this window too; once it closes, the console is stopped.
    void showIn(Window* window) { window_ = window; }

    void field(const console::Field& field) override;
    void sound(std::span<const std::int16_t> samples) override;
    pad::Input controllerInput() override;
    void message(std::string_view text) override;

    // Leaves the progress line (on a terminal) where it is, so that what follows starts on a line of its own.
    void endProgress() { progress_.end(); }
    // Writes what is still pending; returns false after reporting any error on stderr.
    bool finish();
    std::uint64_t fields() const { return fields_; }

private:
    const Options& options_;
    std::uint64_t total_;
    std::uint64_t fields_ = 0;
    ProgressLine progress_;
    PictureWriter writer_;
    VideoRecorder video_;
    WavFile wav_;
    ContactSheet sheet_;
    bool sheetFull_ = false;
    FieldHashes hashes_;
    Window* window_ = nullptr;
    console::Picture picture_;
};

} // namespace frontend
