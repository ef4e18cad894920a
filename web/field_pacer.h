#pragma once

#include <cstdint>

namespace web {

// When the page's program gets its vertical blanks. From the first wait on, field n is due n periods later
// on the page's clock: a blank never comes before its time, so the program never runs faster than 50 fields
// a second. A program that fell behind runs on without waiting (its timeline counts fields, not time), but
// hands the page its turn at least every slice, so that the page can draw the newest field and take keys.
// A period of 0 runs as fast as it can, still handing the page its turn.
class FieldPacer {
public:
    explicit FieldPacer(double periodMs = 20.0, double sliceMs = 25.0) : period_(periodMs), slice_(sliceMs) {}

    // How long to wait, at page time `now` (ms), before the next blank may come; 0 when it is due.
    double waitFor(double now);
    // Whether the program, now that its blank is due, should first hand the page its turn.
    bool yieldBefore(double now) const { return now - lastYield_ >= slice_; }
    // The page had its turn at `now`.
    void yielded(double now) { lastYield_ = now; }
    // The blank came.
    void delivered() { ++fields_; }

    // Page time at which the next blank is due (ms).
    double nextDue() const { return start_ + static_cast<double>(fields_) * period_; }
    std::uint64_t fields() const { return fields_; }
    // Blanks that were due at `now` but not yet delivered: how far the program is behind.
    std::uint64_t behind(double now) const;

private:
    double period_;
    double slice_;
    bool started_ = false;
    double start_ = 0.0;
    double lastYield_ = 0.0;
    std::uint64_t fields_ = 0;
};

} // namespace web
