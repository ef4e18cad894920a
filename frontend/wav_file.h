#pragma once

#include <cstdint>
#include <fstream>
#include <span>
#include <string>

namespace frontend {

// Writes 48,000 Hz stereo 16-bit sound to a WAV file as it comes; the header's sizes are filled in at close.
// The format counts its size in 32 bits: at that limit (6 h 12 min of sound) the file ends, whole, and close()
// says so.
class WavFile {
public:
    static constexpr std::uint32_t kRate = 48000;
    static constexpr std::uint16_t kChannels = 2;
    static constexpr std::uint32_t kFrameBytes = kChannels * 2;
    // The most sound the 32-bit sizes of the header can count, in whole frames.
    static constexpr std::uint64_t kMaxDataBytes = (0xFFFFFFFFull - 36) / kFrameBytes * kFrameBytes;

    // `maxDataBytes` lowers the limit, for trying it out.
    explicit WavFile(std::uint64_t maxDataBytes = kMaxDataBytes) : maxDataBytes_(maxDataBytes) {}

    // False with `error` set when the file cannot be created.
    bool open(const std::string& path, std::string& error);
    bool isOpen() const { return file_.is_open(); }
    // Appends interleaved left, right samples; false when the file is full and some were left out.
    bool add(std::span<const std::int16_t> samples);
    // False with `error` set when something could not be written or the file became full.
    bool close(std::string& error);

private:
    std::uint64_t maxDataBytes_;
    std::ofstream file_;
    std::string path_;
    std::uint64_t dataBytes_ = 0;
    bool full_ = false;
};

} // namespace frontend
