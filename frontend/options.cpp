#include "frontend/options.h"

#include <charconv>

namespace frontend {
namespace {

bool ParseCount(const std::string& text, std::uint64_t& out)
{
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc{} && ptr == end && out > 0;
}

} // namespace

std::string UsageText()
{
    return "usage: orbdemo [options]\n"
           "\n"
           "Runs the demo on the software console: in a window when a display is there, otherwise\n"
           "headless, recording one pass (4101 fields) to orbdemo.mp4.\n"
           "\n"
           "options:\n"
           "  --headless            run in virtual time without a window (needs --frames)\n"
           "  --frames N            stop after N fields (vertical blanks), counted from 0\n"
           "  --png DIR             write the picture of every K-th field as DIR/field-NNNNN.png\n"
           "  --every K             with --png, --contact-sheet or --video: every K-th field (default 1)\n"
           "  --contact-sheet FILE  write one PNG that tiles every K-th field, each labelled\n"
           "  --video FILE          record the fields to a video file (needs ffmpeg)\n"
           "  --gs-dump FILE        record everything the GS receives to FILE (format: docs/gs-dump.md;\n"
           "                        gzip-compressed when FILE ends in .gz)\n"
           "  --gs-dump-from F      start that record at field F, with a snapshot of the GS state\n"
           "  --replay FILE         replay a GS dump through the GS model instead of running the program;\n"
           "                        --png, --every, --contact-sheet and --frames apply to it\n"
           "  --stats               at the end, report fields per second and pixels drawn per field\n"
           "  --help                show this text\n";
}

std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error)
{
    Options o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                error = a + " needs a value";
                return false;
            }
            out = args[++i];
            if (out.empty()) {
                error = a + " needs a value";
                return false;
            }
            return true;
        };
        auto count = [&](std::uint64_t& out) {
            std::string text;
            if (!value(text)) return false;
            if (!ParseCount(text, out)) {
                error = a + " needs a whole number above 0, not \"" + text + "\"";
                return false;
            }
            return true;
        };
        bool ok = true;
        if (a == "--help" || a == "-h") o.help = true;
        else if (a == "--headless") o.headless = true;
        else if (a == "--stats") o.stats = true;
        else if (a == "--frames") ok = count(o.frames);
        else if (a == "--every") ok = count(o.every);
        else if (a == "--png") ok = value(o.pngDir);
        else if (a == "--contact-sheet") ok = value(o.contactSheet);
        else if (a == "--video") ok = value(o.video);
        else if (a == "--gs-dump") ok = value(o.gsDump);
        else if (a == "--gs-dump-from") ok = count(o.gsDumpFrom);
        else if (a == "--replay") ok = value(o.replay);
        else {
            error = "unknown option \"" + a + "\" (see --help)";
            return std::nullopt;
        }
        if (!ok) return std::nullopt;
    }
    if (o.help) return o;
    if (o.headless && o.replay.empty() && o.frames == 0) {
        error = "--headless needs --frames N";
        return std::nullopt;
    }
    if (o.gsDumpFrom != 0 && o.gsDump.empty()) {
        error = "--gs-dump-from needs --gs-dump FILE";
        return std::nullopt;
    }
    if (!o.replay.empty() && !o.gsDump.empty()) {
        error = "--replay and --gs-dump cannot be used together";
        return std::nullopt;
    }
    return o;
}

} // namespace frontend
