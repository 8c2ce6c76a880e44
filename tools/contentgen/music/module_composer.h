#pragma once
// The demo's music, composed by code: "Vob_058f.s3m".
//
// A piece in A minor at one tempo, with synthesised instruments (see instrument_synth.h). Its
// sections follow the demo's fixed schedule of scene windows, so each new scene arrives with a
// change in the music: an intro under the first window, a build into the second, the main theme for
// the third with a drop where that window fades to dark, a second theme for the fourth (lifted where
// its colours change), a short breakdown and the theme's return for the fifth, and a finale under
// the scroller. The scroller runs for as long as the viewer lets it, so after the finale (about
// 112 s in) the module jumps back to the second theme and plays on from there, never back into the
// quiet intro. Sections run whole bars plus a few beats of fill so that their edges land on the
// schedule's times without the tempo changing.
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
    int firstOrder = 0;         // where it starts in the order list
};

struct ComposedModule {
    std::vector<uint8_t> bytes;          // the .s3m file; empty on failure
    std::vector<MusicSection> sections;  // in playing order; the last one ends where the module loops
    int loopSection = -1;                // the section the module jumps back to after the last one
    std::string error;                   // empty on success

    bool Ok() const { return error.empty(); }
};

ComposedModule ComposeVelorModule();

}  // namespace velor
