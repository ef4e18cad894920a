#include "frontend/wav_file.h"

#include <algorithm>
#include <array>

namespace frontend {
namespace {

constexpr std::uint32_t kHeaderBytes = 44;
// The RIFF size counts everything after its own 8 bytes.
static_assert(WavFile::kMaxDataBytes + kHeaderBytes - 8 <= 0xFFFFFFFFull);

void Put16(char* out, std::uint16_t v)
{
    out[0] = static_cast<char>(v & 0xFF);
    out[1] = static_cast<char>(v >> 8);
}

void Put32(char* out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) out[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::array<char, kHeaderBytes> Header(std::uint32_t dataBytes)
{
    std::array<char, kHeaderBytes> h{};
    constexpr std::uint16_t kBlockAlign = WavFile::kFrameBytes;
    std::copy_n("RIFF", 4, h.data());
    Put32(h.data() + 4, dataBytes + kHeaderBytes - 8);
    std::copy_n("WAVEfmt ", 8, h.data() + 8);
    Put32(h.data() + 16, 16);
    Put16(h.data() + 20, 1); // PCM
    Put16(h.data() + 22, WavFile::kChannels);
    Put32(h.data() + 24, WavFile::kRate);
    Put32(h.data() + 28, WavFile::kRate * kBlockAlign);
    Put16(h.data() + 32, kBlockAlign);
    Put16(h.data() + 34, 16);
    std::copy_n("data", 4, h.data() + 36);
    Put32(h.data() + 40, dataBytes);
    return h;
}

} // namespace

bool WavFile::open(const std::string& path, std::string& error)
{
    path_ = path;
    dataBytes_ = 0;
    full_ = false;
    file_.open(path, std::ios::binary | std::ios::trunc);
    const auto header = Header(0);
    if (!file_ || !file_.write(header.data(), header.size())) {
        error = "cannot write " + path;
        file_.close();
        return false;
    }
    return true;
}

bool WavFile::add(std::span<const std::int16_t> samples)
{
    if (!file_.is_open() || full_) return samples.empty();
    const std::uint64_t room = (maxDataBytes_ - dataBytes_) / 2;
    if (samples.size() > room) {
        samples = samples.first(room / kChannels * kChannels);
        full_ = true;
    }
    std::array<char, 4096> bytes;
    std::size_t used = 0;
    for (const std::int16_t s : samples) {
        Put16(bytes.data() + used, static_cast<std::uint16_t>(s));
        used += 2;
        if (used == bytes.size()) {
            file_.write(bytes.data(), static_cast<std::streamsize>(used));
            used = 0;
        }
    }
    file_.write(bytes.data(), static_cast<std::streamsize>(used));
    dataBytes_ += samples.size() * 2;
    return !full_;
}

bool WavFile::close(std::string& error)
{
    if (!file_.is_open()) return true;
    const auto header = Header(static_cast<std::uint32_t>(dataBytes_));
    file_.seekp(0);
    file_.write(header.data(), header.size());
    file_.close();
    if (!file_) {
        error = "cannot write " + path_;
        return false;
    }
    if (full_) {
        error = path_ + " is full: a WAV file holds at most 4 GiB, 6 h 12 min of sound; the sound after that "
                        "was left out";
        return false;
    }
    return true;
}

} // namespace frontend
