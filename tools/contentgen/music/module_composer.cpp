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

// One tempo throughout. The scene changes (19.4, 32, 57, 76 and 98 s, and the fade at 53.5, the
// colour change at 69.5 and the followers at 82) do not fall on a bar grid at any tempo, so each
// section runs whole bars and then, where it must, one to three beats of fill; at 139 BPM every
// edge then lands within 0.06 s of its cue while the kick never misses a beat.
constexpr int kTempo = 139;

constexpr int Beats(int bars, int beats) { return bars * kRowsPerBar + beats * kRowsPerBeat; }

class Composer {
public:
    Composer() : timeline_(kMusicChannelCount, kSpeed), parts_(timeline_) {}

    std::string Compose() {
        Intro();
        Build();
        MainA();
        Drop();
        const int loop = int(timeline_.Sections().size());
        MainB();
        MainBLift();
        Breakdown();
        MainC();
        Finale();
        // The scroller after the last scene runs for as long as the viewer lets it, so the song
        // never ends: from the finale it goes back to the second theme and plays on from there.
        timeline_.LoopTo(loop);
        parts_.Echo(3, 40);
        return error_;
    }

    SongTimeline& Timeline() { return timeline_; }

private:
    // Starts a section; tonal parts still sounding from the one before are cut on its first row.
    int Section(const char* name, int rows) {
        int start = timeline_.AddSection(name, rows, kTempo);
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
    // Kicks on every beat of [from, to): the beats of fill that round a section off.
    void FillKicks(int from, int to, int volume) {
        for (int r = from; r < to; r += kRowsPerBeat) parts_.Note(r, kKickChannel, 60, Instrument::Kick, volume);
    }

    // Full groove for one bar: kick, snare with ghosts, sixteenth hats, rolling bass, pumping pad.
    void Groove(int bar, const Chord& chord, bool openHats, int padLevel) {
        parts_.FourOnTheFloor(bar, 60);
        parts_.Backbeat(bar, 52, true);
        parts_.Hats(bar, true, openHats, true, 48);
        parts_.RollingBass(bar, chord, 46);
        parts_.PadChord(bar, chord, padLevel);
        parts_.PadPump(bar, padLevel);
    }

    // 11 bars and a beat (19.42 s): pad and arpeggio fade in, then hats, bass and a slow motif,
    // then the kick and a riser.
    void Intro() {
        const int rows = Beats(11, 1);
        const int s = Section("intro", rows), end = s + rows;
        const Chord chords[11] = {kAm, kF, kC, kG, kAm, kF, kC, kG, kAm, kF, kG};
        for (int b = 0; b < 11; ++b) {
            const int bar = Bar(s, b);
            parts_.PadChord(bar, chords[b], 30);
            if (b >= 2) parts_.Arpeggio(bar, chords[b], std::min(8 + 3 * (b - 2), 20), 0);
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
        FillKicks(Bar(s, 11), end, 56);
        Sweep(end - 32, 44);
        parts_.SnareRoll(Bar(s, 10) + 8, end - 4, 2, 24, 40);
        parts_.SnareRoll(end - 6, end, 1, 44, 52);
    }

    // 7 bars and a beat (12.52 s): the groove arrives, the theme is hinted, a snare roll ends it.
    void Build() {
        const int rows = Beats(7, 1);
        const int s = Section("build", rows), end = s + rows;
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
            parts_.Arpeggio(bar, chords[b], 19, 0);
            if (b < 4) Lead(bar, kThemeA[b], 30);
        }
        parts_.Cut(Bar(s, 4), kLeadChannel);
        FillKicks(Bar(s, 7), end, 58);
        Sweep(end - 32, 44);
        parts_.SnareRoll(Bar(s, 6), Bar(s, 6) + 8, 2, 22, 36);
        parts_.SnareRoll(Bar(s, 6) + 8, end, 1, 38, 58);
    }

    // 12 bars and two beats (21.58 s): the main theme over the full groove.
    void MainA() {
        const int rows = Beats(12, 2);
        const int s = Section("main A", rows), end = s + rows;
        const Chord chords[4] = {kAm, kF, kC, kG};
        Crash(s, 40);
        for (int b = 0; b < 12; ++b) {
            const int bar = Bar(s, b);
            Groove(bar, chords[b % 4], false, 24);
            Lead(bar, kThemeA[b % 8], 44);
            if (b >= 8) parts_.Arpeggio(bar, chords[b % 4], 17, 0);
        }
        FillKicks(Bar(s, 12), end, 60);
        parts_.SnareRoll(Bar(s, 12) - 4, end, 1, 36, 54);
    }

    // 2 bars (3.45 s), under the fade to dark: drums and bass drop out, the pad swells, a riser.
    void Drop() {
        const int s = Section("drop", Beats(2, 0));
        parts_.PadChord(s, kF, 20);
        parts_.PadChord(Bar(s, 1), kE, 30);
        parts_.PadRamp(s, Bar(s, 2), 20, 38);
        Sweep(s, 48);
        parts_.SnareRoll(Bar(s, 1) + 8, Bar(s, 2), 1, 24, 56);
    }

    // 7 bars and a beat (12.52 s): the second theme. The song comes back here after the finale.
    void MainB() {
        const int rows = Beats(7, 1);
        const int s = Section("main B", rows), end = s + rows;
        const Chord chords[4] = {kF, kG, kAm, kEm};
        Crash(s, 40);
        for (int b = 0; b < 7; ++b) {
            const int bar = Bar(s, b);
            Groove(bar, chords[b % 4], false, 24);
            parts_.Arpeggio(bar, chords[b % 4], 19, 0);
            Lead(bar, kThemeB[b], 44);
        }
        FillKicks(Bar(s, 7), end, 60);
        parts_.SnareRoll(Bar(s, 7), end, 1, 34, 50);
    }

    // 3 bars and three beats (6.47 s): the same theme lifted, open hats and the arpeggio an octave
    // up, then a fill.
    void MainBLift() {
        const int rows = Beats(3, 3);
        const int s = Section("main B lift", rows), end = s + rows;
        const Chord chords[4] = {kF, kG, kAm, kG};
        Crash(s, 44);
        for (int b = 0; b < 3; ++b) {
            const int bar = Bar(s, b);
            Groove(bar, chords[b], true, 26);
            parts_.Arpeggio(bar, chords[b], 20, 1);
            Lead(bar, kThemeB[4 + b], 46);
        }
        const int fill = Bar(s, 3);
        parts_.Cut(fill, kLeadChannel);
        parts_.Cut(fill, kArpChannel);
        parts_.Cut(fill, kBassChannel);
        parts_.PadChord(fill, chords[3], 28);
        FillKicks(fill, end, 58);
        parts_.SnareRoll(fill, end, 1, 30, 58);
    }

    // 3 bars and two beats (6.04 s): no drums; the pad swells under a slow line in D minor turning
    // to E, and a riser leads into the theme's return.
    void Breakdown() {
        const int rows = Beats(3, 2);
        const int s = Section("breakdown", rows), end = s + rows;
        const Chord chords[3] = {kDm, kF, kE};
        for (int b = 0; b < 3; ++b) {
            const int bar = Bar(s, b);
            parts_.PadChord(bar, chords[b], 24 + 6 * b);
            parts_.HeldBass(bar, chords[b], 32);
            Lead(bar, kBreakdownLine[b], 36);
        }
        parts_.PadRamp(s, end, 24, 40);
        parts_.Hats(Bar(s, 2), false, false, false, 28);
        Sweep(end - 30, 46);
    }

    // 9 bars and a beat (15.97 s): the main theme returns with everything.
    void MainC() {
        const int rows = Beats(9, 1);
        const int s = Section("main C", rows), end = s + rows;
        const Chord chords[4] = {kAm, kF, kC, kG};
        Crash(s, 44);
        for (int b = 0; b < 9; ++b) {
            const int bar = Bar(s, b);
            Groove(bar, chords[b % 4], b % 2 == 1, 26);
            parts_.Arpeggio(bar, chords[b % 4], 20, b >= 4 ? 1 : 0);
            if (b < 8) Lead(bar, kThemeA[b], 46);
        }
        Lead(Bar(s, 8), "A5 . . . . . . . . . . . . . . .", 46);
        FillKicks(Bar(s, 9), end, 60);
        parts_.SnareRoll(Bar(s, 8) + 12, end, 1, 36, 54);
    }

    // 8 bars (13.81 s) under the scroller: a lighter groove with the intro's motif over it, ending
    // on the dominant with a fill that leads back into the second theme.
    void Finale() {
        const int s = Section("finale", Beats(8, 0));
        const Chord chords[8] = {kAm, kF, kC, kG, kAm, kF, kG, kE};
        Crash(s, 36);
        for (int b = 0; b < 8; ++b) {
            const int bar = Bar(s, b);
            parts_.FourOnTheFloor(bar, 56);
            parts_.Backbeat(bar, 44, b % 2 == 1);
            parts_.Hats(bar, true, false, b % 4 == 3, 40);
            parts_.RollingBass(bar, chords[b], 42);
            parts_.PadChord(bar, chords[b], 26);
            parts_.PadPump(bar, 26);
            parts_.Arpeggio(bar, chords[b], 17, b >= 4 ? 1 : 0);
            Lead(bar, kMotif[b % 4], 34);
        }
        parts_.SnareRoll(Bar(s, 7) + 8, Bar(s, 8), 1, 30, 52);
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
    song.initialTempo = uint8_t(kTempo);
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
        out.sections.push_back({t.name, t.startSeconds, t.endSeconds, t.tempo, t.firstOrder});
    out.loopSection = composer.Timeline().LoopSection();
    return out;
}

}  // namespace velor
