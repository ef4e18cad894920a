#include "web/page_keys.h"

#include "ps2/libpad.h"

namespace web {
namespace {

struct KeyButton {
    std::string_view code;
    std::uint16_t button;
};

// R and W are orbview's reset and outline keys; + and - its zoom.
constexpr KeyButton kKeyButtons[] = {
    {"ArrowUp", PAD_UP},      {"ArrowDown", PAD_DOWN},   {"ArrowLeft", PAD_LEFT},      {"ArrowRight", PAD_RIGHT},
    {"Enter", PAD_START},     {"NumpadEnter", PAD_START}, {"Backspace", PAD_SELECT},   {"KeyX", PAD_CROSS},
    {"KeyC", PAD_CIRCLE},     {"KeyS", PAD_SQUARE},      {"KeyD", PAD_TRIANGLE},       {"KeyR", PAD_START},
    {"KeyW", PAD_SELECT},     {"Equal", PAD_R1},         {"NumpadAdd", PAD_R1},        {"Minus", PAD_L1},
    {"NumpadSubtract", PAD_L1},
};

} // namespace

bool PageKeys::press(std::string_view code, bool down)
{
    for (const KeyButton& k : kKeyButtons) {
        if (k.code != code) continue;
        if (down)
            buttons_ |= k.button;
        else
            buttons_ &= static_cast<std::uint16_t>(~k.button);
        return true;
    }
    return false;
}

pad::Input PageKeys::input() const
{
    pad::Input input;
    input.buttons = buttons_;
    if (buttons_ & PAD_LEFT) input.leftX = 0;
    if (buttons_ & PAD_RIGHT) input.leftX = 255;
    if (buttons_ & PAD_UP) input.leftY = 0;
    if (buttons_ & PAD_DOWN) input.leftY = 255;
    return input;
}

} // namespace web
