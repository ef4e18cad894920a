#include "tools/modgen/synth_math.h"

#include <algorithm>
#include <cstdlib>

namespace modgen {

std::int64_t Sine(std::uint32_t phase)
{
    // Odd Taylor series of sin(x * pi / 2) for x in [0, 1] on a quarter turn, error below 1e-7.
    constexpr std::int64_t kTerms[] = {1686629713, 693598668, 85569306, 5026995, 172272, 3864};
    const std::uint32_t quarter = phase >> 30;
    std::int64_t x = phase & 0x3FFFFFFF;
    if (quarter & 1) x = kOne - x;
    const std::int64_t x2 = Mul(x, x);
    std::int64_t p = kTerms[5];
    for (int i = 4; i >= 0; --i) p = kTerms[i] - Mul(x2, p);
    const std::int64_t s = std::min(Mul(x, p), kOne);
    return quarter >= 2 ? -s : s;
}

std::uint32_t PhaseStep(std::int64_t milliHertz, std::int64_t rate)
{
    return static_cast<std::uint32_t>((milliHertz << 32) / (rate * 1000));
}

std::int64_t DecayFactor(std::int64_t samples)
{
    return kOne - kOne / std::max<std::int64_t>(samples, 1);
}

std::int64_t LowPassCoefficient(std::int64_t hertz, std::int64_t rate)
{
    // w / (1 + w) for w = 2 pi f / rate: close to 1 - exp(-w) and below 1 up to the Nyquist frequency.
    const std::int64_t w = kOne / rate * hertz * 6283 / 1000;
    return w * kOne / (kOne + w);
}

std::int64_t SoftClip(std::int64_t x)
{
    x = std::clamp(x, -kOne, kOne);
    return Mul(x, 3 * kOne - Mul(x, x)) / 2;
}

std::int64_t Noise::Next()
{
    state_ = state_ * 1664525u + 1013904223u;
    // The high bits of the generator are the random ones.
    return (static_cast<std::int64_t>(state_ >> 8) << 7) - kOne;
}

std::vector<std::int8_t> ToPcm(const std::vector<std::int64_t>& signal, int peak)
{
    std::int64_t largest = 1;
    for (const std::int64_t v : signal) largest = std::max(largest, std::abs(v));
    std::vector<std::int8_t> pcm;
    pcm.reserve(signal.size());
    for (const std::int64_t v : signal) {
        const std::int64_t scaled = v * peak;
        // Round half away from zero: integer division alone would truncate.
        const std::int64_t rounded = (std::abs(scaled) * 2 + largest) / (2 * largest);
        pcm.push_back(static_cast<std::int8_t>(scaled < 0 ? -rounded : rounded));
    }
    return pcm;
}

} // namespace modgen
