// Golden frames: GS dumps of a few fields of each scene of the demo, replayed through the GS model and
// compared with committed pictures. To rebaseline on purpose after a deliberate change, run the test
// with ORB_REBASELINE=1 (see tests/goldens/README.md); it then writes the pictures instead.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "console/dump/dump_file.h"
#include "console/dump/gs_dump.h"
#include "frontend/png_file.h"

namespace {

namespace fs = std::filesystem;

const fs::path kGoldens = fs::path(ORB_SOURCE_DIR) / "tests" / "goldens";

// Keeps the replay's pictures.
class PictureHost final : public console::Host {
public:
    void field(const console::Field& field) override
    {
        pictures.emplace_back();
        field.read(pictures.back());
    }
    void message(std::string_view text) override { messages.emplace_back(text); }

    std::vector<console::Picture> pictures;
    std::vector<std::string> messages;
};

std::vector<std::string> Scenes()
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kGoldens)) {
        const std::string name = entry.path().filename().string();
        const std::string suffix = ".gsdump.gz";
        if (name.size() > suffix.size() && name.ends_with(suffix)) names.push_back(name.substr(0, name.size() - suffix.size()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

class GoldenFrames : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenFrames, ReplayMatchesTheBaseline)
{
    const std::string scene = GetParam();
    console::DumpFileBuf file;
    ASSERT_TRUE(file.openForReading((kGoldens / (scene + ".gsdump.gz")).string()));
    std::istream in(&file);
    PictureHost host;
    std::string error;
    ASSERT_TRUE(console::ReplayGsDump(in, host, error)) << error;
    ASSERT_FALSE(host.pictures.empty());
    EXPECT_TRUE(host.messages.empty()) << host.messages.front();

    const bool rebaseline = std::getenv("ORB_REBASELINE") != nullptr;
    for (std::size_t k = 0; k < host.pictures.size(); ++k) {
        const fs::path baseline = kGoldens / (scene + "-" + std::to_string(k) + ".png");
        if (rebaseline) {
            ASSERT_TRUE(frontend::WritePng(baseline.string(), host.pictures[k], error)) << error;
            continue;
        }
        console::Picture expected;
        ASSERT_TRUE(frontend::ReadPng(baseline.string(), expected, error)) << error;
        const console::Picture& actual = host.pictures[k];
        ASSERT_EQ(actual.width, expected.width);
        ASSERT_EQ(actual.height, expected.height);
        std::size_t differing = 0;
        for (std::size_t i = 0; i < actual.pixels.size(); ++i) differing += actual.pixels[i] != expected.pixels[i];
        if (differing != 0) {
            const fs::path saved = fs::path(ORB_BINARY_DIR) / (scene + "-" + std::to_string(k) + "-actual.png");
            frontend::WritePng(saved.string(), actual, error);
            ADD_FAILURE() << scene << " field " << k << ": " << differing << " pixels differ from " << baseline
                          << "; the replay's picture is at " << saved;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Scenes, GoldenFrames, ::testing::ValuesIn(Scenes()),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });
// A missing dump is reported below, not as an empty suite.
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(GoldenFrames);

TEST(GoldenFrameSet, EverySceneOfThePassHasADump)
{
    EXPECT_EQ(Scenes(), (std::vector<std::string>{"band-closing", "flag-fall", "flag-hanging", "flag-wind",
                                                  "sprite-clouds", "startup"}));
}

} // namespace
