#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "frontend/output_file_mark.h"
#include "frontend/video_recorder.h"
#include "tests/support/ffmpeg.h"
#include "tests/support/temp_files.h"

namespace {

using frontend::VideoRecorder;
using testing_support::FreshDirectory;
using testing_support::HaveFfmpeg;
using testing_support::ReadFile;
namespace fs = std::filesystem;

// One line per stream: codec, width, height, frames, duration.
std::vector<std::string> Probe(const fs::path& video)
{
    const fs::path out = video.string() + ".probe";
    const std::string command = "ffprobe -v error -count_frames -show_entries "
                                "stream=codec_name,width,height,nb_read_frames,duration -of csv=p=0 '" +
                                video.string() + "' >'" + out.string() + "'";
    std::vector<std::string> lines;
    if (std::system(command.c_str()) != 0) return lines;
    std::ifstream in(out);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

console::Picture Solid(std::uint32_t width, std::uint32_t height, std::uint32_t colour)
{
    return {width, height, std::vector<std::uint32_t>(std::size_t{width} * height, colour)};
}

TEST(ScaleNearest, StretchesAndShrinksByWholePixels)
{
    console::Picture in{4, 2, {1, 2, 3, 4, 5, 6, 7, 8}};
    console::Picture out;
    frontend::ScaleNearest(in, 8, 4, out);
    EXPECT_EQ(out.pixels, (std::vector<std::uint32_t>{1, 1, 2, 2, 3, 3, 4, 4, 1, 1, 2, 2, 3, 3, 4, 4,
                                                      5, 5, 6, 6, 7, 7, 8, 8, 5, 5, 6, 6, 7, 7, 8, 8}));
    frontend::ScaleNearest(in, 2, 1, out);
    EXPECT_EQ(out.pixels, (std::vector<std::uint32_t>{1, 3}));
    frontend::ScaleNearest(in, 3, 2, out);
    EXPECT_EQ(out.pixels, (std::vector<std::uint32_t>{1, 2, 3, 5, 6, 7}));
    frontend::ScaleNearest(console::Picture{}, 2, 1, out);
    EXPECT_EQ(out.pixels, (std::vector<std::uint32_t>{0xFF000000u, 0xFF000000u}));
}

TEST(OutputFileMark, RemovesOnlyWhatWasMadeOrChangedSince)
{
    const auto dir = FreshDirectory();
    const auto kept = dir / "kept.mp4", changed = dir / "changed.mp4", made = dir / "made.mp4";
    std::ofstream(kept) << "old";
    std::ofstream(changed) << "old";
    fs::create_directory(dir / "folder");
    const frontend::OutputFileMark keptMark(kept.string()), changedMark(changed.string()),
        madeMark(made.string()), folderMark((dir / "folder").string());
    std::ofstream(changed) << "new, longer";
    std::ofstream(made) << "new";
    EXPECT_FALSE(keptMark.removeIfChanged(kept.string()));
    EXPECT_TRUE(changedMark.removeIfChanged(changed.string()));
    EXPECT_TRUE(madeMark.removeIfChanged(made.string()));
    EXPECT_FALSE(folderMark.removeIfChanged((dir / "folder").string()));
    EXPECT_EQ(ReadFile(kept), "old");
    EXPECT_FALSE(fs::exists(changed));
    EXPECT_FALSE(fs::exists(made));
    EXPECT_TRUE(fs::is_directory(dir / "folder"));
}

TEST(VideoRecorder, AStoppedRunEndsWithPicturesAndSoundOfTheSameLength)
{
    if (!HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    const auto dir = FreshDirectory();
    const auto path = dir / "stopped.mp4";
    VideoRecorder video;
    std::string error;
    ASSERT_TRUE(video.open(path.string(), 1, error)) << error;
    const std::vector<std::int16_t> sound(2 * 960, 1000);
    // 20 fields; the run stopped before the last field's sound was told.
    for (int k = 0; k < 20; ++k) {
        ASSERT_TRUE(video.add(Solid(640, 256, 0xFF000000u + k * 10)));
        if (k < 19) video.addSound(sound);
    }
    ASSERT_TRUE(video.close(error)) << error;
    // 1024 sound frames to a packet.
    EXPECT_EQ(Probe(path), (std::vector<std::string>{"h264,640,512,0.400000,20", "aac,0.400000,19"}));
}

TEST(VideoRecorder, WithNoFieldThereIsNoFile)
{
    if (!HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    const auto dir = FreshDirectory();
    VideoRecorder video;
    std::string error;
    ASSERT_TRUE(video.open((dir / "empty.mp4").string(), 1, error)) << error;
    EXPECT_FALSE(video.close(error));
    EXPECT_EQ(error, "recording " + (dir / "empty.mp4").string() + " failed: no field came");
    EXPECT_FALSE(fs::exists(dir / "empty.mp4"));
}

} // namespace
