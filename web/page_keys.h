#pragma once

#include <string_view>

#include "console/pad/controller.h"

namespace web {

// The controller in port 0 as the page's keys hold it: the desktop window's keys (arrows, X, C, S, D, Enter,
// Backspace, R, W, + and -), named as the browser names keys (KeyboardEvent.code); the arrows also push the
// left stick.
class PageKeys {
public:
    // False when the key is none of the controller's.
    bool press(std::string_view code, bool down);
    pad::Input input() const;
    void releaseAll() { buttons_ = 0; }

private:
    std::uint16_t buttons_ = 0;
};

} // namespace web
