#include "frontend/field_output.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <iostream>

#include "console/machine.h"
#include "frontend/program.h"

namespace frontend {

FieldOutput::FieldOutput(const Options& options, std::uint64_t total)
    : options_(options), total_(total), progress_(isatty(STDERR_FILENO) != 0)
{
}

bool FieldOutput::start(std::string& error)
{
    if (!options_.pngDir.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(options_.pngDir, ec);
        if (ec) {
            error = "cannot create " + options_.pngDir + ": " + ec.message();
            return false;
        }
    }
    if (!options_.video.empty() && !video_.open(options_.video, options_.every, error)) return false;
    if (!options_.wav.empty() && !wav_.open(options_.wav, error)) return false;
    if (!options_.fieldHashes.empty() && !hashes_.open(options_.fieldHashes, error)) return false;
    return true;
}

void FieldOutput::field(const console::Field& field)
{
    if (window_ && window_->closed()) throw console::Halt{};
    // Once ffmpeg has stopped, the run stops too; finish() says why.
    if (video_.failed()) throw console::Halt{};
    ++fields_;
    const std::uint64_t n = field.index();
    const bool sampled = n % options_.every == 0;
    const bool wanted =
        window_ || hashes_.isOpen() ||
        (sampled && (!options_.pngDir.empty() || video_.isOpen() || !options_.contactSheet.empty()));
    if (wanted) field.read(picture_);
    if (window_) window_->present(n, picture_);
    hashes_.add(n, picture_);
    if (sampled && video_.isOpen()) video_.add(picture_);
    if (sampled && !options_.contactSheet.empty()) sheet_.add(n, picture_);
    if (sampled && !options_.pngDir.empty()) {
        char name[32];
        std::snprintf(name, sizeof name, "/field-%05llu.png", static_cast<unsigned long long>(n));
        writer_.write(options_.pngDir + name, picture_);
    }
    if (progress_ && (fields_ % 50 == 0 || fields_ == total_)) {
        if (total_ != 0)
            std::fprintf(stderr, "\rfield %llu of %llu", static_cast<unsigned long long>(fields_),
                         static_cast<unsigned long long>(total_));
        else
            std::fprintf(stderr, "\rfield %llu", static_cast<unsigned long long>(fields_));
    }
}

void FieldOutput::sound(std::span<const std::int16_t> samples)
{
    if (wav_.isOpen()) wav_.add(samples);
    if (video_.isOpen()) video_.addSound(samples);
    if (window_) window_->play(samples);
}

pad::Input FieldOutput::controllerInput() { return window_ ? window_->input() : pad::Input{}; }

void FieldOutput::message(std::string_view text) { std::cerr << "console: " << text << '\n'; }

bool FieldOutput::finish()
{
    if (progress_ && fields_ != 0) std::fputc('\n', stderr);
    std::vector<std::string> errors = writer_.finish();
    std::string error;
    if (!video_.close(error)) errors.push_back(error);
    if (!wav_.close(error)) errors.push_back(error);
    if (!hashes_.close(error)) errors.push_back(error);
    if (!options_.contactSheet.empty() && !sheet_.write(options_.contactSheet, error)) errors.push_back(error);
    for (const std::string& e : errors) std::cerr << ProgramName() << ": " << e << '\n';
    return errors.empty();
}

} // namespace frontend
