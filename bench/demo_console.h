#pragma once

#include <string_view>

#include "console/clock.h"
#include "console/machine.h"
#include "gfx/display.h"

// A console on virtual time, silent, with the demo's display brought up: what every benchmark of the program
// runs on.
class DemoConsole {
public:
    DemoConsole() : machine_(host_, clock_)
    {
        const DisplayInitParams params = {1, 0x30, 5};
        PS2Init(&params);
    }

private:
    class QuietHost final : public console::Host {
    public:
        void field(const console::Field&) override {}
        void message(std::string_view) override {}
    };

    QuietHost host_;
    console::VirtualClock clock_;
    console::Machine machine_;
};
