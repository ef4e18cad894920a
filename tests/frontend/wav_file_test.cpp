#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "frontend/wav_file.h"
#include "tests/support/temp_files.h"

namespace {

using frontend::WavFile;
using testing_support::FreshDirectory;
using testing_support::ReadFile;

std::uint32_t U32(const std::string& bytes, std::size_t at)
{
    std::uint32_t v;
    std::memcpy(&v, bytes.data() + at, 4);
    return v;
}

TEST(WavFile, StopsWholeAtItsLimitAndSaysSo)
{
    const auto path = (FreshDirectory() / "full.wav").string();
    // Room for 10 stereo frames, and 2 bytes of an eleventh that must not be written.
    WavFile wav(42);
    std::string error;
    ASSERT_TRUE(wav.open(path, error)) << error;
    std::vector<std::int16_t> samples(2 * 4);
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<std::int16_t>(i + 1);
    EXPECT_TRUE(wav.add(samples));
    EXPECT_TRUE(wav.add(samples));
    EXPECT_FALSE(wav.add(samples)); // 2 of these 4 frames fit
    EXPECT_FALSE(wav.add(samples));
    EXPECT_FALSE(wav.close(error));
    EXPECT_EQ(error, path + " is full: a WAV file holds at most 4 GiB, 6 h 12 min of sound; the sound after that "
                            "was left out");

    const std::string bytes = ReadFile(path);
    ASSERT_EQ(bytes.size(), 44u + 40);
    EXPECT_EQ(U32(bytes, 4), 36u + 40);
    EXPECT_EQ(U32(bytes, 40), 40u);
    // The last frame written is the second frame of the third block.
    EXPECT_EQ(bytes[44 + 36], 3);
    EXPECT_EQ(bytes[44 + 38], 4);
}

} // namespace
