#pragma once
// Small signal-processing pieces the instrument synthesiser is built from: a seeded noise source,
// a state-variable filter, and the conversion of a float signal to 16-bit PCM.
//
// Everything here is deterministic: the noise is our own xorshift generator (the standard
// library's distributions are free to differ between implementations), and no state is shared, so
// the same calls give the same samples on every run.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace velor::synth {

inline constexpr double kTwoPi = 2.0 * std::numbers::pi;

// xorshift64*: plenty for audio noise and humanised velocities.
class Rng {
public:
    explicit Rng(uint64_t seed) : state_(seed ? seed : 0x9E3779B97F4A7C15ull) {}
    uint64_t Next() {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return state_ * 0x2545F4914F6CDD1Dull;
    }
    // Uniform in [-1, 1).
    double Noise() { return double(Next() >> 11) * (2.0 / 9007199254740992.0) - 1.0; }
    // Uniform integer in [lo, hi].
    int Range(int lo, int hi) { return lo + int(Next() % uint64_t(hi - lo + 1)); }

private:
    uint64_t state_;
};

// Topology-preserving state-variable filter (trapezoidal integration): stable while the cutoff
// moves every sample, which the sweeps and plucks need.
class Svf {
public:
    struct Out {
        double low, band, high;
    };
    Out Process(double in, double cutoffHz, double q, double rate) {
        double g = std::tan(std::numbers::pi * std::min(cutoffHz, rate * 0.49) / rate);
        double k = 1.0 / q;
        double a1 = 1.0 / (1.0 + g * (g + k));
        double v3 = in - ic2_;
        double v1 = a1 * ic1_ + g * a1 * v3;
        double v2 = ic2_ + g * v1;
        ic1_ = 2.0 * v1 - ic1_;
        ic2_ = 2.0 * v2 - ic2_;
        return {v2, v1, in - k * v1 - v2};
    }

private:
    double ic1_ = 0.0, ic2_ = 0.0;
};

// Scales the signal so its peak sits at `peak` of full scale and rounds it to 16-bit PCM.
inline std::vector<int16_t> ToPcm16(const std::vector<double>& signal, double peak = 0.97) {
    double max = 0.0;
    for (double v : signal) max = std::max(max, std::abs(v));
    double gain = max > 0.0 ? peak * 32767.0 / max : 0.0;
    std::vector<int16_t> pcm(signal.size());
    for (size_t i = 0; i < signal.size(); ++i)
        pcm[i] = int16_t(std::clamp(std::lround(signal[i] * gain), -32767l, 32767l));
    return pcm;
}

// Fades the last `frames` samples to zero so a one-shot ends without a step.
inline void FadeTail(std::vector<double>& signal, size_t frames) {
    frames = std::min(frames, signal.size());
    for (size_t i = 0; i < frames; ++i) signal[signal.size() - 1 - i] *= double(i) / double(frames);
}

}  // namespace velor::synth
