#pragma once

#include <cstdint>
#include <span>

#include "console/log.h"
#include "console/picture.h"
#include "console/pad/controller.h"

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

// The desktop side of the console: where pictures, sound and messages go and where the controls come from.
class Host : public Log {
public:
    virtual void field(const Field& field) = 0;
    // One field's sound, told after the field: 48,000 Hz stereo frames, left then right.
    virtual void sound(std::span<const std::int16_t> /*samples*/) {}
    // The controls of the controller in port 0 at this vertical blank.
    virtual pad::Input controllerInput() { return {}; }
};

} // namespace console
