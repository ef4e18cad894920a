// Writes the embedded LightWave object: orb_lwogen OUTFILE (the committed one is data/plate.lwo).

#include <fstream>
#include <iostream>

#include "tools/lwogen/plate.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: orb_lwogen OUTFILE\n";
        return 2;
    }
    const lwogen::Bytes object = lwogen::PlateObject();
    std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(object.data()), static_cast<std::streamsize>(object.size()));
    if (!file.flush()) {
        std::cerr << "orb_lwogen: cannot write " << argv[1] << '\n';
        return 1;
    }
    return 0;
}
