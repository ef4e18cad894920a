#pragma once

// Two threads may draw the same primitives, each only its own window rows. That is safe while every page
// written is written through one buffer shape (a row of it is then always the same thread's) and no
// page is both read as a texture and written since the threads last met. Both threads see the same GIF stream and keep
// the same record, so both find the same points where they must meet.

#include <algorithm>
#include <array>

#include "console/gs/layout.h"

namespace gs {

inline constexpr u32 kPages = 512; // of 8 KiB: local memory

// Pages [first, last] of local memory.
struct Pages {
    u32 first, last;
    bool meets(const Pages& o) const { return first <= o.last && o.first <= last; }
};

// The pages a buffer at page `base`, `width` pages wide, uses up to pixel (x, y).
inline Pages PagesUpTo(u32 base, u32 width, u32 x, u32 y) { return {base, base + (y / 32) * width + x / 64}; }

// The pages a buffer at block `bp` uses up to pixel (x, y): a block that is not page aligned reaches one
// page further.
inline Pages BlockPagesUpTo(u32 bp, u32 width, u32 x, u32 y)
{
    Pages p = PagesUpTo(bp / 32, width, x, y);
    if (bp % 32 != 0) ++p.last;
    return p;
}

// How a buffer's pixels lie in memory: where it starts, its width and its layout.
struct BufferShape {
    u32 block = 0, width = 0;
    const Layout32* layout = nullptr;
    bool operator==(const BufferShape&) const = default;
};

// The shape an image sent to memory is recorded with: no buffer has it, so until the sides meet no other
// write or read may touch the image's pages.
inline constexpr BufferShape kImageShape{~0u, 0, nullptr};

class BandHazards {
public:
    // Records a write of `pages` through `shape`; false, recording nothing, when another shape wrote any of
    // them, or a texture read them, since the threads last met (or the record is full).
    bool write(Pages pages, const BufferShape& shape)
    {
        pages = Bounded(pages);
        if (anyRead_ && read_.meets(pages)) return false;
        Written* same = nullptr;
        for (int i = 0; i < count_; ++i) {
            Written& w = written_[i];
            if (w.shape == shape) same = &w;
            else if (w.pages.meets(pages)) return false;
        }
        if (!same) {
            if (count_ == static_cast<int>(written_.size())) return false;
            written_[count_++] = {shape, pages};
            return true;
        }
        // One range per shape, so it may grow over pages another shape wrote: then they must meet.
        const Pages merged{std::min(same->pages.first, pages.first), std::max(same->pages.last, pages.last)};
        for (int i = 0; i < count_; ++i) {
            if (&written_[i] != same && written_[i].pages.meets(merged)) return false;
        }
        same->pages = merged;
        return true;
    }

    // Records a texture read of `pages`; false, recording nothing, when any of them was written since the
    // threads last met.
    bool read(Pages pages)
    {
        pages = Bounded(pages);
        for (int i = 0; i < count_; ++i) {
            if (written_[i].pages.meets(pages)) return false;
        }
        read_ = anyRead_ ? Pages{std::min(read_.first, pages.first), std::max(read_.last, pages.last)} : pages;
        anyRead_ = true;
        return true;
    }

    void clear()
    {
        count_ = 0;
        anyRead_ = false;
    }

private:
    struct Written {
        BufferShape shape;
        Pages pages;
    };

    // Addresses wrap at the end of memory; a range that wraps is taken as all of it.
    static Pages Bounded(Pages p) { return p.last < kPages ? p : Pages{0, kPages - 1}; }

    std::array<Written, 4> written_{};
    int count_ = 0;
    Pages read_{0, 0};
    bool anyRead_ = false;
};

} // namespace gs
