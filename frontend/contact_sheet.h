#pragma once

#include <cstdint>
#include <string>

#include "console/picture.h"

namespace frontend {

// One picture that tiles many fields, each as a small 4:3 picture as the screen shows it, under a label with
// its field number, so a whole run can be seen at a glance.
class ContactSheet {
public:
    static constexpr std::uint32_t kColumns = 8;
    static constexpr std::uint32_t kTileWidth = 256, kTileHeight = 192;
    // 64 rows of 8: a picture of about 2,000 x 13,000 pixels, 110 MB while it is made.
    static constexpr std::uint32_t kMaxTiles = 512;

    // Adds a tile; false once the sheet is full.
    bool add(std::uint64_t field, const console::Picture& picture);
    bool empty() const { return tiles_ == 0; }
    const console::Picture& picture() const { return sheet_; }
    bool write(const std::string& path, std::string& error) const;

private:
    console::Picture sheet_;
    std::uint32_t tiles_ = 0;
};

} // namespace frontend
