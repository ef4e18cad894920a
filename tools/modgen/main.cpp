// Composes the demo's song and writes it as a ProTracker module: orb_modgen OUTFILE. With --test-song TAG it
// writes a short test song of that kind instead (TAG as at byte 1080 of the file, "M.K.", "8CHN", "12CH", ...,
// or OLD for a 15-sample Soundtracker module).

#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>

#include "tools/modgen/mod_writer.h"
#include "tools/modgen/song.h"
#include "tools/modgen/test_songs.h"

int main(int argc, char** argv)
{
    const bool test = argc == 4 && std::string(argv[1]) == "--test-song";
    if (argc != 2 && !test) {
        std::cerr << "usage: orb_modgen [--test-song TAG] OUTFILE\n";
        return 2;
    }
    const char* path = argv[argc - 1];
    try {
        const std::string tag = test && std::string(argv[2]) != "OLD" ? argv[2] : "";
        const modgen::Module module = test ? modgen::ComposeTestSong(tag) : modgen::ComposeSong();
        const std::vector<std::uint8_t> bytes = modgen::WriteModule(module);
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) {
            std::cerr << "orb_modgen: cannot write " << path << '\n';
            return 1;
        }
    } catch (const std::invalid_argument& e) {
        std::cerr << "orb_modgen: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
