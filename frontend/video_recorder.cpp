#include "frontend/video_recorder.h"

#include <cstdlib>
#include <filesystem>

namespace frontend {
namespace {

// Quotes a path for the shell that popen runs.
std::string Quoted(const std::string& text)
{
    std::string out = "'";
    for (const char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

constexpr const char* kFfmpeg = "ffmpeg -hide_banner -loglevel error -nostdin -y ";

} // namespace

VideoRecorder::~VideoRecorder()
{
    std::string ignored;
    close(ignored);
}

bool VideoRecorder::open(const std::string& path, double fieldsPerSecond, std::string& error)
{
    if (std::system("command -v ffmpeg >/dev/null 2>&1") != 0) {
        error = "cannot record " + path + ": ffmpeg is not installed";
        return false;
    }
    path_ = path;
    videoPart_ = path + ".part-video.mp4";
    soundPart_ = path + ".part-sound.wav";
    rate_ = fieldsPerSecond;
    return true;
}

bool VideoRecorder::add(const console::Picture& picture)
{
    if (failed_ || path_.empty()) return false;
    if (!pipe_) {
        width_ = picture.width;
        height_ = picture.height;
        const std::string command = std::string(kFfmpeg) + "-f rawvideo -pix_fmt rgb24 -s " + std::to_string(width_) +
                                    "x" + std::to_string(height_ * 2) + " -r " + std::to_string(rate_) +
                                    " -i - -c:v libx264 -preset veryfast -crf 18 -pix_fmt yuv420p -aspect 4:3 " +
                                    Quoted(videoPart_);
        pipe_ = popen(command.c_str(), "w");
        if (!pipe_) {
            failed_ = true;
            return false;
        }
        line_.resize(std::size_t{width_} * 3);
    }
    if (picture.width != width_ || picture.height != height_) return false;
    for (std::uint32_t y = 0; y < height_; ++y) {
        for (std::uint32_t x = 0; x < width_; ++x) {
            const std::uint32_t p = picture.at(x, y);
            line_[3 * x] = p & 0xFF;
            line_[3 * x + 1] = (p >> 8) & 0xFF;
            line_[3 * x + 2] = (p >> 16) & 0xFF;
        }
        // Each field line shows on two lines of the screen.
        for (int twice = 0; twice < 2; ++twice)
            if (std::fwrite(line_.data(), 1, line_.size(), pipe_) != line_.size()) failed_ = true;
    }
    return !failed_;
}

void VideoRecorder::addSound(std::span<const std::int16_t> samples)
{
    if (failed_ || path_.empty()) return;
    std::string ignored;
    if (!heard_ && !sound_.open(soundPart_, ignored)) failed_ = true;
    heard_ = true;
    sound_.add(samples);
}

bool VideoRecorder::close(std::string& error)
{
    if (path_.empty()) return true;
    bool ok = true;
    if (!pipe_) {
        if (failed_) error = "cannot record " + path_ + ": ffmpeg did not start";
        ok = !failed_;
    } else {
        const int status = pclose(pipe_);
        pipe_ = nullptr;
        if (failed_ || status != 0) {
            error = "recording " + path_ + " failed (ffmpeg reported an error)";
            ok = false;
        } else {
            ok = finishFile(error);
        }
    }
    removeParts();
    path_.clear();
    return ok;
}

// Joins the encoded pictures and the sound into the file asked for.
bool VideoRecorder::finishFile(std::string& error)
{
    if (!sound_.close(error)) return false;
    std::error_code ec;
    if (!heard_) {
        std::filesystem::rename(videoPart_, path_, ec);
        if (ec) error = "cannot write " + path_ + ": " + ec.message();
        return !ec;
    }
    const std::string command = std::string(kFfmpeg) + "-i " + Quoted(videoPart_) +
                                " -i " + Quoted(soundPart_) +
                                " -map 0:v -map 1:a -c:v copy -c:a aac -b:a 192k -movflags +faststart " + Quoted(path_);
    if (std::system(command.c_str()) != 0) {
        error = "recording " + path_ + " failed (ffmpeg could not add the sound)";
        return false;
    }
    return true;
}

void VideoRecorder::removeParts()
{
    std::string ignored;
    sound_.close(ignored);
    std::error_code ec;
    std::filesystem::remove(videoPart_, ec);
    std::filesystem::remove(soundPart_, ec);
}

} // namespace frontend
