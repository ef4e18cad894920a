// Turns the data files of data/ into C++ definitions of the program's embedded data.
//
//   orb_embed font  FONT.txt  SYMBOL OUT.cpp          8 x 8 font drawn as text, 256 glyphs
//   orb_embed image IMAGE.png SYMBOL ALPHA OUT.cpp    RGB image, every pixel given alpha ALPHA
//   orb_embed bytes FILE HEADER SYMBOL OUT.cpp        the file's bytes and one zero byte behind them;
//                                                     HEADER declares SYMBOL

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "frontend/png_file.h"

namespace {

bool Fail(const std::string& message)
{
    std::cerr << "orb_embed: " << message << '\n';
    return false;
}

// Reads a font file: for each code 0..255 in order, a line "code N" and eight rows of eight '.' or '#'.
bool ReadFont(const std::string& path, std::vector<unsigned char>& bytes)
{
    std::ifstream in(path);
    if (!in) return Fail("cannot read " + path);
    bytes.assign(2048, 0);
    std::string line;
    int lineNumber = 0, code = -1, row = 8;
    while (std::getline(in, line)) {
        ++lineNumber;
        // Inside a glyph a leading '#' is a lit pixel, not a comment.
        if (line.empty() || (line[0] == '#' && row == 8)) continue;
        const std::string where = path + ":" + std::to_string(lineNumber) + ": ";
        if (line.rfind("code ", 0) == 0) {
            if (row != 8) return Fail(where + "glyph " + std::to_string(code) + " has fewer than 8 rows");
            if (line.substr(5) != std::to_string(code + 1)) return Fail(where + "expected \"code " + std::to_string(code + 1) + "\"");
            ++code;
            row = 0;
            continue;
        }
        if (code < 0 || row == 8) return Fail(where + "pixel row outside a glyph");
        if (line.size() != 8 || line.find_first_not_of(".#") != std::string::npos)
            return Fail(where + "a pixel row is eight characters of '.' and '#'");
        unsigned char bits = 0;
        for (int k = 0; k < 8; ++k)
            if (line[k] == '#') bits |= static_cast<unsigned char>(0x80 >> k);
        bytes[8 * code + row++] = bits;
    }
    if (code != 255 || row != 8) return Fail(path + ": the font must hold the 256 glyphs 0 to 255");
    return true;
}

bool WriteFont(const std::vector<unsigned char>& bytes, const std::string& symbol, std::ostream& out)
{
    out << "#include \"data/font.h\"\n\nconst u8 " << symbol << "[2048] = {";
    for (std::size_t i = 0; i < bytes.size(); ++i) out << (i % 16 ? " " : "\n    ") << static_cast<int>(bytes[i]) << ',';
    out << "\n};\n";
    return true;
}

bool WriteImage(const console::Picture& picture, const std::string& symbol, unsigned alpha, std::ostream& out)
{
    out << "#include \"data/images.h\"\n\nEmbeddedImage<" << picture.width << ", " << picture.height << "> " << symbol
        << " = {" << picture.width << ", " << picture.height << ", {0, 0}, {";
    char text[16];
    for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
        std::snprintf(text, sizeof text, "0x%08x,", (picture.pixels[i] & 0xFFFFFFu) | (alpha << 24));
        out << (i % 8 ? " " : "\n    ") << text;
    }
    out << "\n}};\n";
    return true;
}

bool ReadBytes(const std::string& path, std::vector<unsigned char>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return Fail("cannot read " + path);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

bool WriteBytes(const std::vector<unsigned char>& bytes, const std::string& header, const std::string& symbol,
                std::ostream& out)
{
    out << "#include \"" << header << "\"\n\nconst u8 " << symbol << "[" << bytes.size() + 1 << "] = {";
    for (std::size_t i = 0; i < bytes.size(); ++i) out << (i % 16 ? " " : "\n    ") << static_cast<int>(bytes[i]) << ',';
    out << "\n    0,\n};\n";
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::ostringstream out;
    std::string outPath;
    if (args.size() == 4 && args[0] == "font") {
        std::vector<unsigned char> bytes;
        if (!ReadFont(args[1], bytes) || !WriteFont(bytes, args[2], out)) return 1;
        outPath = args[3];
    } else if (args.size() == 5 && args[0] == "image") {
        console::Picture picture;
        std::string error;
        if (!frontend::ReadPng(args[1], picture, error)) return Fail(error), 1;
        char* end = nullptr;
        const unsigned long alpha = std::strtoul(args[3].c_str(), &end, 0);
        if (args[3].empty() || *end != '\0' || alpha > 255) return Fail("alpha must be 0 to 255"), 1;
        if (!WriteImage(picture, args[2], static_cast<unsigned>(alpha), out)) return 1;
        outPath = args[4];
    } else if (args.size() == 5 && args[0] == "bytes") {
        std::vector<unsigned char> bytes;
        if (!ReadBytes(args[1], bytes) || !WriteBytes(bytes, args[2], args[3], out)) return 1;
        outPath = args[4];
    } else {
        std::cerr << "usage: orb_embed font FONT.txt SYMBOL OUT.cpp\n"
                     "       orb_embed image IMAGE.png SYMBOL ALPHA OUT.cpp\n"
                     "       orb_embed bytes FILE HEADER SYMBOL OUT.cpp\n";
        return 2;
    }
    std::ofstream file(outPath, std::ios::trunc);
    file << out.str();
    if (!file.flush()) return Fail("cannot write " + outPath), 1;
    return 0;
}
