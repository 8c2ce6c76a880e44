#include "tools/contentgen/music/s3m_writer.h"

#include <gtest/gtest.h>

#include <functional>
#include <libopenmpt/libopenmpt.hpp>
#include <sstream>

namespace velor {
namespace {

uint16_t U16(const std::vector<uint8_t>& b, size_t at) { return uint16_t(b[at] | (b[at + 1] << 8)); }
uint32_t U32(const std::vector<uint8_t>& b, size_t at) { return U16(b, at) | (uint32_t(U16(b, at + 2)) << 16); }

// Two channels (one per side), an 8-bit looped sample and a 16-bit one-shot, two patterns, three
// orders. Pattern 1 is cut to 16 rows by a break, so the song is 64 + 16 + 64 rows long.
S3mSong SmallSong() {
    S3mSong song;
    song.title = "writer test";
    song.channels = {S3mChannel{false, 2}, S3mChannel{true, -1}};
    S3mSample a;
    a.name = "square";
    a.fileName = "SQUARE.SMP";
    a.sixteenBit = false;
    a.pcm = {0, -32768, 32767, 256, -256, 127, 128, -129, 1000, 2000, 3000, 4000, 5000, 6000, 7000, 8000, 9000};
    a.loop = true;
    a.loopStart = 4;
    a.loopEnd = 17;
    a.volume = 40;
    a.c2spd = 22050;
    S3mSample b;
    b.name = "click";
    b.pcm = {0, -1, 32767, -32768, 12345};
    b.c2spd = 44100;
    song.samples = {a, b};

    S3mPattern p0;
    p0.At(0, 0) = S3mCell{S3mNote(4, 0), 1, 32, S3mEffect('A'), 6};
    p0.At(8, 1) = S3mCell{S3mNote(5, 9), 2, kS3mNoVolume, 0, 0};
    p0.At(16, 0) = S3mCell{kS3mNoteCut, 0, kS3mNoVolume, 0, 0};
    p0.At(20, 1) = S3mCell{kS3mNoNote, 0, 12, S3mEffect('H'), 0x23};
    S3mPattern p1;
    p1.At(0, 1) = S3mCell{S3mNote(2, 4), 1, 64, S3mEffect('T'), 150};
    p1.At(15, 0) = S3mCell{kS3mNoNote, 0, kS3mNoVolume, S3mEffect('C'), 0};
    song.patterns = {p0, p1};
    song.orders = {0, 1, 0};
    song.initialSpeed = 6;
    song.initialTempo = 125;
    song.globalVolume = 50;
    song.masterVolume = 40;
    return song;
}

std::vector<uint8_t> Write(const S3mSong& song) {
    S3mWriteResult r = WriteS3m(song);
    EXPECT_TRUE(r.Ok()) << r.error;
    return r.bytes;
}

TEST(S3mWriter, HeaderFieldsSayWhatTheSongHolds) {
    const std::vector<uint8_t> f = Write(SmallSong());
    ASSERT_GE(f.size(), 0x60u);
    EXPECT_EQ(std::string(f.begin(), f.begin() + 11), "writer test");
    EXPECT_EQ(f[0x1C], 0x1A);
    EXPECT_EQ(f[0x1D], 16);                                       // ST3 module
    EXPECT_EQ(U16(f, 0x20), 4);                                    // 3 orders + end marker: even
    EXPECT_EQ(U16(f, 0x22), 2);                                    // samples
    EXPECT_EQ(U16(f, 0x24), 2);                                    // patterns
    EXPECT_EQ(U16(f, 0x2A), 2);                                    // unsigned sample data
    EXPECT_EQ(std::string(f.begin() + 0x2C, f.begin() + 0x30), "SCRM");
    EXPECT_EQ(f[0x30], 50);                                        // global volume
    EXPECT_EQ(f[0x31], 6);                                         // speed
    EXPECT_EQ(f[0x32], 125);                                       // tempo
    EXPECT_EQ(f[0x33], 0x80 | 40);                                 // master volume, stereo
    EXPECT_EQ(f[0x35], 252);                                       // pan table follows
    EXPECT_EQ(f[0x40], 0);                                         // L1
    EXPECT_EQ(f[0x41], 8);                                         // R1
    EXPECT_EQ(f[0x42], 0xFF);                                      // unused
    const std::vector<uint8_t> orders(f.begin() + 0x60, f.begin() + 0x64);
    EXPECT_EQ(orders, (std::vector<uint8_t>{0, 1, 0, kS3mOrderEnd}));
    const size_t pan = 0x60 + 4 + 2 * 2 + 2 * 2;
    EXPECT_EQ(f[pan], 0x20 | 2);  // channel 1: explicit pan
    EXPECT_EQ(f[pan + 1], 0);     // channel 2: its bank's default
}

TEST(S3mWriter, EveryParapointerTargetStartsOn16ByteBoundaryInOrder) {
    const S3mSong song = SmallSong();
    const std::vector<uint8_t> f = Write(song);
    EXPECT_EQ(f.size() % 16, 0u);
    const size_t samplePtrs = 0x60 + 4, patternPtrs = samplePtrs + 4;
    size_t lastHeader = 0, firstPattern = f.size(), lastPatternEnd = 0, firstData = f.size();
    for (size_t s = 0; s < 2; ++s) {
        const size_t header = size_t(U16(f, samplePtrs + 2 * s)) * 16;
        ASSERT_LE(header + 0x50, f.size());
        EXPECT_EQ(std::string(f.begin() + long(header + 0x4C), f.begin() + long(header + 0x50)), "SCRS");
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(&f[header + 0x30])), song.samples[s].name);
        lastHeader = std::max(lastHeader, header);
        // 24-bit data pointer: high byte first, then the low word.
        const size_t data = ((size_t(f[header + 0x0D]) << 16) | U16(f, header + 0x0E)) * 16;
        const size_t bytesPerFrame = song.samples[s].sixteenBit ? 2 : 1;
        EXPECT_EQ(U32(f, header + 0x10), song.samples[s].pcm.size());
        EXPECT_LE(data + song.samples[s].pcm.size() * bytesPerFrame, f.size());
        firstData = std::min(firstData, data);
    }
    for (size_t p = 0; p < 2; ++p) {
        const size_t at = size_t(U16(f, patternPtrs + 2 * p)) * 16;
        ASSERT_GT(at, 0u);
        const size_t packedLength = U16(f, at);
        EXPECT_LE(at + packedLength, f.size());
        firstPattern = std::min(firstPattern, at);
        lastPatternEnd = std::max(lastPatternEnd, at + packedLength);
    }
    EXPECT_LT(lastHeader + 0x50, firstPattern + 1);
    EXPECT_LE(lastPatternEnd, firstData);
}

TEST(S3mWriter, SampleHeaderKeepsLoopRateVolumeAndWidth) {
    const std::vector<uint8_t> f = Write(SmallSong());
    const size_t looped = size_t(U16(f, 0x64)) * 16, oneShot = size_t(U16(f, 0x66)) * 16;
    EXPECT_EQ(f[looped], 1);                 // PCM sample
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&f[looped + 1]), 10), "SQUARE.SMP");
    EXPECT_EQ(U32(f, looped + 0x14), 4u);    // loop start
    EXPECT_EQ(U32(f, looped + 0x18), 17u);   // loop end
    EXPECT_EQ(f[looped + 0x1C], 40);         // default volume
    EXPECT_EQ(f[looped + 0x1F], 1);          // looped, 8-bit
    EXPECT_EQ(U32(f, looped + 0x20), 22050u);
    EXPECT_EQ(f[oneShot + 0x1F], 4);         // not looped, 16-bit
    EXPECT_EQ(U32(f, oneShot + 0x14), 0u);
    EXPECT_EQ(U32(f, oneShot + 0x18), 0u);
}

// NOTE: format word 2 means unsigned data; signed zero must come out as the midpoint.
TEST(S3mWriter, SampleDataIsWrittenUnsigned) {
    const std::vector<uint8_t> f = Write(SmallSong());
    auto dataOf = [&](size_t sample) {
        const size_t header = size_t(U16(f, 0x64 + 2 * sample)) * 16;
        return ((size_t(f[header + 0x0D]) << 16) | U16(f, header + 0x0E)) * 16;
    };
    const size_t d8 = dataOf(0);
    // 0, -32768, 32767, 256, -256, 127 (rounds to 0), 128 (rounds up to 1), -129 (rounds to -1)
    const std::vector<uint8_t> expected8 = {0x80, 0x00, 0xFF, 0x81, 0x7F, 0x80, 0x81, 0x7F};
    EXPECT_EQ(std::vector<uint8_t>(f.begin() + long(d8), f.begin() + long(d8 + 8)), expected8);
    const size_t d16 = dataOf(1);
    for (size_t i = 0; i < 5; ++i) {
        const int16_t v = SmallSong().samples[1].pcm[i];
        EXPECT_EQ(U16(f, d16 + 2 * i), uint16_t(uint16_t(v) ^ 0x8000u)) << "frame " << i;
    }
}

TEST(S3mWriter, PatternPacksEachCellWithItsMaskAndEndsEveryRow) {
    S3mSong song = SmallSong();
    S3mPattern p;
    p.At(0, 1) = S3mCell{S3mNote(4, 0), 1, 32, S3mEffect('A'), 6};
    p.At(2, 0) = S3mCell{kS3mNoNote, 0, 10, 0, 0};
    p.At(3, 1) = S3mCell{kS3mNoNote, 1, kS3mNoVolume, 0, 0};  // an instrument without a note
    song.patterns = {p};
    song.orders = {0};
    const std::vector<uint8_t> f = Write(song);
    const size_t at = size_t(U16(f, 0x60 + 2 + 2 * 2)) * 16;
    std::vector<uint8_t> expected = {
        0xE1, 0x40, 1, 32, 1, 6, 0,  // row 0: channel 1 with note+instrument, volume and effect
        0,                           // row 1: empty
        0x40, 10, 0,                 // row 2: channel 0, volume only
        0x21, 0xFF, 1, 0,            // row 3: channel 1, instrument with the empty note byte
    };
    expected.insert(expected.end(), 60, 0);  // rows 4..63
    const size_t length = U16(f, at);
    EXPECT_EQ(length, expected.size() + 2);
    EXPECT_EQ(std::vector<uint8_t>(f.begin() + long(at + 2), f.begin() + long(at + length)), expected);
}

TEST(S3mWriter, LibopenmptReadsBackTheSong) {
    const S3mSong song = SmallSong();
    const std::vector<uint8_t> f = Write(song);
    std::ostringstream log;
    openmpt::module m(f, log);
    EXPECT_EQ(m.get_num_orders(), 3);
    EXPECT_EQ(m.get_num_patterns(), 2);
    EXPECT_EQ(m.get_num_samples(), 2);
    EXPECT_EQ(m.get_num_channels(), 2);
    EXPECT_EQ(m.get_sample_names(), (std::vector<std::string>{"square", "click"}));
    EXPECT_EQ(m.get_metadata("title"), "writer test");
    EXPECT_EQ(m.get_order_pattern(1), 1);

    // 64 rows at tempo 125, then 16 rows (the break) switching to tempo 150 on the first, then 64 at
    // 150: a row lasts 6 ticks of 2.5 / tempo seconds.
    const double expected = 64 * 0.12 + 16 * 0.1 + 64 * 0.1;
    EXPECT_NEAR(m.get_duration_seconds(), expected, 0.01);

    using C = openmpt::module;
    EXPECT_EQ(m.get_pattern_row_channel_command(0, 0, 0, C::command_note), 61);  // C-4 is middle C
    EXPECT_EQ(m.get_pattern_row_channel_command(0, 0, 0, C::command_instrument), 1);
    EXPECT_EQ(m.get_pattern_row_channel_command(0, 0, 0, C::command_volume), 32);
    EXPECT_EQ(m.format_pattern_row_channel_command(0, 0, 0, C::command_effect), "A");
    EXPECT_EQ(m.get_pattern_row_channel_command(0, 0, 0, C::command_parameter), 6);
    EXPECT_EQ(m.get_pattern_row_channel_command(0, 8, 1, C::command_note), 61 + 12 + 9);
    EXPECT_EQ(m.get_pattern_row_channel_command(0, 16, 0, C::command_note), 254);         // note cut
    EXPECT_EQ(m.get_pattern_row_channel_command(0, 20, 1, C::command_volume), 12);
    EXPECT_EQ(m.format_pattern_row_channel_command(0, 20, 1, C::command_effect), "H");
    EXPECT_EQ(m.get_pattern_row_channel_command(0, 20, 1, C::command_parameter), 0x23);
    EXPECT_EQ(m.get_pattern_row_channel_command(1, 0, 1, C::command_note), 61 - 24 + 4);  // E-2
    EXPECT_EQ(m.format_pattern_row_channel_command(1, 15, 0, C::command_effect), "C");
    EXPECT_EQ(m.get_pattern_row_channel_command(0, 1, 0, C::command_note), 0);  // empty cell
}

struct BadSong {
    const char* what;
    std::function<void(S3mSong&)> spoil;
    const char* message;
};

class S3mWriterRefuses : public testing::TestWithParam<BadSong> {};

TEST_P(S3mWriterRefuses, SongTheFormatCannotHold) {
    S3mSong song = SmallSong();
    GetParam().spoil(song);
    S3mWriteResult r = WriteS3m(song);
    EXPECT_FALSE(r.Ok());
    EXPECT_TRUE(r.bytes.empty());
    EXPECT_NE(r.error.find(GetParam().message), std::string::npos) << r.error;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, S3mWriterRefuses,
    testing::Values(
        BadSong{"no channels", [](S3mSong& s) { s.channels.clear(); }, "channel count 0"},
        BadSong{"33 channels", [](S3mSong& s) { s.channels.resize(33); }, "channel count 33"},
        BadSong{"9 left channels", [](S3mSong& s) { s.channels.assign(9, S3mChannel{}); }, "more than 8 channels on one side"},
        BadSong{"pan 16", [](S3mSong& s) { s.channels[0].pan = 16; }, "channel pan 16"},
        BadSong{"loop past end", [](S3mSong& s) { s.samples[0].loopEnd = 18; }, "does not fit 17 frames"},
        BadSong{"empty loop", [](S3mSong& s) { s.samples[0].loopStart = 17; }, "loop 17..17"},
        BadSong{"order to missing pattern", [](S3mSong& s) { s.orders.push_back(2); }, "order 3 names pattern 2 of 2"},
        BadSong{"no orders", [](S3mSong& s) { s.orders.clear(); }, "order count 0"},
        BadSong{"no patterns", [](S3mSong& s) { s.patterns.clear(), s.orders = {kS3mOrderEnd}; }, "pattern count 0"},
        BadSong{"semitone 12", [](S3mSong& s) { s.patterns[0].At(3, 0).note = 0x4C; }, "pattern 0 row 3 channel 0: note byte"},
        BadSong{"octave 8", [](S3mSong& s) { s.patterns[0].At(3, 0).note = 0x80; }, "note byte 128"},
        BadSong{"instrument 3 of 2", [](S3mSong& s) { s.patterns[1].At(5, 1).instrument = 3; }, "instrument 3 but the song has 2"},
        BadSong{"volume 65", [](S3mSong& s) { s.patterns[0].At(1, 0).volume = 65; }, "volume 65 above 64"},
        BadSong{"effect past Z", [](S3mSong& s) { s.patterns[0].At(1, 0).effect = 27; }, "not a letter"},
        BadSong{"cell in unused channel", [](S3mSong& s) { s.patterns[0].At(1, 2).volume = 1; }, "channel is not in the song"},
        BadSong{"long title", [](S3mSong& s) { s.title = std::string(28, 'x'); }, "title longer than 27"},
        BadSong{"long sample name", [](S3mSong& s) { s.samples[1].name = std::string(28, 'x'); }, "sample 2"},
        BadSong{"tempo 32", [](S3mSong& s) { s.initialTempo = 32; }, "initial tempo below 33"},
        BadSong{"speed 0", [](S3mSong& s) { s.initialSpeed = 0; }, "initial speed"},
        BadSong{"master volume 15", [](S3mSong& s) { s.masterVolume = 15; }, "master volume"},
        BadSong{"100 samples", [](S3mSong& s) { s.samples.resize(100, s.samples[1]); }, "more than 99 samples"},
        BadSong{"C2Spd 0", [](S3mSong& s) { s.samples[0].c2spd = 0; }, "C2Spd is 0"}),
    [](const testing::TestParamInfo<BadSong>& info) {
        std::string name;
        for (const char* c = info.param.what; *c; ++c) name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
        return name;
    });

}  // namespace
}  // namespace velor
