#include "tools/modgen/samples.h"

#include <algorithm>
#include <array>
#include <string>

#include "tools/modgen/synth_math.h"

namespace modgen {
namespace {

// Playback rates of C-3 and A-3 on a PAL machine.
constexpr std::int64_t kDrumRate = 3546895 / 214;
constexpr std::int64_t kHatRate = 3546895 / 127;

std::int64_t Milliseconds(std::int64_t ms, std::int64_t rate)
{
    return rate * ms / 1000;
}

// Ramps the last `samples` values down to silence, so that the sample ends without a click.
void FadeTail(std::vector<std::int64_t>& signal, std::size_t samples)
{
    samples = std::min(samples, signal.size());
    const std::size_t first = signal.size() - samples;
    for (std::size_t i = first; i < signal.size(); ++i) {
        signal[i] = signal[i] * static_cast<std::int64_t>(signal.size() - i) / static_cast<std::int64_t>(samples + 1);
    }
}

Sample OneShot(const std::string& name, std::vector<std::int64_t> signal, int volume)
{
    FadeTail(signal, signal.size() / 6);
    Sample s{name, {0, 0}, volume, 0, 0};
    const std::vector<std::int8_t> pcm = ToPcm(signal, 127);
    s.data.insert(s.data.end(), pcm.begin(), pcm.end());
    if (s.data.size() % 2) s.data.push_back(0);
    return s;
}

Sample Looped(const std::string& name, const std::vector<std::int64_t>& signal, int volume, int loopStart)
{
    Sample s{name, ToPcm(signal, 127), volume, loopStart, 0};
    s.loopLength = static_cast<int>(s.data.size()) - loopStart;
    return s;
}

// An exponential envelope that starts at kOne.
struct Decay {
    std::int64_t level = kOne;
    std::int64_t factor;

    std::int64_t Next()
    {
        const std::int64_t now = level;
        level = Mul(level, factor);
        return now;
    }
};

// Synthesises a kick: a sine whose pitch falls fast from a thump to a low boom.
Sample KickDrum()
{
    std::vector<std::int64_t> out(Milliseconds(320, kDrumRate));
    Decay pitch{kOne, DecayFactor(Milliseconds(28, kDrumRate))};
    Decay body{kOne, DecayFactor(Milliseconds(120, kDrumRate))};
    Decay click{kOne, DecayFactor(Milliseconds(2, kDrumRate))};
    Noise noise(0x4B1C);
    std::uint32_t phase = 0;
    for (std::int64_t& v : out) {
        const std::int64_t milliHertz = 46000 + Mul(pitch.Next(), 170000);
        const std::int64_t tone = Mul(Sine(phase), body.Next());
        v = SoftClip(tone * 3 / 2 + Mul(noise.Next(), click.Next()) / 3);
        phase += PhaseStep(milliHertz, kDrumRate);
    }
    return OneShot("kick", out, 64);
}

// Synthesises a snare: a short tone under a burst of high-passed noise.
Sample SnareDrum()
{
    std::vector<std::int64_t> out(Milliseconds(220, kDrumRate));
    Decay tone{kOne, DecayFactor(Milliseconds(40, kDrumRate))};
    Decay rattle{kOne, DecayFactor(Milliseconds(65, kDrumRate))};
    Noise noise(0x5A4E);
    const std::int64_t k = LowPassCoefficient(1200, kDrumRate);
    std::int64_t low = 0;
    std::uint32_t a = 0, b = 0;
    for (std::int64_t& v : out) {
        const std::int64_t n = noise.Next();
        low += Mul(n - low, k);
        const std::int64_t body = (Sine(a) * 3 + Sine(b) * 2) / 8;
        v = SoftClip(Mul(body, tone.Next()) + Mul(n - low, rattle.Next()) * 9 / 10);
        a += PhaseStep(186000, kDrumRate);
        b += PhaseStep(331000, kDrumRate);
    }
    return OneShot("snare", out, 52);
}

// Synthesises a hi-hat: six squares at unrelated pitches and noise, high-passed into a metallic hiss.
std::vector<std::int64_t> Cymbal(std::int64_t milliseconds, std::int64_t decay, std::uint32_t seed)
{
    constexpr std::array<std::int64_t, 6> kMilliHertz{410600, 608800, 739200, 1045400, 1080000, 1600000};
    std::vector<std::int64_t> out(Milliseconds(milliseconds, kHatRate));
    std::array<std::uint32_t, 6> phases{};
    Decay level{kOne, DecayFactor(Milliseconds(decay, kHatRate))};
    Noise noise(seed);
    const std::int64_t k = LowPassCoefficient(6000, kHatRate);
    std::int64_t low1 = 0, low2 = 0;
    for (std::int64_t& v : out) {
        std::int64_t metal = 0;
        for (std::size_t i = 0; i < phases.size(); ++i) {
            metal += (phases[i] >> 31) ? kOne / 6 : -kOne / 6;
            phases[i] += PhaseStep(kMilliHertz[i], kHatRate);
        }
        const std::int64_t x = metal / 2 + noise.Next() / 2;
        low1 += Mul(x - low1, k);
        const std::int64_t high1 = x - low1;
        low2 += Mul(high1 - low2, k);
        v = Mul(high1 - low2, level.Next());
    }
    return out;
}

// Synthesises the robot's laser: a square wave swept down from a whistle to a growl.
Sample Zap()
{
    std::vector<std::int64_t> out(Milliseconds(300, kDrumRate));
    Decay pitch{kOne, DecayFactor(Milliseconds(55, kDrumRate))};
    Decay level{kOne, DecayFactor(Milliseconds(110, kDrumRate))};
    std::uint32_t phase = 0;
    for (std::int64_t& v : out) {
        const std::int64_t square = (phase >> 31) ? kOne : -kOne;
        v = Mul(square + Sine(phase), level.Next()) / 2;
        phase += PhaseStep(90000 + Mul(pitch.Next(), 1900000), kDrumRate);
    }
    return OneShot("zap", out, 36);
}

// Synthesises a sawtooth plucked through a resonant low-pass, 128 bytes a cycle so that C-1 sounds C1.
Sample Bass()
{
    // The cut-off falls cycle by cycle; the last cycle loops at the sustain level.
    constexpr int kCycle = 128, kCycles = 40, kHarmonics = 48;
    std::vector<std::int64_t> out(kCycle * kCycles);
    Decay level{kOne, DecayFactor(9)};
    Decay brightness{kOne, DecayFactor(5)};
    for (int c = 0; c < kCycles; ++c) {
        const std::int64_t amplitude = kOne * 2 / 5 + Mul(level.Next(), kOne * 3 / 5);
        // Cut-off as a harmonic number in 1/256ths.
        const std::int64_t cutoff = 3 * 256 + Mul(brightness.Next(), 36 * 256);
        std::array<std::int64_t, kHarmonics + 1> weight{};
        for (int n = 1; n <= kHarmonics; ++n) {
            const std::int64_t h2 = cutoff * cutoff, n2 = std::int64_t{n} * n * 65536;
            const std::int64_t d = n * 256 - cutoff;
            const std::int64_t lowPass = h2 * kOne / (h2 + n2);
            const std::int64_t resonance = std::int64_t{384 * 384} * kOne / (384 * 384 + d * d);
            weight[n] = Mul(lowPass + resonance * 3 / 4, amplitude) / n;
        }
        for (int t = 0; t < kCycle; ++t) {
            std::int64_t v = 0;
            for (int n = 1; n <= kHarmonics; ++n) v += Mul(weight[n], Sine(static_cast<std::uint32_t>(n * t) << 25));
            out[c * kCycle + t] = v;
        }
    }
    return Looped("bass", out, 50, kCycle * (kCycles - 1));
}

// Returns one 32-sample cycle of a band-limited pulse of the given duty, softened above harmonic `soft`.
std::array<std::int64_t, 32> PulseCycle(std::int64_t duty, int soft)
{
    std::array<std::int64_t, 32> cycle{};
    const std::uint32_t halfDuty = static_cast<std::uint32_t>(duty << 1);
    for (int n = 1; n < 16; ++n) {
        // Fourier series of a pulse centred on duty / 2: sin(pi n d) / n at each harmonic.
        const std::int64_t gain = Sine(static_cast<std::uint32_t>(n) * halfDuty) * soft * soft / (soft * soft + n * n) / n;
        for (int t = 0; t < 32; ++t) {
            const std::uint32_t phase = static_cast<std::uint32_t>(n) * ((static_cast<std::uint32_t>(t) << 27) - halfDuty);
            cycle[t] += Mul(gain, Sine(phase + (1u << 30)));
        }
    }
    return cycle;
}

// Synthesises a lead: a pulse whose width sweeps from square to thin and back over 128 looped cycles.
Sample Lead()
{
    constexpr int kCycles = 128;
    std::vector<std::int64_t> out;
    for (int c = 0; c < kCycles; ++c) {
        const int triangle = c < kCycles / 2 ? c : kCycles - c;
        const std::int64_t duty = kOne / 2 - kOne * 7 / 20 * triangle / (kCycles / 2);
        const std::array<std::int64_t, 32> cycle = PulseCycle(duty, 9);
        out.insert(out.end(), cycle.begin(), cycle.end());
    }
    return Looped("lead", out, 46, 0);
}

// Synthesises one cycle of a soft square wave, for chords played as arpeggios.
Sample ArpSquare()
{
    const std::array<std::int64_t, 32> cycle = PulseCycle(kOne / 2, 6);
    return Looped("arp", std::vector<std::int64_t>(cycle.begin(), cycle.end()), 26, 0);
}

// Synthesises a pad: two sawtooths a quarter semitone apart over a sine an octave down.
Sample Pad()
{
    // 2048 bytes hold whole cycles of each (63, 65 and 32), so the loop is seamless.
    constexpr int kLength = 2048, kHarmonics = 12;
    std::vector<std::int64_t> out(kLength);
    for (int t = 0; t < kLength; ++t) {
        const std::uint32_t turn = static_cast<std::uint32_t>(t) << 21;
        std::int64_t v = Sine(32 * turn);
        for (int n = 1; n <= kHarmonics; ++n) {
            const std::int64_t gain = kOne * 36 / (36 + n * n) / n;
            v += Mul(gain, Sine(static_cast<std::uint32_t>(63 * n) * turn) + Sine(static_cast<std::uint32_t>(65 * n) * turn));
        }
        out[t] = v;
    }
    return Looped("pad", out, 36, 0);
}

} // namespace

std::vector<Sample> SynthesiseInstruments()
{
    return {KickDrum(),
            SnareDrum(),
            OneShot("closed hat", Cymbal(70, 18, 0xC105), 40),
            OneShot("open hat", Cymbal(330, 95, 0x0BE7), 30),
            Zap(),
            Bass(),
            Lead(),
            ArpSquare(),
            Pad()};
}

} // namespace modgen
