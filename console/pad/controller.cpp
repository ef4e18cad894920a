#include "console/pad/controller.h"

namespace pad {
namespace {

// A DualShock offers its digital mode and its DualShock mode; a digital controller has no table.
constexpr std::uint8_t kDualShockTable[] = {kDigitalId, kDualShockId};

// Each pressure byte of the reading and the button it belongs to.
struct PressureByte {
    std::uint8_t padButtonStatus::*field;
    std::uint16_t button;
};

constexpr PressureByte kPressureBytes[] = {
    {&padButtonStatus::right_p, PAD_RIGHT},       {&padButtonStatus::left_p, PAD_LEFT},
    {&padButtonStatus::up_p, PAD_UP},             {&padButtonStatus::down_p, PAD_DOWN},
    {&padButtonStatus::triangle_p, PAD_TRIANGLE}, {&padButtonStatus::circle_p, PAD_CIRCLE},
    {&padButtonStatus::cross_p, PAD_CROSS},       {&padButtonStatus::square_p, PAD_SQUARE},
    {&padButtonStatus::l1_p, PAD_L1},             {&padButtonStatus::r1_p, PAD_R1},
    {&padButtonStatus::l2_p, PAD_L2},             {&padButtonStatus::r2_p, PAD_R2},
};

} // namespace

padButtonStatus NoReading()
{
    padButtonStatus none{};
    none.ok = 0xFF;
    none.btns = 0xFFFF;
    return none;
}

Controller::Controller(Kind kind) : kind_(kind) { restart(); }

void Controller::setKind(Kind kind)
{
    if (kind == kind_) return;
    kind_ = kind;
    restart();
}

void Controller::open()
{
    open_ = true;
    restart();
}

// A controller comes up in its first mode, unlocked, with its actuators unassigned, and must be found first.
void Controller::restart()
{
    config_ = Config{};
    config_.id = kind_ == Kind::None ? 0 : dualShock() ? kDualShockId : kDigitalId;
    next_ = config_;
    steps_.clear();
    if (present()) steps_ = {State::FindPad, State::FindCtp1};
    stepStart_ = now_;
    stepSeen_ = false;
}

void Controller::advance(std::uint64_t field)
{
    if (field <= now_) return;
    now_ = field;
    // The step that a blank ends hands over to the next one at that blank.
    while (!steps_.empty() && now_ > stepStart_) {
        endStep();
        ++stepStart_;
    }
}

State Controller::readState()
{
    if (!present()) return State::Disconnected;
    if (!steps_.empty() && stepSeen_) {
        endStep();
        stepStart_ = now_;
    }
    if (steps_.empty()) return State::Stable;
    stepSeen_ = true;
    return steps_.front();
}

void Controller::endStep()
{
    steps_.erase(steps_.begin());
    stepSeen_ = false;
    if (steps_.empty()) config_ = next_;
}

bool Controller::identified() const
{
    if (!present()) return false;
    return steps_.empty() || steps_.front() == State::ExecCmd;
}

std::uint8_t Controller::modeId() const { return identified() ? config_.id : 0; }

std::uint8_t Controller::extendedId() const { return identified() && dualShock() ? kDualShockId : 0; }

std::span<const std::uint8_t> Controller::modeTable() const
{
    if (identified() && dualShock()) return kDualShockTable;
    return {};
}

bool Controller::pressureCapable() const { return identified() && dualShock(); }

int Controller::actuators() const { return identified() && kind_ == Kind::DualShock ? 2 : 0; }

bool Controller::startCommand(const Config& next)
{
    if (!present() || !steps_.empty()) return false;
    next_ = next;
    steps_ = {State::ExecCmd};
    stepStart_ = now_;
    stepSeen_ = false;
    return true;
}

bool Controller::setMainMode(int mode, int lock)
{
    if (!dualShock() || (mode != PAD_MMODE_DIGITAL && mode != PAD_MMODE_DUALSHOCK)) return false;
    if (lock != PAD_MMODE_UNLOCK && lock != PAD_MMODE_LOCK) return false;
    Config next = config_;
    // A change of main mode also leaves the pressure readings.
    next.id = mode == PAD_MMODE_DUALSHOCK ? kDualShockId : kDigitalId;
    next.locked = lock == PAD_MMODE_LOCK;
    return startCommand(next);
}

bool Controller::enterPressMode()
{
    // Pressure readings extend the DualShock mode's data; the digital mode has no room for them.
    if (!dualShock() || config_.id == kDigitalId) return false;
    Config next = config_;
    next.id = kPressureId;
    return startCommand(next);
}

bool Controller::setActAlign(const ActAlign& align)
{
    if (actuators() == 0) return false;
    Config next = config_;
    next.align = align;
    return startCommand(next);
}

bool Controller::read(padButtonStatus& out) const
{
    if (!identified()) {
        out = NoReading();
        return false;
    }
    out = padButtonStatus{};
    out.mode = config_.id;
    out.btns = static_cast<std::uint16_t>(~input_.buttons);
    if (config_.id == kDigitalId) return true;
    out.rjoy_h = input_.rightX;
    out.rjoy_v = input_.rightY;
    out.ljoy_h = input_.leftX;
    out.ljoy_v = input_.leftY;
    if (config_.id != kPressureId) return true;
    // The desktop's buttons are on or off: held means pressed fully.
    for (const PressureByte& p : kPressureBytes) out.*p.field = (input_.buttons & p.button) ? 0xFF : 0;
    return true;
}

} // namespace pad
