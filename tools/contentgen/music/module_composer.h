#pragma once
// The demo's music, composed by code: "Vob_058f.s3m".
//
// A piece in A minor of about 113 seconds before it loops, with synthesised instruments (see
// instrument_synth.h). Its sections follow the demo's fixed schedule of scene windows, so each new
// scene arrives with a change in the music: an intro under the first window, a build into the
// second, the main theme for the third with a drop where that window fades to dark, a second theme
// for the fourth (lifted where its colours change), a short breakdown and the theme's return for the
// fifth, and an outro under the scroller that runs on after the schedule ends, after which the
// module loops to the intro. Sections may differ in tempo (120 to 134 BPM) so that their edges land
// on the schedule's times.
//
// Deterministic: every call returns the same bytes.

#include <cstdint>
#include <string>
#include <vector>

namespace velor {

inline constexpr const char* kVelorModuleFileName = "Vob_058f.s3m";

struct MusicSection {
    std::string name;
    double startSeconds = 0.0;  // from the start of the module
    double endSeconds = 0.0;
    int tempo = 0;              // beats per minute
};

struct ComposedModule {
    std::vector<uint8_t> bytes;          // the .s3m file; empty on failure
    std::vector<MusicSection> sections;  // in playing order; the last one ends where the module loops
    std::string error;                   // empty on success

    bool Ok() const { return error.empty(); }
};

ComposedModule ComposeVelorModule();

}  // namespace velor
