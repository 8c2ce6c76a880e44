#pragma once
// The module's instruments, synthesised: drums from filtered noise and swept sines, and the tonal
// instruments (bass, pad, lead, pluck) by additive synthesis of band-limited partials.
//
// A tracker plays a sample faster or slower to change its pitch, so a tonal sample is one attack
// followed by a loop that must join without a click. The additive renderer makes that exact: every
// oscillator completes a whole number of cycles in the loop, so the signal at the loop end is the
// signal at the loop start. Detuned oscillators (the pad's chorus, the lead's beating) are simply
// neighbouring whole cycle counts. Each sample's C2Spd is then chosen so that note C-4 sounds at
// 261.63 Hz, which puts every other note at its equal-tempered pitch.

#include <cstdint>
#include <vector>

#include "tools/contentgen/music/s3m_writer.h"

namespace velor {

// 1-based sample numbers, as the pattern cells name them.
enum class Instrument : uint8_t {
    Kick = 1,
    Snare,
    ClosedHat,
    OpenHat,
    Bass,
    Pad,
    Lead,
    Sweep,
    Crash,
    Pluck,
};
inline constexpr int kInstrumentCount = 10;

// All instruments in sample-number order. Deterministic: the same samples on every call.
std::vector<S3mSample> SynthesiseInstruments();

}  // namespace velor
