#pragma once

// Integer synthesis primitives, so that the song comes out the same on every machine.
// Signals and gains are Q30 fixed point: kOne is 1.0. Phases are 32-bit fractions of a turn.

#include <cstdint>
#include <vector>

namespace modgen {

constexpr std::int64_t kOne = std::int64_t{1} << 30;

// Multiplies two Q30 numbers.
constexpr std::int64_t Mul(std::int64_t a, std::int64_t b)
{
    return (a * b) >> 30;
}

// Returns the sine of a phase, scaled to kOne.
std::int64_t Sine(std::uint32_t phase);

// Returns the phase advance per sample of a tone in millihertz at a rate in hertz.
std::uint32_t PhaseStep(std::int64_t milliHertz, std::int64_t rate);

// Returns the per-sample factor of a decay that falls to 1/e after `samples` samples.
std::int64_t DecayFactor(std::int64_t samples);

// Returns the coefficient of a one-pole low-pass filter with a cut-off in hertz at a rate in hertz.
std::int64_t LowPassCoefficient(std::int64_t hertz, std::int64_t rate);

// Shapes a signal with a cubic curve that is flat at plus and minus kOne.
std::int64_t SoftClip(std::int64_t x);

// White noise from a fixed-seed linear congruential generator.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : state_(seed) {}

    // Returns the next value, in [-kOne, kOne).
    std::int64_t Next();

private:
    std::uint32_t state_;
};

// Scales a signal so that its largest magnitude becomes `peak` and rounds it to signed 8-bit PCM.
std::vector<std::int8_t> ToPcm(const std::vector<std::int64_t>& signal, int peak);

} // namespace modgen
