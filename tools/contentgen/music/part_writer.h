#pragma once
// Writes the module's parts onto the song timeline: drum patterns, the rolling bass, pumping pad
// chords, arpeggios, the lead with its vibrato, and the lead's echo.
//
// Every part has a channel of its own, so a part never cuts another's note. Looped samples (bass,
// pad, lead, arpeggio) sound until something stops them, across pattern and section edges and
// from the song's end back into its start: a part that stops says so with a note cut (^^), and
// `StopAll` ends every channel at the song's last row.

#include <array>
#include <string_view>

#include "tools/contentgen/music/instrument_synth.h"
#include "tools/contentgen/music/song_timeline.h"
#include "tools/contentgen/music/synth_dsp.h"

namespace velor {

inline constexpr int kRowsPerBeat = 4;
inline constexpr int kRowsPerBar = 16;

// Channel layout, left to right in the pattern view.
enum Channel : int {
    kKickChannel = 0,
    kSnareChannel,
    kHatChannel,
    kBassChannel,
    kPadChannel0,  // three pad voices, one per chord note
    kPadChannel1,
    kPadChannel2,
    kLeadChannel,
    kEchoChannel,  // the lead again, a dotted eighth later, quieter and on the other side
    kArpChannel,
    kFxChannel,    // risers and crashes
    kMusicChannelCount,
};

struct Chord {
    int bass;                 // MIDI root for the bass, around A1
    std::array<int, 3> pad;   // MIDI voicing around middle C, led smoothly from chord to chord
};

class PartWriter {
public:
    explicit PartWriter(SongTimeline& timeline);

    SongTimeline& Timeline() { return timeline_; }

    // Single cells.
    void Note(int row, int channel, int midi, Instrument instrument, int volume);
    void Cut(int row, int channel);
    void Volume(int row, int channel, int volume);

    // Drums over one bar starting at `bar`.
    void FourOnTheFloor(int bar, int volume);
    void Backbeat(int bar, int volume, bool ghosts);
    void Hats(int bar, bool sixteenths, bool openOffbeats, bool openLastOffbeat, int volume);
    // Snare notes every `step` rows over [from, to), volume ramping from v0 to v1.
    void SnareRoll(int from, int to, int step, int v0, int v1);

    // Bass over one bar: rolling sixteenths between the kicks, or one held root.
    void RollingBass(int bar, const Chord& chord, int volume);
    void HeldBass(int bar, const Chord& chord, int volume);

    // Pad chord struck at `row` and held. Level changes within the bar come from the two below.
    void PadChord(int row, const Chord& chord, int volume);
    // Ducks the pad on every beat of the bar (the kick "pumps" it) around `level`.
    void PadPump(int bar, int level);
    // Moves the pad level from v0 to v1 over [from, to), one step every other row.
    void PadRamp(int from, int to, int v0, int v1);

    // Sixteenth-note arpeggio of plucks over the chord's tones, in the pad's octave and the one
    // above (each shifted up by `octaveShift` octaves).
    void Arpeggio(int bar, const Chord& chord, int volume, int octaveShift);

    // Writes a phrase (see phrase.h) for the lead from `row`; long notes get a delayed vibrato.
    // Fails (returns the message) on a phrase that does not parse.
    std::string_view Lead(int row, std::string_view phrase, int volume);

    // Copies the lead channel to the echo channel `delay` rows later at `percent` of its volume.
    void Echo(int delay, int percent);

    // Stops the tonal channels at `row`; a part that starts on that row overwrites its cut.
    void StopTonal(int row);
    // Stops every channel on the song's last row, so nothing rings into the loop back to the start.
    void StopAll();

private:
    SongTimeline& timeline_;
    synth::Rng rng_;
    std::string leadError_;
};

}  // namespace velor
