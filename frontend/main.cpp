#include <iostream>
#include <string>
#include <vector>

#include "frontend/options.h"
#include "frontend/run.h"
#include "frontend/window.h"

namespace {

// One pass of the demo's timeline, in fields.
constexpr std::uint64_t kOnePass = 4101;

} // namespace

int main(int argc, char** argv)
{
    std::string error;
    auto options = frontend::ParseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::cerr << "orbdemo: " << error << '\n';
        return 2;
    }
    if (options->help) {
        std::cout << frontend::UsageText();
        return 0;
    }
    if (!options->replay.empty()) return frontend::RunReplay(*options);
    if (options->headless) return frontend::RunHeadless(*options);
    if (frontend::Window::Available()) return frontend::RunWindowed(*options);
    // No display: record one pass instead.
    if (options->frames == 0) options->frames = kOnePass;
    if (options->video.empty() && options->pngDir.empty() && options->contactSheet.empty())
        options->video = "orbdemo.mp4";
    std::cerr << "orbdemo: no display; recording " << options->frames << " fields";
    if (!options->video.empty()) std::cerr << " to " << options->video;
    std::cerr << '\n';
    return frontend::RunHeadless(*options);
}
