#include "frontend/video_recorder.h"

#include <algorithm>
#include <bit>

#include "frontend/wav_file.h"

namespace frontend {
namespace {

constexpr std::uint64_t kFieldsPerSecond = 50;
constexpr std::uint64_t kSoundPerField = WavFile::kRate / kFieldsPerSecond;
// How much may wait in memory for ffmpeg on each pipe: a few dozen fields.
constexpr std::size_t kQueuedBytes = std::size_t{32} << 20;

// 0xAABBGGRR pixels as they lie in memory.
constexpr const char* kPixelFormat = std::endian::native == std::endian::little ? "rgb0" : "0bgr";

std::vector<std::string> FfmpegArguments(const std::string& path, std::uint64_t fieldStep)
{
    const std::string size = std::to_string(VideoRecorder::kFieldWidth) + "x" +
                             std::to_string(VideoRecorder::kFieldLines);
    const std::string shown = "scale=" + std::to_string(VideoRecorder::kFieldWidth) + ":" +
                              std::to_string(2 * VideoRecorder::kFieldLines) + ":flags=neighbor";
    return {
        "ffmpeg", "-hide_banner", "-nostdin", "-loglevel", "error", "-y",
        // Both inputs are raw with their format given here: probing them would only wait for data.
        "-f", "rawvideo", "-pix_fmt", kPixelFormat, "-video_size", size,
        "-framerate", std::to_string(kFieldsPerSecond) + "/" + std::to_string(fieldStep),
        "-probesize", "32", "-thread_queue_size", "64", "-i", "pipe:0",
        "-f", "s16le", "-ar", std::to_string(WavFile::kRate), "-ac", std::to_string(WavFile::kChannels),
        "-probesize", "32", "-thread_queue_size", "64", "-i", "pipe:3",
        "-map", "0:v", "-map", "1:a",
        // The fastest x264 preset and AAC coder: at this quality the picture stays clean, and ffmpeg works
        // less than half as long as with x264's veryfast.
        "-vf", shown, "-c:v", "libx264", "-preset", "ultrafast", "-crf", "18", "-pix_fmt", "yuv420p",
        "-aspect", "4:3",
        "-c:a", "aac", "-aac_coder", "fast", "-b:a", "192k",
        "-movflags", "+faststart",
        // "file:" keeps a name that starts with '-' or holds a ':' a plain file name.
        "file:" + path,
    };
}

} // namespace

VideoRecorder::~VideoRecorder()
{
    std::string ignored;
    close(ignored);
}

bool VideoRecorder::open(const std::string& path, std::uint64_t fieldStep, std::string& error)
{
    path_ = path;
    before_ = OutputFileMark(path);
    failed_ = false;
    pictures_ = soundFrames_ = 0;
    soundPerPicture_ = kSoundPerField * fieldStep;
    if (!ffmpeg_.start(FfmpegArguments(path, fieldStep), 2, kQueuedBytes, error)) {
        error = "cannot record " + path + ": " + error;
        path_.clear();
        return false;
    }
    return true;
}

bool VideoRecorder::add(const console::Picture& picture)
{
    if (!isOpen()) return false;
    // A picture's sound comes after it; sound further behind than that never came.
    if (pictures_ > 0) padSound((pictures_ - 1) * soundPerPicture_);
    const console::Picture* field = &picture;
    if (picture.width != kFieldWidth || picture.height != kFieldLines) {
        ScaleNearest(picture, kFieldWidth, kFieldLines, scaled_);
        field = &scaled_;
    }
    if (!ffmpeg_.write(0, field->pixels.data(), field->pixels.size() * sizeof(std::uint32_t))) failed_ = true;
    ++pictures_;
    return !failed_;
}

void VideoRecorder::addSound(std::span<const std::int16_t> samples)
{
    if (!isOpen()) return;
    sendSound(samples);
}

void VideoRecorder::sendSound(std::span<const std::int16_t> samples)
{
    if (samples.empty()) return;
    if (!ffmpeg_.write(1, samples.data(), samples.size_bytes())) failed_ = true;
    soundFrames_ += samples.size() / WavFile::kChannels;
}

void VideoRecorder::padSound(std::uint64_t frames)
{
    static const std::vector<std::int16_t> silence(std::size_t{kSoundPerField} * WavFile::kChannels * 50);
    while (soundFrames_ < frames && !failed_) {
        const std::uint64_t now = std::min<std::uint64_t>(frames - soundFrames_, silence.size() / WavFile::kChannels);
        sendSound(std::span(silence).first(now * WavFile::kChannels));
    }
}

bool VideoRecorder::close(std::string& error)
{
    if (path_.empty()) return true;
    padSound(pictures_ * soundPerPicture_);
    std::string said;
    const bool finished = ffmpeg_.finish(said);
    const bool ok = finished && !failed_ && pictures_ > 0;
    if (!ok) {
        const std::string why = pictures_ == 0 ? "no field came" : !said.empty() ? said : "ffmpeg stopped";
        error = "recording " + path_ + " failed: " + why;
        before_.removeIfChanged(path_);
    }
    path_.clear();
    return ok;
}

void ScaleNearest(const console::Picture& in, std::uint32_t width, std::uint32_t height, console::Picture& out)
{
    out.width = width;
    out.height = height;
    out.pixels.assign(std::size_t{width} * height, 0xFF000000u);
    if (in.width == 0 || in.height == 0) return;
    std::vector<std::uint32_t> columns(width);
    for (std::uint32_t x = 0; x < width; ++x)
        columns[x] = static_cast<std::uint32_t>(std::uint64_t{x} * in.width / width);
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint32_t* from = &in.pixels[std::size_t{std::uint64_t{y} * in.height / height} * in.width];
        std::uint32_t* to = &out.pixels[std::size_t{y} * width];
        for (std::uint32_t x = 0; x < width; ++x) to[x] = from[columns[x]];
    }
}

} // namespace frontend
