#include "frontend/options.h"

#include <algorithm>
#include <charconv>
#include <string_view>
#include <utility>

namespace frontend {
namespace {

bool ParseCount(const std::string& text, std::uint64_t& out)
{
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc{} && ptr == end && out > 0;
}

// "1600,2000,3700": counts above 0 in increasing order.
bool ParseSplits(const std::string& text, std::vector<std::uint64_t>& out)
{
    out.clear();
    for (std::size_t begin = 0;;) {
        const std::size_t comma = std::min(text.find(',', begin), text.size());
        std::uint64_t mark = 0;
        if (!ParseCount(text.substr(begin, comma - begin), mark) || (!out.empty() && mark <= out.back()))
            return false;
        out.push_back(mark);
        if (comma == text.size()) return true;
        begin = comma + 1;
    }
}

bool ParsePad(const std::string& text, pad::Kind& out, std::string& error)
{
    static constexpr std::pair<std::string_view, pad::Kind> kKinds[] = {
        {"dualshock", pad::Kind::DualShock},
        {"dualshock-noact", pad::Kind::DualShockNoActuators},
        {"digital", pad::Kind::Digital},
        {"none", pad::Kind::None},
    };
    for (const auto& [name, kind] : kKinds) {
        if (text == name) {
            out = kind;
            return true;
        }
    }
    error = "--pad needs dualshock, dualshock-noact, digital or none, not \"" + text + "\"";
    return false;
}

} // namespace

std::string UsageText(const Program& program)
{
    const std::string& name = program.name;
    std::string own = program.optionsHelp;
    if (own.empty())
        for (const std::string& option : program.options) {
            const std::string head = "  " + option + " VALUE";
            own += head + std::string(head.size() < 24 ? 24 - head.size() : 1, ' ') + "handed to the program\n";
        }
    // A silent program is offered nothing about sound.
    const bool sound = program.sound;
    const std::string video = sound ? "the fields and the sound" : "the fields";
    const std::string wav =
        sound ? "  --wav FILE            record the sound to a WAV file (48 kHz stereo, one field's worth per field)\n"
              : "";
    const std::string hostFiles = sound ? ", with the song and the player module)" : ")";
    return "usage: " + name + " [options]\n"
           "\n"
           "Runs " + name + " on the software console: in a window when a display is there, otherwise\n"
           "headless, recording " + std::to_string(program.onePass) + " fields to " + name + ".mp4.\n"
           "\n"
           "options:\n" + own +
           "  --headless            run in virtual time without a window (needs --frames)\n"
           "  --frames N            stop after N fields (vertical blanks), counted from 0\n"
           "  --png DIR             write the picture of every K-th field as DIR/field-NNNNN.png, as the\n"
           "                        display circuit reads it out (640 x 256 here)\n"
           "  --png-4x3             with --png: write 768 x 576 pictures instead, square pixels, as a 4:3\n"
           "                        screen shows the field\n"
           "  --every K             with --png, --contact-sheet or --video: every K-th field (default 1)\n"
           "  --contact-sheet FILE  write one PNG that tiles every K-th field, each labelled\n"
           "  --video FILE          record " + video + " to a video file (needs ffmpeg)\n"
           + wav +
           "  --host DIR            the directory the console's \"host:\" device serves (default: the build's\n"
           "                        host folder" + hostFiles + "\n"
           "  --pad KIND            the controller in port 0: dualshock (default, two actuators),\n"
           "                        dualshock-noact, digital or none\n"
           "  --gs-dump FILE        record everything the GS receives to FILE (format: docs/gs-dump.md;\n"
           "                        gzip-compressed when FILE ends in .gz)\n"
           "  --gs-dump-from F      start that record at field F, with a snapshot of the GS state\n"
           "  --replay FILE         replay a GS dump through the GS model instead of running the program;\n"
           "                        --png, --every, --contact-sheet and --frames apply to it\n"
           "  --field-hashes FILE   write one line per field to FILE: its number and a hash of its picture,\n"
           "                        to compare two runs field by field\n"
           "  --gs-check[=strict]   check what the GS is sent (GIF tags, registers, textures, buffers, DMA)\n"
           "                        and report each fault on stderr, with a summary at the end (see\n"
           "                        docs/gs-check.md); strict: exit with status 3 when anything is found\n"
           "  --stats               at the end, report fields per second and pixels drawn per field\n"
           "  --stats-split F,G,..  with --stats, also report fields per second from field 0 to F - 1,\n"
           "                        from F to G - 1 and so on, all timed in the one run\n"
           "  --help                show this text\n" +
           (program.helpNotes.empty() ? "" : "\n" + program.helpNotes);
}

std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error,
                                    const std::vector<std::string>& programOptions)
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
        else if (a == "--gs-check") o.gsCheck = Options::GsCheck::On;
        else if (a == "--gs-check=strict") o.gsCheck = Options::GsCheck::Strict;
        else if (a.starts_with("--gs-check=")) {
            error = "--gs-check takes no value or =strict, not \"" + a.substr(11) + "\"";
            return std::nullopt;
        }
        else if (a == "--png-4x3") o.png4x3 = true;
        else if (a == "--frames") ok = count(o.frames);
        else if (a == "--every") ok = count(o.every);
        else if (a == "--png") ok = value(o.pngDir);
        else if (a == "--contact-sheet") ok = value(o.contactSheet);
        else if (a == "--video") ok = value(o.video);
        else if (a == "--gs-dump") ok = value(o.gsDump);
        else if (a == "--gs-dump-from") ok = count(o.gsDumpFrom);
        else if (a == "--replay") ok = value(o.replay);
        else if (a == "--wav") ok = value(o.wav);
        else if (a == "--field-hashes") ok = value(o.fieldHashes);
        else if (a == "--host") ok = value(o.hostDir);
        else if (a == "--stats-split") {
            std::string text;
            ok = value(text);
            if (ok && !ParseSplits(text, o.statsSplits)) {
                error = "--stats-split needs field counts above 0 in increasing order, separated by commas, "
                        "not \"" + text + "\"";
                return std::nullopt;
            }
        }
        else if (std::find(programOptions.begin(), programOptions.end(), a) != programOptions.end()) {
            std::string text;
            ok = value(text);
            o.programArgs.insert(o.programArgs.end(), {a, text});
        } else if (a == "--pad") {
            std::string kind;
            ok = value(kind) && ParsePad(kind, o.pad, error);
        }
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
    if (o.png4x3 && o.pngDir.empty()) {
        error = "--png-4x3 needs --png DIR";
        return std::nullopt;
    }
    if (o.gsDumpFrom != 0 && o.gsDump.empty()) {
        error = "--gs-dump-from needs --gs-dump FILE";
        return std::nullopt;
    }
    if (o.gsDumpFrom != 0 && o.frames != 0 && o.gsDumpFrom >= o.frames) {
        error = "--gs-dump-from " + std::to_string(o.gsDumpFrom) + " is not before --frames " +
                std::to_string(o.frames) + ": the dump would hold no field";
        return std::nullopt;
    }
    if (!o.replay.empty() && !o.wav.empty()) {
        error = "--replay has no sound for --wav";
        return std::nullopt;
    }
    if (!o.replay.empty() && !o.gsDump.empty()) {
        error = "--replay and --gs-dump cannot be used together";
        return std::nullopt;
    }
    return o;
}

} // namespace frontend
