#include "tools/contentgen/music/part_writer.h"

#include <algorithm>

#include "tools/contentgen/music/phrase.h"

namespace velor {
namespace {

uint8_t ClampVolume(int v) { return uint8_t(std::clamp(v, 0, 64)); }

// The pad carries the mix's low mids; callers give its levels on the scale of the other parts.
int PadVolume(int v) { return v * 4 / 3; }

}  // namespace

PartWriter::PartWriter(SongTimeline& timeline) : timeline_(timeline), rng_(0x0E10) {}

void PartWriter::Note(int row, int channel, int midi, Instrument instrument, int volume) {
    S3mCell& c = timeline_.At(row, channel);
    c.note = S3mNoteFromMidi(midi);
    c.instrument = uint8_t(instrument);
    c.volume = ClampVolume(volume);
}

void PartWriter::Cut(int row, int channel) {
    S3mCell& c = timeline_.At(row, channel);
    c = S3mCell{};
    c.note = kS3mNoteCut;
}

void PartWriter::Volume(int row, int channel, int volume) {
    S3mCell& c = timeline_.At(row, channel);
    if (c.note == kS3mNoteCut) return;
    c.volume = ClampVolume(volume);
}

// ---- Drums --------------------------------------------------------------------------------------------

void PartWriter::FourOnTheFloor(int bar, int volume) {
    for (int beat = 0; beat < 4; ++beat) Note(bar + beat * kRowsPerBeat, kKickChannel, 60, Instrument::Kick, volume);
}

void PartWriter::Backbeat(int bar, int volume, bool ghosts) {
    Note(bar + 4, kSnareChannel, 60, Instrument::Snare, volume);
    Note(bar + 12, kSnareChannel, 60, Instrument::Snare, volume);
    if (ghosts) {
        // One or two soft hits where a drummer's left hand would drift in.
        static constexpr int kGhostRows[] = {7, 10, 15};
        for (int r : kGhostRows) {
            if (rng_.Range(0, 2) == 0) Note(bar + r, kSnareChannel, 60, Instrument::Snare, volume / 4 + rng_.Range(-2, 2));
        }
    }
}

void PartWriter::Hats(int bar, bool sixteenths, bool openOffbeats, bool openLastOffbeat, int volume) {
    for (int r = 0; r < kRowsPerBar; r += sixteenths ? 1 : 2) {
        bool offbeat = r % kRowsPerBeat == 2;
        bool open = offbeat && (openOffbeats || (openLastOffbeat && r == 14));
        int v = offbeat ? volume : (r % kRowsPerBeat == 0 ? volume / 2 : volume * 3 / 8);
        Note(bar + r, kHatChannel, 60, open ? Instrument::OpenHat : Instrument::ClosedHat, v + rng_.Range(-3, 3));
    }
}

void PartWriter::SnareRoll(int from, int to, int step, int v0, int v1) {
    for (int r = from; r < to; r += step) {
        int v = v0 + (v1 - v0) * (r - from) / std::max(1, to - 1 - from);
        Note(r, kSnareChannel, 60, Instrument::Snare, v);
    }
}

// ---- Bass -----------------------------------------------------------------------------------------------

void PartWriter::RollingBass(int bar, const Chord& chord, int volume) {
    // Silent on the kick, then root, octave, root: the kick and the bass take turns.
    for (int beat = 0; beat < 4; ++beat) {
        int row = bar + beat * kRowsPerBeat;
        Cut(row, kBassChannel);
        Note(row + 1, kBassChannel, chord.bass, Instrument::Bass, volume);
        Note(row + 2, kBassChannel, chord.bass + 12, Instrument::Bass, volume - 6);
        Note(row + 3, kBassChannel, chord.bass, Instrument::Bass, volume - 2);
    }
}

void PartWriter::HeldBass(int bar, const Chord& chord, int volume) {
    Note(bar, kBassChannel, chord.bass, Instrument::Bass, volume);
}

// ---- Pad ------------------------------------------------------------------------------------------------

void PartWriter::PadChord(int row, const Chord& chord, int volume) {
    for (int i = 0; i < 3; ++i) Note(row, kPadChannel0 + i, chord.pad[size_t(i)], Instrument::Pad, PadVolume(volume));
}

void PartWriter::PadPump(int bar, int level) {
    static constexpr int kDuckPercent[kRowsPerBeat] = {40, 70, 90, 100};
    for (int r = 0; r < kRowsPerBar; ++r) {
        for (int i = 0; i < 3; ++i) Volume(bar + r, kPadChannel0 + i, PadVolume(level * kDuckPercent[r % kRowsPerBeat] / 100));
    }
}

void PartWriter::PadRamp(int from, int to, int v0, int v1) {
    for (int r = from; r < to; r += 2) {
        int v = v0 + (v1 - v0) * (r - from) / std::max(1, to - from);
        for (int i = 0; i < 3; ++i) Volume(r, kPadChannel0 + i, PadVolume(v));
    }
}

// ---- Arpeggio and lead ------------------------------------------------------------------------------------

void PartWriter::Arpeggio(int bar, const Chord& chord, int volume, int octaveShift) {
    // From the pad's own octave up: the plucks fill the low mids under the lead.
    const int base = 12 * octaveShift;
    const int tones[4] = {chord.pad[0] + base, chord.pad[1] + base, chord.pad[2] + base, chord.pad[0] + base + 12};
    static constexpr int kOrder[kRowsPerBar] = {0, 1, 2, 3, 2, 1, 0, 1, 2, 3, 2, 1, 0, 2, 1, 3};
    for (int r = 0; r < kRowsPerBar; ++r) {
        int accent = r % kRowsPerBeat == 0 ? 4 : (r % 2 == 0 ? 1 : -2);
        Note(bar + r, kArpChannel, tones[kOrder[r]], Instrument::Pluck, volume + accent);
    }
}

std::string_view PartWriter::Lead(int row, std::string_view phrase, int volume) {
    ParsedPhrase parsed = ParsePhrase(phrase);
    if (!parsed.error.empty()) {
        leadError_ = "lead phrase: " + parsed.error;
        return leadError_;
    }
    for (const PhraseNote& n : parsed.notes) {
        const int start = row + n.row;
        if (n.midi < 0) {
            Cut(start, kLeadChannel);
            continue;
        }
        Note(start, kLeadChannel, n.midi, Instrument::Lead, volume);
        // Vibrato only once a long note has settled, as a player would.
        for (int r = 3; n.length >= 6 && r < n.length; ++r) {
            S3mCell& c = timeline_.At(start + r, kLeadChannel);
            c.effect = S3mEffect('H');
            c.param = 0x23;
        }
    }
    return {};
}

void PartWriter::Echo(int delay, int percent) {
    for (int row = timeline_.Rows() - 1 - delay; row >= 0; --row) {
        const S3mCell& lead = timeline_.At(row, kLeadChannel);
        S3mCell echo = lead;
        if (echo.volume != kS3mNoVolume) echo.volume = ClampVolume(echo.volume * percent / 100);
        timeline_.At(row + delay, kEchoChannel) = echo;
    }
}

void PartWriter::StopTonal(int row) {
    for (int ch : {kBassChannel, kPadChannel0, kPadChannel1, kPadChannel2, kLeadChannel, kArpChannel}) Cut(row, ch);
}

void PartWriter::StopAll() {
    const int last = timeline_.Rows() - 1;
    for (int ch = 0; ch < kMusicChannelCount; ++ch) Cut(last, ch);
}

}  // namespace velor
