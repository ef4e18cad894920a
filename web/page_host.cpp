#include "web/page_host.h"

#include "web/page_picture.h"

namespace web {

void PageHost::field(const console::Field& field)
{
    ++fields_;
    if (holdAfter_ != 0 && field.index() >= holdAfter_) holding_ = true;
    if (!show_) return;
    if (fresh_) ++notShown_;
    field.read(picture_);
    LineDoubled(picture_, rgba_);
    width_ = picture_.width;
    height_ = picture_.height * 2;
    fresh_ = true;
    freshField_ = field.index();
}

const std::vector<std::uint8_t>* PageHost::take()
{
    if (!fresh_) return nullptr;
    fresh_ = false;
    ++shown_;
    shownField_ = freshField_;
    return &rgba_;
}

} // namespace web
