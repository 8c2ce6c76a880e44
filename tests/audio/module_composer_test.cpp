// The demo's module and its instruments, checked by playing them with libopenmpt.

#include "tools/contentgen/music/module_composer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <libopenmpt/libopenmpt.hpp>
#include <set>
#include <sstream>

#include "tools/contentgen/music/instrument_synth.h"
#include "tools/contentgen/music/s3m_writer.h"

namespace velor {
namespace {

constexpr int kRate = 44100;

double Db(double v) { return 20.0 * std::log10(std::max(v, 1e-12)); }

struct Levels {
    double peak = 0.0;
    double rms = 0.0;
};

Levels Measure(const std::vector<float>& stereo, double fromSeconds, double toSeconds) {
    const size_t a = std::min(stereo.size(), size_t(fromSeconds * kRate) * 2);
    const size_t b = std::min(stereo.size(), size_t(toSeconds * kRate) * 2);
    Levels l;
    double sum = 0.0;
    for (size_t i = a; i < b; ++i) {
        l.peak = std::max(l.peak, double(std::fabs(stereo[i])));
        sum += double(stereo[i]) * stereo[i];
    }
    l.rms = b > a ? std::sqrt(sum / double(b - a)) : 0.0;
    return l;
}

std::vector<float> RenderStereo(openmpt::module& m, double seconds) {
    std::vector<float> out(size_t(seconds * kRate) * 2, 0.0f);
    size_t done = 0;
    while (done * 2 < out.size()) {
        size_t got = m.read_interleaved_stereo(kRate, out.size() / 2 - done, out.data() + done * 2);
        if (got == 0) break;
        done += got;
    }
    out.resize(done * 2);
    return out;
}

class VelorModule : public testing::Test {
protected:
    static void SetUpTestSuite() { composed_ = new ComposedModule(ComposeVelorModule()); }
    static void TearDownTestSuite() { delete composed_; }
    static const ComposedModule& Composed() { return *composed_; }

private:
    static inline ComposedModule* composed_ = nullptr;
};

TEST_F(VelorModule, ComposesTheSameBytesEveryTime) {
    ASSERT_TRUE(Composed().Ok()) << Composed().error;
    const ComposedModule again = ComposeVelorModule();
    EXPECT_FALSE(Composed().bytes.empty());
    EXPECT_TRUE(again.bytes == Composed().bytes);
}

TEST_F(VelorModule, LoadsAsAnS3mOfOverAHundredSecondsWithItsInstruments) {
    ASSERT_TRUE(Composed().Ok()) << Composed().error;
    std::ostringstream log;
    openmpt::module m(Composed().bytes, log);
    EXPECT_EQ(m.get_metadata("type"), "s3m");
    EXPECT_GE(m.get_duration_seconds(), 100.0);
    EXPECT_NEAR(m.get_duration_seconds(), Composed().sections.back().endSeconds, 0.15);
    EXPECT_EQ(m.get_num_samples(), kInstrumentCount);
    const std::vector<std::string> names = m.get_sample_names();
    EXPECT_EQ(names.front(), "velor kick");
    EXPECT_EQ(names.back(), "velor pluck");
}

// The sections change where the demo's scene windows change (19.4, 32, 53.5 fade, 57, 69.5 colour
// change, 76, 82 followers, 98 scroller), so the music marks each new scene.
TEST_F(VelorModule, SectionsStartWhereTheScenesChange) {
    ASSERT_TRUE(Composed().Ok()) << Composed().error;
    const std::vector<std::pair<std::string, double>> expected = {
        {"intro", 0.0},     {"build", 19.4},    {"main A", 32.0},    {"drop", 53.5},   {"main B", 57.0},
        {"main B lift", 69.5}, {"breakdown", 76.0}, {"main C", 82.0}, {"finale", 98.0},
    };
    ASSERT_EQ(Composed().sections.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(Composed().sections[i].name, expected[i].first);
        EXPECT_NEAR(Composed().sections[i].startSeconds, expected[i].second, 0.2) << expected[i].first;
        EXPECT_GE(Composed().sections[i].tempo, 120);
        EXPECT_LE(Composed().sections[i].tempo, 140);
    }
}

TEST_F(VelorModule, MixKeepsHeadroomAndNoSectionIsSilent) {
    ASSERT_TRUE(Composed().Ok()) << Composed().error;
    std::ostringstream log;
    openmpt::module m(Composed().bytes, log);
    const std::vector<float> pcm = RenderStereo(m, m.get_duration_seconds() + 1.0);
    const Levels whole = Measure(pcm, 0.0, 1e9);
    EXPECT_LT(whole.peak, 0.89) << "peak " << Db(whole.peak) << " dBFS: less than 1 dB of headroom";
    for (const MusicSection& s : Composed().sections) {
        const Levels l = Measure(pcm, s.startSeconds, s.endSeconds);
        EXPECT_GT(Db(l.rms), -30.0) << s.name << " is nearly silent";
    }
    // The full groove is clearly louder than the drop under the fade to dark.
    auto rmsOf = [&](const char* name) {
        for (const MusicSection& s : Composed().sections)
            if (s.name == name) return Db(Measure(pcm, s.startSeconds, s.endSeconds).rms);
        return -999.0;
    };
    EXPECT_GT(rmsOf("main A"), rmsOf("drop") + 3.0);
    EXPECT_GT(rmsOf("main C"), rmsOf("breakdown") + 2.0);
}

// The scroller after the last scene runs on as long as the viewer lets it: the song must not die
// away into its quiet intro but jump back to the second theme, at the one tempo it keeps throughout
// (a tempo change under a steady kick is heard as a lurch).
TEST_F(VelorModule, LoopsBackToTheSecondThemeAtOneTempo) {
    ASSERT_TRUE(Composed().Ok()) << Composed().error;
    ASSERT_GE(Composed().loopSection, 0);
    const MusicSection& loop = Composed().sections[size_t(Composed().loopSection)];
    EXPECT_EQ(loop.name, "main B");

    std::ostringstream log;
    openmpt::module m(Composed().bytes, log);
    m.set_repeat_count(-1);
    const double pass = m.get_duration_seconds();
    EXPECT_NEAR(pass, Composed().sections.back().endSeconds, 0.15);
    // Two passes in steps of a tenth of a second: the tempo never moves, and after the first pass
    // the song plays the loop section's orders, never the intro's.
    constexpr size_t kStep = kRate / 10;
    std::vector<float> pcm, chunk(kStep * 2);
    std::set<int> tempos;
    int ordersAfterPass = 0, lowestOrderAfterPass = 1000;
    while (double(pcm.size() / 2) / kRate < 2.0 * pass) {
        const size_t got = m.read_interleaved_stereo(kRate, kStep, chunk.data());
        ASSERT_GT(got, 0u) << "the song stopped at " << double(pcm.size() / 2) / kRate << " s";
        pcm.insert(pcm.end(), chunk.begin(), chunk.begin() + long(got * 2));
        tempos.insert(m.get_current_tempo());
        if (double(pcm.size() / 2) / kRate > pass + 0.2) {
            ++ordersAfterPass;
            lowestOrderAfterPass = std::min(lowestOrderAfterPass, m.get_current_order());
        }
    }
    EXPECT_EQ(tempos.size(), 1u) << "tempo changes: from " << *tempos.begin() << " to " << *tempos.rbegin();
    ASSERT_GT(ordersAfterPass, 0);
    EXPECT_EQ(lowestOrderAfterPass, loop.firstOrder);

    // The second time round the loop section sounds as it did the first, and the join is not a gap.
    EXPECT_GT(Db(Measure(pcm, pass - 0.5, pass + 0.5).rms), -30.0);
    for (double t = 0.0; t < 3.0; t += 0.5) {
        const double first = Db(Measure(pcm, loop.startSeconds + t, loop.startSeconds + t + 0.5).rms);
        const double again = Db(Measure(pcm, pass + t, pass + t + 0.5).rms);
        EXPECT_NEAR(again, first, 3.0) << "at " << t << " s into the loop";
    }
}

// ---- Instruments ----------------------------------------------------------------------------------------

const S3mSample& SampleOf(const std::vector<S3mSample>& all, Instrument i) { return all[size_t(i) - 1]; }

TEST(Instruments, LoopsJoinWithoutAStep) {
    const std::vector<S3mSample> all = SynthesiseInstruments();
    for (Instrument i : {Instrument::Bass, Instrument::Pad, Instrument::Lead, Instrument::Pluck}) {
        const S3mSample& s = SampleOf(all, i);
        ASSERT_TRUE(s.loop) << s.name;
        ASSERT_LT(s.loopStart, s.loopEnd);
        ASSERT_EQ(s.loopEnd, s.pcm.size());
        int maxStep = 0;
        for (size_t n = s.loopStart + 1; n < s.loopEnd; ++n) maxStep = std::max(maxStep, std::abs(s.pcm[n] - s.pcm[n - 1]));
        const int seam = std::abs(s.pcm[s.loopStart] - s.pcm[s.loopEnd - 1]);
        EXPECT_LE(seam, maxStep) << s.name << ": the loop seam jumps by " << seam;
        // The attack flows into the loop too.
        const int entry = std::abs(s.pcm[s.loopStart] - s.pcm[s.loopStart - 1]);
        EXPECT_LE(entry, maxStep) << s.name;
    }
}

TEST(Instruments, OneShotsFadeToSilence) {
    const std::vector<S3mSample> all = SynthesiseInstruments();
    for (Instrument i : {Instrument::Kick, Instrument::Snare, Instrument::ClosedHat, Instrument::OpenHat,
                         Instrument::Sweep, Instrument::Crash}) {
        const S3mSample& s = SampleOf(all, i);
        EXPECT_FALSE(s.loop) << s.name;
        EXPECT_LT(std::abs(s.pcm.back()), 330) << s.name;
        int peak = 0;
        for (int16_t v : s.pcm) peak = std::max(peak, std::abs(int(v)));
        EXPECT_GT(peak, 30000) << s.name << " is not normalised";
    }
}

// Frequency of a held tone from its autocorrelation, octave-aware: lags from 0.4 to 2.2 times the
// expected period are searched and the first peak within 10 % of the highest one is the period. A
// tone an octave high peaks at half the period first; one an octave low has its highest peak at
// twice the period and a weaker one (if any) at the period itself.
double MeasureFrequency(const std::vector<float>& mono, double expectedHz) {
    const double period = kRate / expectedHz;
    const int lo = int(period * 0.4), hi = int(period * 2.2) + 1;
    std::vector<double> r(size_t(hi + 2), 0.0);
    const size_t n = mono.size() - size_t(hi) - 2;
    for (int lag = lo - 1; lag <= hi + 1; ++lag) {
        double s = 0.0;
        for (size_t i = 0; i < n; ++i) s += double(mono[i]) * mono[i + size_t(lag)];
        r[size_t(lag)] = s;
    }
    double highest = 0.0;
    for (int lag = lo; lag <= hi; ++lag) highest = std::max(highest, r[size_t(lag)]);
    int best = -1;
    for (int lag = lo; lag <= hi && best < 0; ++lag) {
        const double v = r[size_t(lag)];
        if (v >= 0.9 * highest && v >= r[size_t(lag) - 1] && v >= r[size_t(lag) + 1]) best = lag;
    }
    if (best < 0) return 0.0;
    const double a = r[size_t(best) - 1], b = r[size_t(best)], c = r[size_t(best) + 1];
    const double shift = 0.5 * (a - c) / (a - 2.0 * b + c);
    return kRate / (best + shift);
}

// Played as a module, each tonal instrument sounds the equal-tempered pitch of its note.
TEST(Instruments, TonalInstrumentsPlayInTune) {
    struct Case {
        Instrument instrument;
        int midi;
        double hz;
    };
    const Case cases[] = {
        {Instrument::Bass, 33, 55.0},  {Instrument::Bass, 45, 110.0}, {Instrument::Pad, 57, 220.0},
        {Instrument::Pad, 64, 329.63}, {Instrument::Lead, 69, 440.0}, {Instrument::Lead, 81, 880.0},
        {Instrument::Pluck, 57, 220.0}, {Instrument::Pluck, 76, 659.26},
    };
    for (const Case& c : cases) {
        S3mSong song;
        song.channels = {S3mChannel{}};
        song.samples = SynthesiseInstruments();
        S3mPattern p;
        p.At(0, 0) = S3mCell{S3mNoteFromMidi(c.midi), uint8_t(c.instrument), 48, 0, 0};
        song.patterns = {p};
        song.orders = {0};
        S3mWriteResult written = WriteS3m(song);
        ASSERT_TRUE(written.Ok()) << written.error;
        std::ostringstream log;
        openmpt::module m(written.bytes, log);
        std::vector<float> mono(size_t(1.5 * kRate));
        m.read(kRate, mono.size(), mono.data());
        // Past the attack, where the loop holds the tone steady.
        std::vector<float> steady(mono.begin() + long(0.6 * kRate), mono.end());
        EXPECT_NEAR(MeasureFrequency(steady, c.hz), c.hz, c.hz * 0.004) << "MIDI " << c.midi;
    }
}

}  // namespace
}  // namespace velor
