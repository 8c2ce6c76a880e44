#include "tools/contentgen/music/instrument_synth.h"

#include <cmath>
#include <functional>
#include <string>

#include "tools/contentgen/music/synth_dsp.h"

namespace velor {
namespace {

using synth::kTwoPi;
using synth::Rng;
using synth::Svf;

constexpr double kMiddleC = 261.6255653;  // Hz of note C-4
constexpr double kDrumRate = 44100.0;

// ---- Additive voices -----------------------------------------------------------------------------

struct AdditiveOsc {
    int cycles;   // whole cycles per loop
    double gain;
};

struct AdditiveVoice {
    int loopFrames;                 // loop length; every oscillator repeats exactly within it
    std::vector<AdditiveOsc> oscs;
    int maxHarmonic;                // also kept below half the loop's sample rate
    int attackFrames;               // frames before the loop starts
    double nominalRate;             // playback rate the attack is timed for (Hz)
    uint64_t seed;                  // partial start phases
    // Gain of harmonic h at time t (seconds), and the overall amplitude at time t. After the attack
    // both are held at their value at the loop start, so the loop is stationary.
    std::function<double(int h, double t)> harmonicGain;
    std::function<double(double t)> amplitude;
};

// The attack, then one loop; returns the signal and leaves loopStart = attackFrames.
std::vector<double> RenderAdditive(const AdditiveVoice& v) {
    const size_t loop = size_t(v.loopFrames);
    std::vector<double> sine(loop);
    for (size_t i = 0; i < loop; ++i) sine[i] = std::sin(kTwoPi * double(i) / double(loop));

    struct Partial {
        size_t osc;
        int harmonic;
        size_t step;   // table advance per frame
        size_t phase;  // table start index
    };
    Rng rng(v.seed);
    std::vector<Partial> partials;
    for (size_t o = 0; o < v.oscs.size(); ++o) {
        for (int h = 1; h <= v.maxHarmonic && size_t(h) * size_t(v.oscs[o].cycles) * 2 < loop; ++h)
            partials.push_back({o, h, size_t(h) * size_t(v.oscs[o].cycles) % loop, size_t(rng.Next() % loop)});
    }

    const size_t total = size_t(v.attackFrames) + loop;
    std::vector<double> out(total, 0.0);
    std::vector<double> gains(partials.size());
    const double loopTime = double(v.attackFrames) / v.nominalRate;
    for (size_t n = 0; n < total; ++n) {
        bool inAttack = n < size_t(v.attackFrames);
        if (inAttack || n == size_t(v.attackFrames)) {
            double t = inAttack ? double(n) / v.nominalRate : loopTime;
            for (size_t p = 0; p < partials.size(); ++p)
                gains[p] = v.oscs[partials[p].osc].gain * v.harmonicGain(partials[p].harmonic, t) * v.amplitude(t);
        }
        double acc = 0.0;
        const size_t nm = n % loop;
        for (size_t p = 0; p < partials.size(); ++p) acc += gains[p] * sine[(partials[p].step * nm + partials[p].phase) % loop];
        out[n] = acc;
    }
    return out;
}

// C2Spd that makes a loop holding `cycles` periods in `loopFrames` frames sound C-4 at middle C.
uint32_t C2SpdFor(int loopFrames, int cycles) {
    return uint32_t(std::lround(kMiddleC * double(loopFrames) / double(cycles)));
}

double Smoothstep(double x) {
    x = std::clamp(x, 0.0, 1.0);
    return x * x * (3.0 - 2.0 * x);
}

S3mSample Looped(std::string name, const AdditiveVoice& v, int cycles) {
    S3mSample s;
    s.name = std::move(name);
    s.pcm = synth::ToPcm16(RenderAdditive(v));
    s.loop = true;
    s.loopStart = uint32_t(v.attackFrames);
    s.loopEnd = uint32_t(s.pcm.size());
    s.c2spd = C2SpdFor(v.loopFrames, cycles);
    return s;
}

// Saw bass with a resonant low-pass that closes fast: a pluck, then a round steady tone. The loop is
// a single period of 168 frames; the bass plays around A-1, where that is about 9.5 kHz.
S3mSample Bass() {
    AdditiveVoice v;
    v.loopFrames = 168;
    v.oscs = std::vector<AdditiveOsc>{{1, 1.0}};
    v.maxHarmonic = 83;
    v.nominalRate = 9500.0;
    v.attackFrames = int(0.45 * v.nominalRate);
    v.seed = 0xBA55;
    v.harmonicGain = [](int h, double t) {
        // The filter settles around the sixth harmonic, so the held tone keeps weight in the low
        // mids (a bass around A-1 then reaches 300 Hz) instead of being a bare fundamental.
        double cutoff = 6.0 + 23.0 * std::exp(-t / 0.07);  // in harmonics
        double x = double(h) / cutoff;
        double resonance = 1.0 + 1.6 * std::exp(-(double(h) - cutoff) * (double(h) - cutoff) / 2.5);
        double sub = h == 1 ? 0.9 : 1.0;
        return sub * resonance / (double(h) * std::sqrt(1.0 + x * x * x * x));
    };
    v.amplitude = [](double t) { return std::min(1.0, t / 0.002) * (0.75 + 0.25 * std::exp(-t / 0.15)); };
    return Looped("velor bass", v, 1);
}

// Five detuned band-limited saws (outer pair about 20 cents off) with a soft top: a slow, wide
// chorus. Loop of one second at the C-4 rate; the fade-in gives notes a gentle start.
S3mSample Pad() {
    AdditiveVoice v;
    v.loopFrames = 44100;
    v.oscs = std::vector<AdditiveOsc>{{517, 0.7}, {520, 0.9}, {523, 1.0}, {526, 0.9}, {529, 0.7}};
    v.maxHarmonic = 40;
    v.nominalRate = 19000.0;  // around A-3
    v.attackFrames = int(0.35 * v.nominalRate);
    v.seed = 0x9AD;
    v.harmonicGain = [](int h, double) {
        double x = double(h) * 220.0 / 2200.0;
        return 1.0 / (double(h) * std::sqrt(1.0 + x * x * x * x));
    };
    v.amplitude = [](double t) { return Smoothstep(t / 0.35); };
    return Looped("velor pad", v, 523);
}

// Hollow saw (even harmonics at half strength) with two quieter oscillators 4 cents either side
// for movement, and a bright attack that mellows within a quarter second.
S3mSample Lead() {
    AdditiveVoice v;
    v.loopFrames = 16856;
    v.oscs = std::vector<AdditiveOsc>{{399, 0.45}, {400, 1.0}, {401, 0.45}};
    v.maxHarmonic = 21;
    v.nominalRate = 22050.0;  // C-5
    v.attackFrames = int(0.3 * v.nominalRate);
    v.seed = 0x1EAD;
    v.harmonicGain = [](int h, double t) {
        double cutoff = 6.0 + 12.0 * std::exp(-t / 0.09);
        double x = double(h) / cutoff;
        double shape = (h % 2 == 1) ? 1.0 : 0.5;
        return shape / (double(h) * std::sqrt(1.0 + x * x * x * x));
    };
    v.amplitude = [](double t) { return std::min(1.0, t / 0.004) * (0.8 + 0.2 * std::exp(-t / 0.08)); };
    return Looped("velor lead", v, 400);
}

// The arpeggio's own voice: a warm pluck. A bright, full-bodied strike whose upper harmonics die
// within a few tens of milliseconds and whose level falls to a soft sustain, so fast notes stay
// distinct where the lead's held tone would smear them. Two oscillators 4 cents apart keep the
// sustain from sounding static.
S3mSample Pluck() {
    AdditiveVoice v;
    v.loopFrames = 16856;
    v.oscs = std::vector<AdditiveOsc>{{400, 1.0}, {401, 0.35}};
    v.maxHarmonic = 18;
    v.nominalRate = 22050.0;  // C-5
    v.attackFrames = int(0.32 * v.nominalRate);
    v.seed = 0x9A0C;
    v.harmonicGain = [](int h, double t) {
        double cutoff = 2.5 + 14.0 * std::exp(-t / 0.035);
        double x = double(h) / cutoff;
        // A little more second and third harmonic than a saw: body rather than buzz.
        double body = h == 2 ? 1.3 : h == 3 ? 1.15 : 1.0;
        return body / (double(h) * std::sqrt(1.0 + x * x * x * x));
    };
    v.amplitude = [](double t) { return std::min(1.0, t / 0.002) * (0.12 + 0.88 * std::exp(-t / 0.09)); };
    return Looped("velor pluck", v, 400);
}

// ---- Drums ------------------------------------------------------------------------------------------

S3mSample OneShot(std::string name, std::vector<double> signal, double rate, bool sixteenBit) {
    synth::FadeTail(signal, size_t(rate * 0.01));
    S3mSample s;
    s.name = std::move(name);
    s.pcm = synth::ToPcm16(signal);
    s.sixteenBit = sixteenBit;
    s.c2spd = uint32_t(rate);
    return s;
}

// A sine swept from about 180 Hz down to 52 Hz, a short click, and soft saturation for punch.
S3mSample Kick() {
    Rng rng(0x4B1C);
    Svf clickFilter;
    std::vector<double> out(size_t(0.42 * kDrumRate));
    double phase = 0.0;
    for (size_t n = 0; n < out.size(); ++n) {
        double t = double(n) / kDrumRate;
        phase += kTwoPi * (52.0 + 126.0 * std::exp(-t / 0.035)) / kDrumRate;
        // A shortish tail: a long one only adds sub-bass rumble that small speakers cannot play.
        double body = std::sin(phase) * std::min(1.0, t / 0.0015) * std::exp(-t / 0.16);
        double click = clickFilter.Process(rng.Noise(), 4000.0, 0.7, kDrumRate).low * std::exp(-t / 0.003);
        out[n] = std::tanh(1.8 * (body + 0.5 * click));
    }
    return OneShot("velor kick", std::move(out), kDrumRate, true);
}

// Two damped tones for the shell and band-passed noise for the wires.
S3mSample Snare() {
    Rng rng(0x5EA);
    Svf band, high;
    std::vector<double> out(size_t(0.35 * kDrumRate));
    double p1 = 0.0, p2 = 0.0;
    for (size_t n = 0; n < out.size(); ++n) {
        double t = double(n) / kDrumRate;
        double drop = 1.0 + 0.25 * std::exp(-t / 0.01);
        p1 += kTwoPi * 185.0 * drop / kDrumRate;
        p2 += kTwoPi * 330.0 * drop / kDrumRate;
        double tone = (std::sin(p1) + 0.5 * std::sin(p2)) * std::exp(-t / 0.055);
        double noise = band.Process(rng.Noise(), 3800.0, 0.6, kDrumRate).band;
        noise = high.Process(noise, 900.0, 0.7, kDrumRate).high * std::exp(-t / 0.12);
        out[n] = std::tanh(1.4 * (0.6 * tone + 1.1 * noise)) * std::min(1.0, t / 0.001);
    }
    return OneShot("velor snare", std::move(out), kDrumRate, true);
}

// Six detuned square waves (the classic metallic cluster) and noise, high-passed; `decay` sets
// closed or open.
std::vector<double> MetalNoise(double seconds, double decay, double highPass, uint64_t seed) {
    static constexpr double kFreqs[] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
    Rng rng(seed);
    Svf band, high;
    std::vector<double> out(size_t(seconds * kDrumRate));
    double phases[6] = {0, 0, 0, 0, 0, 0};
    for (size_t n = 0; n < out.size(); ++n) {
        double t = double(n) / kDrumRate;
        double metal = 0.0;
        for (int i = 0; i < 6; ++i) {
            phases[i] = std::fmod(phases[i] + kFreqs[i] * 2.3 / kDrumRate, 1.0);
            metal += phases[i] < 0.5 ? 1.0 : -1.0;
        }
        double x = band.Process(metal / 6.0 + 0.8 * rng.Noise(), 10000.0, 0.8, kDrumRate).band;
        x = high.Process(x, highPass, 0.7, kDrumRate).high;
        out[n] = x * std::min(1.0, t / 0.0005) * std::exp(-t / decay);
    }
    return out;
}

S3mSample ClosedHat() { return OneShot("velor hat closed", MetalNoise(0.09, 0.022, 7000.0, 0xC4A7), kDrumRate, true); }
S3mSample OpenHat() { return OneShot("velor hat open", MetalNoise(0.5, 0.17, 6500.0, 0x0BE7), kDrumRate, true); }

// A long, washy cymbal; kept at 8 bits, where its noisy tail hides the coarser steps.
S3mSample Crash() {
    std::vector<double> out = MetalNoise(2.2, 0.55, 4500.0, 0xC7A5);
    return OneShot("velor crash", std::move(out), kDrumRate, false);
}

// White noise through a resonant band-pass rising from 200 Hz to 9 kHz, growing louder: a riser
// for the bars before a section starts. 8-bit like the crash.
S3mSample Sweep() {
    constexpr double kRate = 22050.0;
    constexpr double kSeconds = 3.6;
    Rng rng(0x5EEE);
    Svf band;
    std::vector<double> out(size_t(kSeconds * kRate));
    for (size_t n = 0; n < out.size(); ++n) {
        double x = double(n) / double(out.size());
        double cutoff = 200.0 * std::pow(45.0, x);
        out[n] = band.Process(rng.Noise(), cutoff, 2.5, kRate).band * std::pow(x, 1.5);
    }
    return OneShot("velor sweep", std::move(out), kRate, false);
}

}  // namespace

std::vector<S3mSample> SynthesiseInstruments() {
    std::vector<S3mSample> samples = {Kick(), Snare(), ClosedHat(), OpenHat(), Bass(), Pad(), Lead(), Sweep(), Crash(), Pluck()};
    static_assert(kInstrumentCount == 10);
    return samples;
}

}  // namespace velor
