#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "console/host.h"
#include "web/page_keys.h"

namespace web {

// The page side of the console: keeps the newest field for the page to draw, counts the fields the page
// could not show because a newer one came first, holds the controller's keys and passes messages on.
// Sound does not pass through here: the player module hands the song to the page's worklet.
class PageHost final : public console::Host {
public:
    using MessageOut = std::function<void(std::string_view)>;

    explicit PageHost(MessageOut out) : out_(std::move(out)) {}

    // Without pictures (for timing runs) fields are only counted.
    void showPictures(bool show) { show_ = show; }
    // Holds the program after this field (counted from 0) has come, with that field on show; 0 never holds.
    void holdAfter(std::uint64_t field) { holdAfter_ = field; }
    bool holding() const { return holding_; }

    void field(const console::Field& field) override;
    pad::Input controllerInput() override { return keys_.input(); }
    void message(std::string_view text) override { out_(text); }

    // The newest field as line-doubled RGBA when the page has not drawn it yet, else null; the page draws it.
    const std::vector<std::uint8_t>* take();
    std::uint32_t width() const { return width_; }
    std::uint32_t height() const { return height_; }

    PageKeys& keys() { return keys_; }
    std::uint64_t fields() const { return fields_; }
    std::uint64_t shown() const { return shown_; }
    std::uint64_t notShown() const { return notShown_; }
    // The index of the field last handed to the page.
    std::uint64_t shownField() const { return shownField_; }

private:
    MessageOut out_;
    bool show_ = true;
    std::uint64_t holdAfter_ = 0;
    bool holding_ = false;
    console::Picture picture_;
    std::vector<std::uint8_t> rgba_;
    std::uint32_t width_ = 0, height_ = 0;
    bool fresh_ = false;
    std::uint64_t freshField_ = 0;
    std::uint64_t fields_ = 0, shown_ = 0, notShown_ = 0, shownField_ = 0;
    PageKeys keys_;
};

} // namespace web
