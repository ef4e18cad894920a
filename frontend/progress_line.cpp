#include "frontend/progress_line.h"

#include <unistd.h>

#include <cinttypes>

namespace frontend {
namespace {

constexpr auto kRedraw = std::chrono::milliseconds(100);

} // namespace

ProgressLine::ProgressLine(std::FILE* out, std::uint64_t total)
    : out_(out), total_(total), on_(isatty(fileno(out)) != 0), start_(std::chrono::steady_clock::now()),
      lastDraw_(start_)
{
}

void ProgressLine::field()
{
    if (!on_) return;
    ++fields_;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastDraw_ < kRedraw) return;
    lastDraw_ = now;
    draw();
}

void ProgressLine::draw()
{
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    const double rate = seconds > 0 ? static_cast<double>(fields_) / seconds : 0;
    // Whatever the program printed goes out first, so the line stays below it.
    std::fflush(stdout);
    std::fprintf(out_, "\r\033[Kfield %" PRIu64, fields_);
    if (total_ != 0) {
        std::fprintf(out_, " of %" PRIu64 " (%d%%)", total_, static_cast<int>(fields_ * 100 / total_));
    }
    std::fprintf(out_, ", %.0f fields/s", rate);
    if (total_ > fields_ && rate > 0)
        std::fprintf(out_, ", %.0f s left", static_cast<double>(total_ - fields_) / rate + 0.5);
    std::fflush(out_);
    shown_ = true;
}

void ProgressLine::clear()
{
    if (!shown_) return;
    std::fputs("\r\033[K", out_);
    std::fflush(out_);
    shown_ = false;
}

void ProgressLine::end()
{
    if (!on_ || fields_ == 0) return;
    draw();
    std::fputc('\n', out_);
    std::fflush(out_);
    shown_ = false;
    on_ = false;
}

} // namespace frontend
