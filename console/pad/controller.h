#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "ps2/libpad.h"

namespace pad {

// What sits in a controller port.
enum class Kind { None, Digital, DualShock, DualShockNoActuators };

// The state of the controls, as the desktop reads them: buttons pressed (the pad library's PAD_ bits, set =
// pressed) and the sticks, 0..255 with 128 at rest.
struct Input {
    std::uint16_t buttons = 0;
    std::uint8_t rightX = 128, rightY = 128, leftX = 128, leftY = 128;
};

// A port's state, numbered as the pad library reports it.
enum class State : std::int32_t { Disconnected = 0, FindPad = 1, FindCtp1 = 2, ExecCmd = 5, Stable = 6 };

// Mode ids: the high nibble is the controller type, the low nibble the length of its data in half-words.
inline constexpr std::uint8_t kDigitalId = 0x41;
inline constexpr std::uint8_t kDualShockId = 0x73;
inline constexpr std::uint8_t kPressureId = 0x79;

inline constexpr std::size_t kAlignSlots = 6;
using ActAlign = std::array<std::uint8_t, kAlignSlots>;

// The record padRead gives when there is nothing to read: not ok, no button held.
padButtonStatus NoReading();

// Port 0 as XPADMAN drives it, with the controller that sits in it.
//
// Timing: the pad works in steps (finding the controller, then reading what it can do; one step per
// configuration command). A step ends at the next vertical blank, or at the second state read that finds it,
// whichever comes first. Waiting for blanks and busy polling of the state both move the pad on, on the wall
// clock and on virtual time, and a program that polls sees every step once.
class Controller {
public:
    explicit Controller(Kind kind = Kind::DualShock);

    // The device, as the desktop drives it. A new kind is a new controller: the port searches again.
    Kind kind() const { return kind_; }
    void setKind(Kind kind);
    void setInput(const Input& input) { input_ = input; }
    const Input& input() const { return input_; }

    // The pad service, as the pad library drives it.
    void initialise() { initialised_ = true; }
    bool initialised() const { return initialised_; }
    void open();
    bool isOpen() const { return open_; }
    // Brings the pad to `field`, the machine's count of vertical blanks: each blank ends the running step.
    void advance(std::uint64_t field);
    // The state the program reads; reading a step a second time ends it.
    State readState();

    // What the controller reports once identified (0 or empty before); a running command changes none of it.
    std::uint8_t modeId() const;
    std::uint8_t extendedId() const;
    std::span<const std::uint8_t> modeTable() const;
    bool pressureCapable() const;
    int actuators() const;
    bool locked() const { return identified() && config_.locked; }
    const ActAlign& actAlign() const { return config_.align; }

    // Configuration commands: false when the pad is not stable or the controller cannot do it.
    bool setMainMode(int mode, int lock);
    bool enterPressMode();
    bool setActAlign(const ActAlign& align);

    // The latest reading; false, with an invalid record, while no controller has been identified.
    bool read(padButtonStatus& out) const;

private:
    struct Config {
        std::uint8_t id = 0;
        bool locked = false;
        ActAlign align{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    };

    bool present() const { return open_ && kind_ != Kind::None; }
    bool identified() const;
    bool dualShock() const { return kind_ == Kind::DualShock || kind_ == Kind::DualShockNoActuators; }
    void restart();
    bool startCommand(const Config& next);
    void endStep();

    Kind kind_;
    Input input_;
    bool initialised_ = false;
    bool open_ = false;
    Config config_;               // what the controller does now
    Config next_;                 // what it will do once the running steps are over
    std::vector<State> steps_;    // the states still to go through before Stable, the running one first
    std::uint64_t now_ = 0;       // the last field the pad was brought to
    std::uint64_t stepStart_ = 0; // the field the running step began in
    bool stepSeen_ = false;       // a state read has found the running step
};

} // namespace pad
