// Draws the embedded images into a folder: orb_imagegen DIR writes DIR/flag.png and DIR/glow.png.

#include <iostream>
#include <string>

#include "frontend/png_file.h"
#include "tools/imagegen/images.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: orb_imagegen DIR\n";
        return 2;
    }
    const std::string dir = argv[1];
    std::string error;
    if (!frontend::WritePng(dir + "/flag.png", imagegen::FlagPicture(), error) ||
        !frontend::WritePng(dir + "/glow.png", imagegen::GlowPicture(), error)) {
        std::cerr << "orb_imagegen: " << error << '\n';
        return 1;
    }
    return 0;
}
