#include "web/field_pacer.h"

#include <cmath>

namespace web {

double FieldPacer::waitFor(double now)
{
    if (!started_) {
        started_ = true;
        start_ = now;
        lastYield_ = now;
    }
    const double due = nextDue();
    return now < due ? due - now : 0.0;
}

std::uint64_t FieldPacer::behind(double now) const
{
    if (!started_ || period_ <= 0.0 || now < nextDue()) return 0;
    return static_cast<std::uint64_t>(std::floor((now - nextDue()) / period_)) + 1;
}

} // namespace web
