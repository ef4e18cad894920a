#include "frontend/video_recorder.h"

#include <cstdlib>

namespace frontend {
namespace {

// Quotes a path for the shell that popen runs.
std::string Quoted(const std::string& text)
{
    std::string out = "'";
    for (const char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

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
    rate_ = fieldsPerSecond;
    return true;
}

bool VideoRecorder::add(const console::Picture& picture)
{
    if (failed_ || path_.empty()) return false;
    if (!pipe_) {
        width_ = picture.width;
        height_ = picture.height;
        const std::string command = "ffmpeg -hide_banner -loglevel error -y -f rawvideo -pix_fmt rgb24 -s " +
                                    std::to_string(width_) + "x" + std::to_string(height_ * 2) + " -r " +
                                    std::to_string(rate_) +
                                    " -i - -c:v libx264 -preset veryfast -crf 18 -pix_fmt yuv420p " + Quoted(path_);
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

bool VideoRecorder::close(std::string& error)
{
    if (!pipe_) {
        if (failed_) error = "cannot record " + path_ + ": ffmpeg did not start";
        return !failed_;
    }
    const int status = pclose(pipe_);
    pipe_ = nullptr;
    if (failed_ || status != 0) {
        error = "recording " + path_ + " failed (ffmpeg reported an error)";
        return false;
    }
    return true;
}

} // namespace frontend
