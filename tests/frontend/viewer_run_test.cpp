#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/frontend/orbdemo_run.h"
#include "tools/lwogen/shapes.h"

namespace {

using testing_support::Field;
using testing_support::FreshDirectory;
using testing_support::RunOrbdemo;
namespace fs = std::filesystem;
using namespace std::string_literals;

void Write(const fs::path& path, const lwogen::Bytes& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

// The box around the model's pixels: the surface and its outline are warm (red above blue), the backdrop and
// the caption cool.
struct Extent {
    int left = 640, right = -1, top = 256, bottom = -1;
    std::size_t pixels = 0;
};

Extent ModelExtent(const std::vector<std::uint32_t>& field)
{
    Extent e;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 640; ++x) {
            const std::uint32_t p = field[static_cast<std::size_t>(y) * 640 + x];
            if ((p & 0xFF) <= (p >> 16 & 0xFF)) continue;
            e.left = std::min(e.left, x), e.right = std::max(e.right, x);
            e.top = std::min(e.top, y), e.bottom = std::max(e.bottom, y);
            ++e.pixels;
        }
    return e;
}

// Pixels of the warm yellow in which a problem is told.
std::size_t ProblemPixels(const std::vector<std::uint32_t>& field)
{
    return static_cast<std::size_t>(
        std::count_if(field.begin(), field.end(), [](std::uint32_t p) { return (p & 0xFFFFFF) == 0x7AD2FF; }));
}

TEST(ViewerRun, LoadsTheEmbeddedPlateAndTurnsIt)
{
    const auto dir = FreshDirectory();
    const auto run = RunOrbdemo("--headless --frames 41 --png " + dir.string() + " --every 20", dir, "orbview");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("plate.lwo: 258 vertices, 504 triangles, code 0\n"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("padSetActAlign: 1\n"), std::string::npos) << run.output;
    const auto a = Field(dir, 20), b = Field(dir, 40);
    EXPECT_GT(ModelExtent(a).pixels, 20000u);
    EXPECT_GT(ModelExtent(b).pixels, 20000u);
    EXPECT_NE(a, b);
}

TEST(ViewerRun, FramesObjectsOfAnySizeAndPlaceWholeAndLarge)
{
    const auto dir = FreshDirectory();
    const std::pair<const char*, lwogen::Polyhedron> models[] = {
        {"tiny.lwo", lwogen::Box({0, 0, 0}, {0.002f, 0.001f, 0.0015f})},
        {"huge.lwo", lwogen::Box({0, 0, 0}, {40000, 25000, 30000})},
        {"far.lwo", lwogen::Prism({1000, -500, 2000}, 8, 3, 5)},
        {"sixty-six.lwo", lwogen::Prism({0, 0, 0}, 66, 1, 0.4f)},
    };
    for (const auto& [name, shape] : models) {
        Write(dir / name, lwogen::PolyhedronObject(shape));
        const auto pictures = dir / (std::string(name) + ".png");
        const auto run = RunOrbdemo("--headless --frames 301 --every 60 --png " + pictures.string() + " --host " +
                                        dir.string() + " --model " + name, dir, "orbview");
        ASSERT_EQ(run.status, 0) << run.output;
        for (int k = 60; k <= 300; k += 60) {
            const Extent e = ModelExtent(Field(pictures, k));
            // Whole: clear of every edge of the picture.
            EXPECT_TRUE(e.left > 0 && e.right < 639 && e.top > 0 && e.bottom < 255)
                << name << " field " << k << ": " << e.left << "-" << e.right << " x " << e.top << "-" << e.bottom;
            // Large: more than half the picture's height or width, and a good part of its area.
            EXPECT_TRUE(e.bottom - e.top > 128 || e.right - e.left > 320) << name << " field " << k;
            EXPECT_GT(e.pixels, 640u * 256 / 6) << name << " field " << k;
        }
    }
    // The 66-sided faces come whole: 64 triangles each, and 2 for each of the 66 walls.
    const auto run =
        RunOrbdemo("--headless --frames 2 --host " + dir.string() + " --model sixty-six.lwo", dir, "orbview");
    EXPECT_NE(run.output.find("sixty-six.lwo: 132 vertices, 260 triangles, code 0\n"), std::string::npos) << run.output;
}

TEST(ViewerRun, SaysWhatItCannotShowAndEndsWithStatus1)
{
    const auto dir = FreshDirectory();
    const lwogen::Polyhedron box = lwogen::Box({0, 0, 0}, {1, 1, 1});
    lwogen::Bytes noPolygons;
    const std::size_t form = lwogen::BeginChunk(noPolygons, "FORM");
    lwogen::PutId(noPolygons, "LWO2");
    const std::size_t points = lwogen::BeginChunk(noPolygons, "PNTS");
    for (int k = 0; k < 9; ++k) lwogen::PutF32(noPolygons, static_cast<float>(k));
    lwogen::EndChunk(noPolygons, points);
    lwogen::EndChunk(noPolygons, form);

    Write(dir / "old.lwo", {'F', 'O', 'R', 'M', 0, 0, 0, 4, 'L', 'W', 'O', 'B'});
    Write(dir / "empty.lwo", {});
    Write(dir / "layers.lwo", lwogen::PolyhedronObject(box, {.layers = 2}));
    Write(dir / "patches.lwo", lwogen::PolyhedronObject(box, {.polygonType = "PTCH"}));
    Write(dir / "curves.lwo", lwogen::PolyhedronObject(box, {.polygonType = "CURV"}));
    Write(dir / "points.lwo", noPolygons);
    Write(dir / "none.lwo", lwogen::PolyhedronObject({box.points, {}}));
    Write(dir / "stray.lwo", lwogen::PolyhedronObject({box.points, {{0, 1, 9}, {8, 2, 3}}}));
    const std::string longName(251, 'n');

    const std::pair<std::string, std::string> cases[] = {
        {"old.lwo", "not an LWO2 object"},
        {"empty.lwo", "not an LWO2 object"},
        {"layers.lwo", "more than one layer: only single-layer objects load"},
        {"patches.lwo", "no FACE polygons (subdivision patches are not loaded)"},
        {"curves.lwo", "no FACE polygons (CURV polygons are not loaded)"},
        {"points.lwo", "no FACE polygons"},
        {"none.lwo", "0 triangles"},
        {"stray.lwo", "0 triangles: all 2 name points the object does not have"},
        {"missing.lwo", "cannot open the file (no such file)"},
        {longName, "name too long: 251 characters, at most 250"},
    };
    for (const auto& [model, words] : cases) {
        const auto run = RunOrbdemo("--headless --frames 100 --host " + dir.string() + " --model " + model, dir,
                                    "orbview");
        EXPECT_EQ(run.status, 1) << model << run.output;
        EXPECT_NE(run.output.find("orbview: host:" + model + ": " + words + "\n"), std::string::npos) << run.output;
    }

    // In words on the screen too, for as long as --linger asks, then the same status.
    const auto pictures = dir / "pictures";
    const auto shown = RunOrbdemo("--headless --frames 100 --linger 12 --every 5 --png " + pictures.string() +
                                      " --host " + dir.string() + " --model layers.lwo", dir, "orbview");
    EXPECT_EQ(shown.status, 1) << shown.output;
    EXPECT_GT(ProblemPixels(Field(pictures, 5)), 300u);
    EXPECT_GT(ProblemPixels(Field(pictures, 10)), 300u);
    EXPECT_FALSE(fs::exists(pictures / "field-00015.png"));
}

TEST(ViewerRun, ShowsWhatAModelGivesAndSaysWhatItLeftOut)
{
    const auto dir = FreshDirectory();
    std::ifstream plate(ORB_SOURCE_DIR "/data/plate.lwo", std::ios::binary);
    const std::string object((std::istreambuf_iterator<char>(plate)), std::istreambuf_iterator<char>());
    std::ofstream(dir / "cut.lwo", std::ios::binary) << object.substr(0, 4000);
    lwogen::Polyhedron box = lwogen::Box({0, 0, 0}, {1, 1, 1});
    box.polygons.push_back({0, 1, 8});
    box.polygons.push_back({9, 1, 2, 3});
    Write(dir / "stray.lwo", lwogen::PolyhedronObject(box));

    const std::pair<std::string, std::string> cases[] = {
        {"cut.lwo", "the file ends inside a chunk: shown as far as it goes"},
        {"stray.lwo", "left out, naming points the object does not have: 3 triangles"},
    };
    for (const auto& [model, note] : cases) {
        const auto pictures = dir / (model + ".pictures");
        const auto run = RunOrbdemo("--headless --frames 21 --every 20 --png " + pictures.string() + " --host " +
                                        dir.string() + " --model " + model, dir, "orbview");
        EXPECT_EQ(run.status, 0) << run.output;
        EXPECT_NE(run.output.find("orbview: host:" + model + ": " + note + "\n"), std::string::npos) << run.output;
        EXPECT_GT(ProblemPixels(Field(pictures, 20)), 300u);
        EXPECT_GT(ModelExtent(Field(pictures, 20)).pixels, 10000u);
    }
}

TEST(ViewerRun, TakesAModelByPathKeepingTheHostFolderClosed)
{
    const auto dir = FreshDirectory();
    fs::create_directories(dir / "objects");
    Write(dir / "objects" / "box.lwo", lwogen::PolyhedronObject(lwogen::Box({0, 0, 0}, {1, 2, 3})));
    const auto relative = fs::relative(dir / "objects" / "box.lwo", fs::current_path());
    for (const fs::path& path : {dir / "objects" / "box.lwo", relative}) {
        const auto run = RunOrbdemo("--headless --frames 2 --model " + path.string(), dir, "orbview");
        EXPECT_EQ(run.status, 0) << path << run.output;
        EXPECT_NE(run.output.find("box.lwo: 8 vertices, 12 triangles, code 0\n"), std::string::npos) << run.output;
    }
    // The host folder still confines what a name reaches.
    const auto escape = RunOrbdemo("--headless --frames 2 --host " + (dir / "objects").string() +
                                       " --model ../objects/../../box.lwo", dir, "orbview");
    EXPECT_EQ(escape.status, 1) << escape.output;

    for (const auto& [words, error] : {std::pair("--model " + dir.string() + "/", "--model needs a file"s),
                                       std::pair("--wav out.wav"s, "orbview makes no sound"s)}) {
        const auto run = RunOrbdemo("--headless --frames 2 " + words, dir, "orbview");
        EXPECT_EQ(run.status, 2) << words;
        EXPECT_NE(run.output.find(error), std::string::npos) << run.output;
    }
}

TEST(ViewerRun, HelpListsWhatTheViewerDoesInAlignedColumns)
{
    const auto dir = FreshDirectory();
    const auto run = RunOrbdemo("--help", dir, "orbview");
    ASSERT_EQ(run.status, 0);
    for (const char* option :
         {"--model FILE", "--linger N", "--host DIR", "--pad KIND", "--png DIR", "START", "SELECT"})
        EXPECT_NE(run.output.find(option), std::string::npos) << option;
    EXPECT_EQ(run.output.find("--wav"), std::string::npos);
    EXPECT_EQ(run.output.find("the song"), std::string::npos);
    std::istringstream lines(run.output);
    for (std::string line; std::getline(lines, line);) {
        if (!line.starts_with("  ")) continue;
        // Every description, and every line that goes on with one, starts in column 24.
        EXPECT_TRUE(line.size() > 24 && line[23] == ' ' && line[24] != ' ') << line;
        EXPECT_LE(line.size(), 110u) << line;
    }
}

TEST(ViewerRun, ControllerKindsSetUpAsTheyCanAndNoneStopsTheRun)
{
    const auto dir = FreshDirectory();
    const auto digital = RunOrbdemo("--headless --frames 3 --pad digital", dir, "orbview");
    EXPECT_EQ(digital.status, 0) << digital.output;
    EXPECT_NE(digital.output.find("This is NOT a dual shock controller\n"), std::string::npos) << digital.output;
    const auto none = RunOrbdemo("--headless --frames 3 --pad none", dir, "orbview");
    EXPECT_NE(none.status, 0);
    EXPECT_NE(none.output.find("pad initalization failed!\n"), std::string::npos) << none.output;
    EXPECT_NE(none.output.find("went to sleep"), std::string::npos) << none.output;
}

} // namespace
