// The sound engine through SDL's "dummy" audio driver, which runs the audio callback on its own
// thread in real time but sends the sound nowhere. Each test runs in its own process, so each starts
// SDL's audio afresh.

#include "engine/audio/sound_engine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

#include "tests/audio/test_modules.h"

namespace velor {
namespace {

using namespace std::chrono_literals;

// Polls until `done` holds or `limit` passes; true if it held.
bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (done()) return true;
        std::this_thread::sleep_for(5ms);
    }
    return done();
}

class SoundEngineTest : public testing::Test {
protected:
    void SetUp() override { setenv("SDL_AUDIODRIVER", "dummy", 1); }

    // 8 rows at speed 6, tempo 125: 0.96 s.
    static constexpr double kToneSeconds = 0.96;
    test::TempFolder folder_;
};

TEST_F(SoundEngineTest, LoopedModuleKeepsPlayingPastItsEnd) {
    const std::string path = folder_.Write("tone.s3m", test::ToneModule(8));
    std::shared_ptr<SoundEngine> engine = CreateSoundEngine();
    ASSERT_TRUE(engine);
    ASSERT_TRUE(engine->HasOutput()) << engine->GetNoMusicReason();
    ASSERT_TRUE(engine->Play2D(path, true));

    const SoundEngineStats start = engine->GetStats();
    EXPECT_GT(start.sampleRate, 0);
    const uint64_t songFrames = uint64_t(kToneSeconds * start.sampleRate);
    ASSERT_TRUE(WaitFor([&] { return engine->GetStats().soundFrames > 2 * songFrames + songFrames / 2; }, 10s))
        << "rendered only " << engine->GetStats().soundFrames << " frames";
    const SoundEngineStats later = engine->GetStats();
    EXPECT_EQ(later.playingSounds, 1);
    EXPECT_GT(later.recentPeak, 0.03f) << "the third pass is silent";
    EXPECT_LE(later.recentPeak, 1.0f);
}

TEST_F(SoundEngineTest, UnloopedModuleStopsAtItsEnd) {
    const std::string path = folder_.Write("tone.s3m", test::ToneModule(8));
    std::shared_ptr<SoundEngine> engine = CreateSoundEngine();
    ASSERT_TRUE(engine->HasOutput()) << engine->GetNoMusicReason();
    ASSERT_TRUE(engine->Play2D(path, false));
    ASSERT_TRUE(WaitFor([&] { return engine->GetStats().playingSounds == 0; }, 10s));
    const SoundEngineStats s = engine->GetStats();
    const double played = double(s.soundFrames) / s.sampleRate;
    EXPECT_GE(played, kToneSeconds);
    EXPECT_LE(played, kToneSeconds + 0.15);  // libopenmpt's short fade after the song's end
    // The callback goes on (silently) after the sound has ended.
    const uint64_t callbacks = s.callbacks;
    EXPECT_TRUE(WaitFor([&] { return engine->GetStats().callbacks > callbacks + 2; }, 5s));
    EXPECT_EQ(engine->GetStats().soundFrames, s.soundFrames);
}

TEST_F(SoundEngineTest, MissingModuleLeavesTheEngineRunningAndSaysWhyOnce) {
    const std::string missing = folder_.Path("Vob_058f.s3m");
    testing::internal::CaptureStderr();
    std::shared_ptr<SoundEngine> engine = CreateSoundEngine();
    const bool first = engine->Play2D(missing, true);
    const bool second = engine->Play2D(missing, true);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(first);
    EXPECT_FALSE(second);
    EXPECT_EQ(said, "velor: no music: " + missing + ": cannot open file\n");
    EXPECT_EQ(engine->GetNoMusicReason(), missing + ": cannot open file");

    // The engine itself is fine: a module that exists plays.
    ASSERT_TRUE(engine->Play2D(folder_.Write("tone.s3m", test::ToneModule(8)), true));
    EXPECT_TRUE(WaitFor([&] { return engine->GetStats().soundFrames > 0; }, 5s));
}

TEST_F(SoundEngineTest, UnreadableModulesAreRefusedWithTheReason) {
    struct Case {
        std::string path;
        std::string reason;
    };
    std::vector<uint8_t> truncated = test::ToneModule(8);
    truncated.resize(40);
    const Case cases[] = {
        {folder_.Write("empty.s3m", {}), "file is empty"},
        {folder_.Write("noise.s3m", std::vector<uint8_t>(3000, 0x5A)), "not a module libopenmpt can play"},
        {folder_.Write("short.s3m", truncated), "not a module libopenmpt can play"},
        {folder_.Path(""), "not a regular file"},
    };
    for (const Case& c : cases) {
        std::shared_ptr<SoundEngine> engine = CreateSoundEngine();
        testing::internal::CaptureStderr();
        EXPECT_FALSE(engine->Play2D(c.path, true)) << c.path;
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(said.rfind("velor: no music: " + c.path + ": " + c.reason, 0), 0u) << said;
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    }
}

TEST_F(SoundEngineTest, WithoutAnAudioDeviceTheEngineIsSilentAndSaysWhyOnce) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    const std::string path = folder_.Write("tone.s3m", test::ToneModule(8));
    testing::internal::CaptureStderr();
    std::shared_ptr<SoundEngine> engine = CreateSoundEngine();
    ASSERT_TRUE(engine);
    EXPECT_FALSE(engine->HasOutput());
    EXPECT_FALSE(engine->Play2D(path, true));
    EXPECT_FALSE(engine->Play2D("missing.s3m", true));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.rfind("velor: no music: no audio output: ", 0), 0u) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    const SoundEngineStats s = engine->GetStats();
    EXPECT_FALSE(s.outputOpen);
    EXPECT_EQ(s.playingSounds, 0);
}

// With SDL choosing the driver itself, a machine with sound plays and says nothing, and a machine
// without (no card: ALSA's own diagnostics would flood stderr) prints our one line and nothing else.
TEST_F(SoundEngineTest, DefaultDriverSaysAtMostOneLine) {
    unsetenv("SDL_AUDIODRIVER");
    testing::internal::CaptureStderr();
    std::shared_ptr<SoundEngine> engine = CreateSoundEngine();
    const std::string said = testing::internal::GetCapturedStderr();
    if (engine->HasOutput()) {
        EXPECT_EQ(said, "");
    } else {
        EXPECT_EQ(said.rfind("velor: no music: no audio output: ", 0), 0u) << said;
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    }
}

TEST_F(SoundEngineTest, NullDriverPlaysNothingAndSaysNothing) {
    testing::internal::CaptureStderr();
    std::shared_ptr<SoundEngine> engine = CreateSoundEngine(SoundOutputDriver::Null);
    EXPECT_FALSE(engine->Play2D(folder_.Write("tone.s3m", test::ToneModule(8)), true));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(engine->HasOutput());
}

// Many sounds at once are mixed; the ninth is refused until one ends.
TEST_F(SoundEngineTest, MixesUpToEightSounds) {
    const std::string path = folder_.Write("tone.s3m", test::ToneModule(8));
    std::shared_ptr<SoundEngine> engine = CreateSoundEngine();
    ASSERT_TRUE(engine->HasOutput()) << engine->GetNoMusicReason();
    for (int i = 0; i < 8; ++i) ASSERT_TRUE(engine->Play2D(path, true)) << i;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(engine->Play2D(path, true));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("8 sounds are playing already"), std::string::npos);
    EXPECT_EQ(engine->GetStats().playingSounds, 8);
}

}  // namespace
}  // namespace velor
