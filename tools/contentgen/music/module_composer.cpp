#include "tools/contentgen/music/module_composer.h"

#include <string_view>

#include "tools/contentgen/music/instrument_synth.h"
#include "tools/contentgen/music/part_writer.h"
#include "tools/contentgen/music/s3m_writer.h"
#include "tools/contentgen/music/song_timeline.h"

namespace velor {
namespace {

constexpr int kSpeed = 6;  // ticks per row: at tempo T a beat of four rows lasts 60 / T seconds

// Chords of A minor (plus E major, the harmonic minor's dominant), voiced for smooth pad movement.
constexpr Chord kAm{33, {57, 60, 64}};
constexpr Chord kF{29, {57, 60, 65}};
constexpr Chord kC{36, {55, 60, 64}};
constexpr Chord kG{31, {55, 59, 62}};
constexpr Chord kEm{28, {55, 59, 64}};
constexpr Chord kDm{38, {57, 62, 65}};
constexpr Chord kE{28, {56, 59, 64}};

// The main theme over Am F C G, twice; the answer climbs to C6.
constexpr std::string_view kThemeA[8] = {
    "E5 . . A5 . . G5 . E5 . . . D5 . E5 .",
    "C5 . . . . . . . - . A4 . C5 . F5 .",
    "E5 . . G5 . . E5 . D5 . . . C5 . D5 .",
    "B4 . . . . . . . - . G4 . B4 . D5 .",
    "E5 . . A5 . . B5 . C6 . . . B5 . A5 .",
    "A5 . . . . . . . G5 . F5 . E5 . C5 .",
    "E5 . . . G5 . . . E5 . D5 . C5 . D5 .",
    "D5 . . . . . . . B4 . . . . . - .",
};

// The second theme over F G Am Em.
constexpr std::string_view kThemeB[8] = {
    "A5 . . . C6 . . . A5 . G5 . F5 . . .",
    "G5 . . . . . D5 . . . G5 . B5 . . .",
    "C6 . . B5 . . A5 . . . E5 . . . A5 .",
    "G5 . . . . . . . E5 . . . B4 . . .",
    "A5 . . . C6 . . . A5 . G5 . F5 . A5 .",
    "B5 . . . D6 . . . B5 . A5 . G5 . . .",
    "A5 . . . . . E5 . . . A5 . C6 . . .",
    "B5 . . . . . . . . . . . - . . .",
};

// Long notes for the intro and the outro.
constexpr std::string_view kMotif[4] = {
    "A4 . . . . . . . C5 . . . E5 . . .",
    "F5 . . . . . . . E5 . . . C5 . . .",
    "E5 . . . . . . . G5 . . . . . . .",
    "D5 . . . . . . . . . . . - . . .",
};

constexpr std::string_view kBreakdownLine[3] = {
    "F5 . . . . . . . E5 . . . D5 . . .",
    "C5 . . . . . . . A4 . . . C5 . . .",
    "B4 . . . . . . . . . . . G#4 . . .",
};

class Composer {
public:
    Composer() : timeline_(kMusicChannelCount, kSpeed), parts_(timeline_) {}

    std::string Compose() {
        Intro();
        Build();
        MainA();
        Drop();
        MainB();
        MainBLift();
        Breakdown();
        MainC();
        Outro();
        parts_.Echo(3, 40);
        parts_.StopAll();
        return error_;
    }

    SongTimeline& Timeline() { return timeline_; }

private:
    // Starts a section; tonal parts still sounding from the one before are cut on its first row.
    int Section(const char* name, int rows, int tempo) {
        int start = timeline_.AddSection(name, rows, tempo);
        parts_.StopTonal(start);
        return start;
    }
    static int Bar(int start, int b) { return start + b * kRowsPerBar; }
    void Lead(int row, std::string_view phrase, int volume) {
        std::string_view e = parts_.Lead(row, phrase, volume);
        if (!e.empty() && error_.empty()) error_ = std::string(e);
    }
    void Crash(int row, int volume) { parts_.Note(row, kFxChannel, 60, Instrument::Crash, volume); }
    void Sweep(int row, int volume) { parts_.Note(row, kFxChannel, 60, Instrument::Sweep, volume); }

    // Full groove for one bar: kick, snare with ghosts, sixteenth hats, rolling bass, pumping pad.
    void Groove(int bar, const Chord& chord, bool openHats, int padLevel) {
        parts_.FourOnTheFloor(bar, 60);
        parts_.Backbeat(bar, 52, true);
        parts_.Hats(bar, true, openHats, true, 48);
        parts_.RollingBass(bar, chord, 46);
        parts_.PadChord(bar, chord, padLevel);
        parts_.PadPump(bar, padLevel);
    }

    // 10 bars at 124 BPM (19.35 s): pad and arpeggio fade in, then hats, bass and a slow motif,
    // then the kick and a riser.
    void Intro() {
        const int s = Section("intro", 10 * kRowsPerBar, 124);
        const Chord chords[10] = {kAm, kF, kC, kG, kAm, kF, kC, kG, kF, kG};
        for (int b = 0; b < 10; ++b) {
            const int bar = Bar(s, b);
            parts_.PadChord(bar, chords[b], 30);
            if (b >= 2) parts_.Arpeggio(bar, chords[b], std::min(6 + 3 * (b - 2), 16), 0);
            if (b >= 4 && b < 8) {
                parts_.Hats(bar, false, false, false, 36);
                parts_.HeldBass(bar, chords[b], 40);
                Lead(bar, kMotif[b - 4], 30);
            }
            if (b >= 8) {
                parts_.FourOnTheFloor(bar, 56);
                parts_.Hats(bar, true, false, false, 40);
                parts_.RollingBass(bar, chords[b], 42);
            }
        }
        parts_.PadRamp(s, Bar(s, 3), 10, 30);
        Sweep(Bar(s, 8), 44);
        parts_.SnareRoll(Bar(s, 9) + 8, Bar(s, 10), 2, 24, 40);
        parts_.SnareRoll(Bar(s, 9) + 14, Bar(s, 10), 1, 44, 52);
    }

    // 7 bars at 133 BPM (12.63 s): the groove arrives, the theme is hinted, a snare roll ends it.
    void Build() {
        const int s = Section("build", 7 * kRowsPerBar, 133);
        const Chord chords[7] = {kAm, kF, kC, kG, kF, kG, kE};
        Crash(s, 36);
        for (int b = 0; b < 7; ++b) {
            const int bar = Bar(s, b);
            parts_.FourOnTheFloor(bar, 58);
            if (b < 6) parts_.Backbeat(bar, 48, false);
            parts_.Hats(bar, true, false, b % 2 == 1, 42);
            parts_.RollingBass(bar, chords[b], 44);
            parts_.PadChord(bar, chords[b], 26);
            parts_.PadPump(bar, 26);
            parts_.Arpeggio(bar, chords[b], 15, 0);
            if (b < 4) Lead(bar, kThemeA[b], 30);
        }
        parts_.Cut(Bar(s, 4), kLeadChannel);
        Sweep(Bar(s, 5), 44);
        parts_.SnareRoll(Bar(s, 6), Bar(s, 6) + 8, 2, 22, 36);
        parts_.SnareRoll(Bar(s, 6) + 8, Bar(s, 7), 1, 38, 58);
    }

    // 12 bars at 134 BPM (21.49 s): the main theme over the full groove.
    void MainA() {
        const int s = Section("main A", 12 * kRowsPerBar, 134);
        const Chord chords[4] = {kAm, kF, kC, kG};
        Crash(s, 40);
        for (int b = 0; b < 12; ++b) {
            const int bar = Bar(s, b);
            Groove(bar, chords[b % 4], false, 24);
            Lead(bar, kThemeA[b % 8], 44);
            if (b >= 8) parts_.Arpeggio(bar, chords[b % 4], 13, 0);
        }
        parts_.SnareRoll(Bar(s, 11) + 12, Bar(s, 12), 1, 36, 54);
    }

    // 2 bars (3.58 s), under the fade to dark: drums and bass drop out, the pad swells, a riser.
    void Drop() {
        const int s = Section("drop", 2 * kRowsPerBar, 134);
        parts_.PadChord(s, kF, 20);
        parts_.PadChord(Bar(s, 1), kE, 30);
        parts_.PadRamp(s, Bar(s, 2), 20, 38);
        Sweep(s, 48);
        parts_.SnareRoll(Bar(s, 1) + 8, Bar(s, 2), 1, 24, 56);
    }

    // 7 bars at 134 BPM (12.54 s): the second theme.
    void MainB() {
        const int s = Section("main B", 7 * kRowsPerBar, 134);
        const Chord chords[4] = {kF, kG, kAm, kEm};
        Crash(s, 40);
        for (int b = 0; b < 7; ++b) {
            const int bar = Bar(s, b);
            Groove(bar, chords[b % 4], false, 24);
            parts_.Arpeggio(bar, chords[b % 4], 15, 0);
            Lead(bar, kThemeB[b], 44);
        }
    }

    // 3.5 bars (6.27 s): the same theme lifted, open hats and the arpeggio an octave up, then a fill.
    void MainBLift() {
        const int s = Section("main B lift", 3 * kRowsPerBar + 8, 134);
        const Chord chords[4] = {kF, kG, kAm, kG};
        Crash(s, 44);
        for (int b = 0; b < 3; ++b) {
            const int bar = Bar(s, b);
            Groove(bar, chords[b], true, 26);
            parts_.Arpeggio(bar, chords[b], 16, 1);
            Lead(bar, kThemeB[4 + b], 46);
        }
        const int half = Bar(s, 3);
        parts_.Cut(half, kLeadChannel);
        parts_.Cut(half, kArpChannel);
        parts_.Cut(half, kBassChannel);
        parts_.PadChord(half, chords[3], 28);
        parts_.Note(half, kKickChannel, 60, Instrument::Kick, 58);
        parts_.SnareRoll(half, half + 8, 1, 30, 58);
    }

    // 3 bars at 120 BPM (6 s): no drums; the pad swells under a slow line in D minor turning to E.
    void Breakdown() {
        const int s = Section("breakdown", 3 * kRowsPerBar, 120);
        const Chord chords[3] = {kDm, kF, kE};
        for (int b = 0; b < 3; ++b) {
            const int bar = Bar(s, b);
            parts_.PadChord(bar, chords[b], 24 + 6 * b);
            parts_.HeldBass(bar, chords[b], 32);
            Lead(bar, kBreakdownLine[b], 36);
        }
        parts_.PadRamp(s, Bar(s, 3), 24, 38);
        parts_.Hats(Bar(s, 2), false, false, false, 28);
        Sweep(s + 20, 46);
    }

    // 9 bars at 134 BPM (16.12 s): the main theme returns with everything.
    void MainC() {
        const int s = Section("main C", 9 * kRowsPerBar, 134);
        const Chord chords[4] = {kAm, kF, kC, kG};
        Crash(s, 44);
        for (int b = 0; b < 9; ++b) {
            const int bar = Bar(s, b);
            Groove(bar, chords[b % 4], b % 2 == 1, 26);
            parts_.Arpeggio(bar, chords[b % 4], 16, b >= 4 ? 1 : 0);
            if (b < 8) Lead(bar, kThemeA[b], 46);
        }
        Lead(Bar(s, 8), "A5 . . . . . . . . . . . . . . .", 46);
        parts_.SnareRoll(Bar(s, 8) + 12, Bar(s, 9), 1, 36, 54);
    }

    // 8 bars at 124 BPM (15.48 s): the groove thins out, the motif returns, the pad fades to
    // nothing, and everything stops before the module loops to the intro.
    void Outro() {
        const int s = Section("outro", 8 * kRowsPerBar, 124);
        const Chord chords[8] = {kAm, kF, kC, kG, kAm, kF, kG, kAm};
        Crash(s, 36);
        parts_.StopTonal(Bar(s, 4));
        for (int b = 0; b < 8; ++b) {
            const int bar = Bar(s, b);
            if (b < 4) {
                parts_.FourOnTheFloor(bar, 54);
                if (b < 3) parts_.Backbeat(bar, 44, false);
                parts_.Hats(bar, b < 2, false, false, 40);
                parts_.RollingBass(bar, chords[b], 40);
                parts_.PadChord(bar, chords[b], 24);
                parts_.PadPump(bar, 24);
                parts_.Arpeggio(bar, chords[b], 14 - 3 * b, 0);
                Lead(bar, kMotif[b], 30);
            } else {
                parts_.PadChord(bar, chords[b], 28);
            }
        }
        parts_.PadRamp(Bar(s, 4), Bar(s, 7) + 8, 28, 0);
        parts_.PadRamp(Bar(s, 7) + 8, Bar(s, 8), 0, 0);
    }

    SongTimeline timeline_;
    PartWriter parts_;
    std::string error_;
};

S3mChannel Pan(int pan) { return S3mChannel{pan >= 8, pan}; }

}  // namespace

ComposedModule ComposeVelorModule() {
    ComposedModule out;
    Composer composer;
    out.error = composer.Compose();
    if (!out.Ok()) return out;

    S3mSong song;
    song.title = "Velor";
    song.samples = SynthesiseInstruments();
    // kick, snare, hat, bass, pad x3, lead, echo, arpeggio, fx, control
    song.channels = {Pan(7), Pan(8), Pan(10), Pan(7), Pan(3), Pan(8), Pan(12), Pan(6), Pan(11), Pan(4), Pan(9), Pan(8)};
    song.initialSpeed = kSpeed;
    song.initialTempo = uint8_t(composer.Timeline().Sections().front().tempo);
    song.globalVolume = 64;
    song.masterVolume = 58;
    out.error = composer.Timeline().BuildSong(&song);
    if (!out.Ok()) return out;

    S3mWriteResult written = WriteS3m(song);
    if (!written.Ok()) {
        out.error = written.error;
        return out;
    }
    out.bytes = std::move(written.bytes);
    for (const TimelineSection& t : composer.Timeline().Sections())
        out.sections.push_back({t.name, t.startSeconds, t.endSeconds, t.tempo});
    return out;
}

}  // namespace velor
