#pragma once

#include <cstdint>
#include <string>

#include "console/picture.h"

namespace frontend {

// One picture that tiles many fields at half size, each under a label with its field number, so a
// whole run can be seen at a glance.
class ContactSheet {
public:
    static constexpr std::uint32_t kColumns = 8;

    void add(std::uint64_t field, const console::Picture& picture);
    bool empty() const { return tiles_ == 0; }
    const console::Picture& picture() const { return sheet_; }
    bool write(const std::string& path, std::string& error) const;

private:
    console::Picture sheet_;
    std::uint32_t tileWidth_ = 0, tileHeight_ = 0;
    std::uint32_t tiles_ = 0;
};

} // namespace frontend
