// Composes the demo's song and writes it as a ProTracker module: orb_modgen OUTFILE.

#include <fstream>
#include <iostream>
#include <stdexcept>

#include "tools/modgen/mod_writer.h"
#include "tools/modgen/song.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: orb_modgen OUTFILE\n";
        return 2;
    }
    try {
        const std::vector<std::uint8_t> bytes = modgen::WriteModule(modgen::ComposeSong());
        std::ofstream out(argv[1], std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) {
            std::cerr << "orb_modgen: cannot write " << argv[1] << '\n';
            return 1;
        }
    } catch (const std::invalid_argument& e) {
        std::cerr << "orb_modgen: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
