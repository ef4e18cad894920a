// Writes LightWave objects: the embedded plate (orb_lwogen OUTFILE, committed as data/plate.lwo), a box
// (orb_lwogen box SX SY SZ X Y Z OUTFILE) or an upright prism (orb_lwogen prism SIDES RADIUS HEIGHT X Y Z OUTFILE).

#include <charconv>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "tools/lwogen/plate.h"
#include "tools/lwogen/shapes.h"

namespace {

constexpr char kUsage[] = "usage: orb_lwogen OUTFILE\n"
                          "       orb_lwogen box SX SY SZ X Y Z OUTFILE\n"
                          "       orb_lwogen prism SIDES RADIUS HEIGHT X Y Z OUTFILE\n";

std::optional<float> Number(const std::string& text)
{
    float value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

// The object the words ask for, or nothing when they ask for none.
std::optional<lwogen::Bytes> Object(const std::vector<std::string>& words)
{
    if (words.empty()) return lwogen::PlateObject();
    std::vector<float> n;
    for (std::size_t k = 1; k < words.size(); ++k) {
        const auto value = Number(words[k]);
        if (!value) return std::nullopt;
        n.push_back(*value);
    }
    if (words[0] == "box" && n.size() == 6)
        return lwogen::PolyhedronObject(lwogen::Box({n[3], n[4], n[5]}, {n[0], n[1], n[2]}));
    // 1,023 vertices is the most a polygon's count can say.
    if (words[0] == "prism" && n.size() == 6 && n[0] >= 3 && n[0] <= 1023 && n[0] == static_cast<int>(n[0]))
        return lwogen::PolyhedronObject(lwogen::Prism({n[3], n[4], n[5]}, static_cast<int>(n[0]), n[1], n[2]));
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::cerr << kUsage;
        return 2;
    }
    const auto object = Object(std::vector<std::string>(argv + 1, argv + argc - 1));
    if (!object) {
        std::cerr << kUsage;
        return 2;
    }
    const char* path = argv[argc - 1];
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(object->data()), static_cast<std::streamsize>(object->size()));
    if (!file.flush()) {
        std::cerr << "orb_lwogen: cannot write " << path << '\n';
        return 1;
    }
    return 0;
}
