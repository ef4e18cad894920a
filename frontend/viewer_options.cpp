#include "frontend/viewer_options.h"

#include <charconv>
#include <cstdint>
#include <filesystem>

namespace frontend {

const char kViewerOptionsHelp[] =
    "  --model FILE          the LWO2 object to show (default: the embedded plate). Without --host, a file\n"
    "                        path: the console's \"host:\" device serves its folder; with --host DIR, a name\n"
    "                        inside DIR; host:NAME is always a name inside the host folder\n"
    "  --linger N            fields to show what keeps an object from being shown before ending with\n"
    "                        status 1 (default 250, five seconds; 0 with --headless)\n";

const char kViewerControlsHelp[] =
    "controls (the controller in port 0): the left stick or the direction buttons turn the model, R1 held\n"
    "zooms in, L1 held zooms out, START resets the view, SELECT switches the polygon outline (on at first).\n";

namespace {

constexpr std::string_view kHostPrefix = "host:";

bool SettleModel(Options& options, std::string& value, std::string& error)
{
    if (value.starts_with(kHostPrefix)) {
        value.erase(0, kHostPrefix.size());
        if (!value.empty()) return true;
        error = "--model host: needs a name behind it";
        return false;
    }
    if (!options.hostDir.empty()) return true;
    const std::filesystem::path path(value);
    const std::filesystem::path file = path.filename();
    if (file.empty() || file == "." || file == "..") {
        error = "--model needs a file, not the folder \"" + value + "\"";
        return false;
    }
    options.hostDir = path.has_parent_path() ? path.parent_path().string() : ".";
    value = file.string();
    return true;
}

bool SettleLinger(const std::string& value, std::string& error)
{
    std::uint32_t fields = 0;
    const char* end = value.data() + value.size();
    const auto [ptr, ec] = std::from_chars(value.data(), end, fields);
    if (ec == std::errc{} && ptr == end) return true;
    error = "--linger needs a whole number of fields, not \"" + value + "\"";
    return false;
}

} // namespace

bool PrepareViewerOptions(Options& options, std::string& error)
{
    // The program's options come as pairs of option and value; the program takes the last of each.
    std::string* model = nullptr;
    for (std::size_t i = 0; i + 1 < options.programArgs.size(); i += 2) {
        const std::string& option = options.programArgs[i];
        if (option == "--model") model = &options.programArgs[i + 1];
        if (option == "--linger" && !SettleLinger(options.programArgs[i + 1], error)) return false;
    }
    return !model || SettleModel(options, *model, error);
}

} // namespace frontend
