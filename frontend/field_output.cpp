#include "frontend/field_output.h"

#include <cstdio>
#include <filesystem>
#include <iostream>

#include "console/machine.h"
#include "frontend/interruption.h"
#include "frontend/picture_scale.h"
#include "frontend/program.h"

namespace frontend {

FieldOutput::FieldOutput(const Options& options, std::uint64_t total)
    : options_(options), total_(total), progress_(stderr, total)
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
    const std::uint64_t tiles = (total_ + options_.every - 1) / options_.every;
    if (!options_.contactSheet.empty() && tiles > ContactSheet::kMaxTiles) {
        error = "a contact sheet of " + std::to_string(tiles) + " fields is more than the " +
                std::to_string(ContactSheet::kMaxTiles) + " tiles one picture holds: take every K-th field with --every " +
                std::to_string((total_ + ContactSheet::kMaxTiles - 1) / ContactSheet::kMaxTiles) + " or more";
        return false;
    }
    if (!options_.video.empty() && !video_.open(options_.video, options_.every, error)) return false;
    if (!options_.wav.empty() && !wav_.open(options_.wav, error)) return false;
    if (!options_.fieldHashes.empty() && !hashes_.open(options_.fieldHashes, error)) return false;
    return true;
}

void FieldOutput::field(const console::Field& field)
{
    if ((window_ && window_->closed()) || Interruption() != 0) throw console::Halt{};
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
    if (sampled && !options_.contactSheet.empty() && !sheet_.add(n, picture_) && !sheetFull_) {
        sheetFull_ = true;
        progress_.clear();
        std::cerr << ProgramName() << ": the contact sheet is full (" << ContactSheet::kMaxTiles
                  << " tiles): later fields are left out\n";
    }
    if (sampled && !options_.pngDir.empty()) {
        char name[32];
        std::snprintf(name, sizeof name, "/field-%05llu.png", static_cast<unsigned long long>(n));
        writer_.write(options_.pngDir + name,
                      options_.png4x3 ? Scaled(picture_, kShownWidth, kShownHeight) : picture_);
        // A disk that is full stays full: stop at the first picture that could not be written.
        if (writer_.failed()) throw console::Halt{};
    }
    progress_.field();
}

void FieldOutput::sound(std::span<const std::int16_t> samples)
{
    if (wav_.isOpen()) wav_.add(samples);
    if (video_.isOpen()) video_.addSound(samples);
    if (window_) window_->play(samples);
}

pad::Input FieldOutput::controllerInput() { return window_ ? window_->input() : pad::Input{}; }

void FieldOutput::message(std::string_view text)
{
    progress_.clear();
    std::cerr << "console: " << text << '\n';
}

bool FieldOutput::finish()
{
    progress_.end();
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
