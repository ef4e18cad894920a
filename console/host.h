#pragma once

#include <cstdint>

#include "console/log.h"
#include "console/picture.h"

namespace gs {
class Gs;
}

namespace console {

// One vertical blank: the field's number, counted from 0, and the picture the display circuit shows.
class Field {
public:
    Field(std::uint64_t index, const gs::Gs& gs) : index_(index), gs_(gs) {}

    std::uint64_t index() const { return index_; }
    // Reads the picture out; only valid while the host is being told about this field.
    void read(Picture& out) const;

private:
    std::uint64_t index_;
    const gs::Gs& gs_;
};

// The desktop side of the console: where pictures and messages go.
class Host : public Log {
public:
    virtual void field(const Field& field) = 0;
};

} // namespace console
