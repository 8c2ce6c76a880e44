// The composer's building blocks: melodies written as text, and the timeline cut into patterns.

#include <gtest/gtest.h>

#include <libopenmpt/libopenmpt.hpp>
#include <sstream>

#include "tests/audio/test_modules.h"
#include "tools/contentgen/music/phrase.h"
#include "tools/contentgen/music/song_timeline.h"

namespace velor {
namespace {

TEST(Phrase, NoteNamesMapToMidiNumbers) {
    const std::pair<const char*, int> cases[] = {
        {"C4", 60}, {"A4", 69}, {"C#5", 73}, {"Bb3", 58}, {"G#4", 68}, {"B4", 71}, {"C0", 12}, {"E1", 28},
    };
    for (const auto& [name, midi] : cases) EXPECT_EQ(MidiFromNoteName(name), midi) << name;
    for (const char* bad : {"H4", "C", "C#", "c4", "C44", "", "A-4"}) EXPECT_EQ(MidiFromNoteName(bad), -1) << bad;
}

TEST(Phrase, HoldsLengthenTheNoteAndDashesStopIt) {
    ParsedPhrase p = ParsePhrase("E5 . . A5 - . G#4 .");
    ASSERT_TRUE(p.error.empty()) << p.error;
    EXPECT_EQ(p.rows, 8);
    ASSERT_EQ(p.notes.size(), 4u);
    EXPECT_EQ(p.notes[0].row, 0);
    EXPECT_EQ(p.notes[0].midi, 76);
    EXPECT_EQ(p.notes[0].length, 3);
    EXPECT_EQ(p.notes[1].row, 3);
    EXPECT_EQ(p.notes[1].midi, 81);
    EXPECT_EQ(p.notes[1].length, 1);
    EXPECT_EQ(p.notes[2].row, 4);
    EXPECT_EQ(p.notes[2].midi, -1);
    EXPECT_EQ(p.notes[2].length, 2);
    EXPECT_EQ(p.notes[3].row, 6);
    EXPECT_EQ(p.notes[3].midi, 68);
    EXPECT_EQ(p.notes[3].length, 2);
}

TEST(Phrase, TypoIsAnErrorNamingTheRow) {
    ParsedPhrase p = ParsePhrase("E5 . . A5 . X5 .");
    EXPECT_TRUE(p.notes.empty());
    EXPECT_EQ(p.error, "row 5: 'X5' is not a note, '.' or '-'");
}

// Two channels plus control. Section "a" is 80 rows at 125 (a full pattern, then 16 rows ended by
// a break); "b" is 32 rows at 150; "c" repeats "a"'s first 64 rows exactly and must reuse its pattern.
TEST(SongTimeline, CutsSectionsIntoPatternsWithTempoAndBreaks) {
    SongTimeline t(2, 6);
    const int a = t.AddSection("a", 80, 125);
    const int b = t.AddSection("b", 32, 150);
    const int c = t.AddSection("c", 64, 125);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 80);
    EXPECT_EQ(c, 112);
    for (int start : {a, c}) {
        t.At(start, 0) = S3mCell{S3mNote(4, 0), 1, 40, 0, 0};
        t.At(start + 32, 1) = S3mCell{kS3mNoteCut, 0, kS3mNoVolume, 0, 0};
    }
    t.At(b + 3, 1) = S3mCell{S3mNote(3, 7), 1, kS3mNoVolume, 0, 0};

    EXPECT_DOUBLE_EQ(t.Sections()[0].endSeconds, 80 * 0.12);
    EXPECT_DOUBLE_EQ(t.Sections()[1].endSeconds, 80 * 0.12 + 32 * 0.1);
    EXPECT_DOUBLE_EQ(t.Sections()[2].startSeconds, t.Sections()[1].endSeconds);

    S3mSong song;
    ASSERT_EQ(t.BuildSong(&song), "");
    EXPECT_EQ(song.orders, (std::vector<uint8_t>{0, 1, 2, 0}));
    ASSERT_EQ(song.patterns.size(), 3u);
    const int control = t.ControlChannel();
    EXPECT_EQ(control, 2);
    EXPECT_EQ(song.patterns[0].At(0, control).effect, S3mEffect('T'));
    EXPECT_EQ(song.patterns[0].At(0, control).param, 125);
    EXPECT_EQ(song.patterns[0].At(63, control).effect, 0);      // a full pattern needs no break
    EXPECT_EQ(song.patterns[1].At(0, control).effect, 0);       // second part of "a": no tempo
    EXPECT_EQ(song.patterns[1].At(15, control).effect, S3mEffect('C'));
    EXPECT_EQ(song.patterns[2].At(0, control).param, 150);
    EXPECT_EQ(song.patterns[2].At(31, control).effect, S3mEffect('C'));
    EXPECT_EQ(song.patterns[2].At(3, 1).note, S3mNote(3, 7));

    // Played by libopenmpt, the song lasts what the sections say.
    song.channels = {S3mChannel{}, S3mChannel{}, S3mChannel{}};
    song.samples = {test::SineSample()};
    S3mWriteResult written = WriteS3m(song);
    ASSERT_TRUE(written.Ok()) << written.error;
    std::ostringstream log;
    openmpt::module m(written.bytes, log);
    EXPECT_NEAR(m.get_duration_seconds(), t.Sections()[2].endSeconds, 0.01);
}

TEST(SongTimeline, RefusesAControlCellAlreadyTaken) {
    SongTimeline t(1, 6);
    t.AddSection("x", 64, 125);
    t.At(0, t.ControlChannel()).effect = S3mEffect('A');
    S3mSong song;
    EXPECT_EQ(t.BuildSong(&song), "section x: control cell of its first row is taken");
}

}  // namespace
}  // namespace velor
