#include "frontend/interruption.h"

#include <csignal>

namespace frontend {
namespace {

volatile std::sig_atomic_t Caught = 0;

void OnSignal(int signal)
{
    if (Caught != 0) {
        // Asked twice: do what the signal does by default.
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    Caught = signal;
}

} // namespace

void CatchInterruptions()
{
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int Interruption() { return Caught; }

} // namespace frontend
