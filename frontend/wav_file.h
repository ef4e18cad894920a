#pragma once

#include <cstdint>
#include <fstream>
#include <span>
#include <string>

namespace frontend {

// Writes 48,000 Hz stereo 16-bit sound to a WAV file as it comes; the header's sizes are filled in at close.
class WavFile {
public:
    static constexpr std::uint32_t kRate = 48000;
    static constexpr std::uint16_t kChannels = 2;

    // False with `error` set when the file cannot be created.
    bool open(const std::string& path, std::string& error);
    bool isOpen() const { return file_.is_open(); }
    // Appends interleaved left, right samples.
    void add(std::span<const std::int16_t> samples);
    // False with `error` set when something could not be written.
    bool close(std::string& error);

private:
    std::ofstream file_;
    std::string path_;
    std::uint64_t dataBytes_ = 0;
};

} // namespace frontend
