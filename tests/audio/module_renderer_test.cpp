#include "engine/audio/module_renderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tests/audio/test_modules.h"

namespace velor {
namespace {

constexpr int kRate = 48000;
constexpr size_t kToneFrames = size_t(0.96 * kRate);  // 8 rows at speed 6, tempo 125

float Peak(const std::vector<float>& v, size_t from = 0, size_t to = SIZE_MAX) {
    float p = 0.0f;
    for (size_t i = from; i < std::min(to, v.size()); ++i) p = std::max(p, std::fabs(v[i]));
    return p;
}

TEST(ModuleRenderer, RendersTheSameSoundEveryTime) {
    const std::vector<uint8_t> bytes = test::ToneModule(8);
    ModuleRendererResult a = ModuleRenderer::OpenMemory(bytes, "tone.s3m", {kRate, false});
    ModuleRendererResult b = ModuleRenderer::OpenMemory(bytes, "tone.s3m", {kRate, false});
    ASSERT_TRUE(a.renderer) << a.error;
    ASSERT_TRUE(b.renderer) << b.error;
    EXPECT_EQ(a.renderer->GetSampleRate(), kRate);
    EXPECT_NEAR(a.renderer->GetDurationSeconds(), 0.96, 0.005);
    const std::vector<float> first = a.renderer->RenderFrames(kToneFrames / 2);
    EXPECT_GT(Peak(first), 0.03f);
    EXPECT_LE(Peak(first), 1.0f);
    EXPECT_TRUE(first == b.renderer->RenderFrames(kToneFrames / 2));
}

TEST(ModuleRenderer, UnloopedSongEndsInSilenceAndSaysHowMuchItRendered) {
    ModuleRendererResult r = ModuleRenderer::OpenMemory(test::ToneModule(8), "tone.s3m", {kRate, false});
    ASSERT_TRUE(r.renderer) << r.error;
    std::vector<float> pcm(2 * kToneFrames * 2, 1.0f);
    const size_t produced = r.renderer->Render(pcm.data(), 2 * kToneFrames);
    // libopenmpt fades the last notes out over a moment past the song's end rather than cutting them.
    EXPECT_GE(produced, kToneFrames);
    EXPECT_LE(produced, kToneFrames + kRate * 15 / 100);
    EXPECT_GT(Peak(pcm, 0, produced * 2), 0.03f);
    EXPECT_EQ(Peak(pcm, produced * 2), 0.0f);
    std::vector<int16_t> more(1000 * 2, 7);
    EXPECT_EQ(r.renderer->Render(more.data(), 1000), 0u);
    EXPECT_TRUE(std::all_of(more.begin(), more.end(), [](int16_t v) { return v == 0; }));
}

TEST(ModuleRenderer, LoopedSongRendersForeverAndAgreesAsInt16) {
    ModuleRendererResult f = ModuleRenderer::OpenMemory(test::ToneModule(8), "tone.s3m", {kRate, true});
    ModuleRendererResult i = ModuleRenderer::OpenMemory(test::ToneModule(8), "tone.s3m", {kRate, true});
    ASSERT_TRUE(f.renderer && i.renderer);
    const size_t frames = 3 * kToneFrames;
    std::vector<float> asFloat(frames * 2);
    std::vector<int16_t> asInt(frames * 2);
    EXPECT_EQ(f.renderer->Render(asFloat.data(), frames), frames);
    EXPECT_EQ(i.renderer->Render(asInt.data(), frames), frames);
    EXPECT_GT(Peak(asFloat, 2 * kToneFrames * 2), 0.03f) << "third pass is silent";
    double worst = 0.0;
    for (size_t k = 0; k < asFloat.size(); ++k) worst = std::max(worst, std::fabs(asFloat[k] * 32767.0 - asInt[k]));
    EXPECT_LT(worst, 4.0) << "int16 output strays from the float output";
}

TEST(ModuleRenderer, RefusesWhatItCannotPlay) {
    test::TempFolder folder;
    struct Case {
        ModuleRendererResult result;
        std::string error;
    };
    const std::string missing = folder.Path("missing.s3m");
    Case cases[] = {
        {ModuleRenderer::Open(missing), missing + ": cannot open file"},
        {ModuleRenderer::OpenMemory({}, "empty.s3m"), "empty.s3m: file is empty"},
        {ModuleRenderer::OpenMemory(std::vector<uint8_t>(500, 0x11), "junk.s3m"), "junk.s3m: not a module"},
        {ModuleRenderer::OpenMemory(test::ToneModule(8), "tone.s3m", {1000, false}),
         "tone.s3m: sample rate 1000 Hz is not 8000..192000"},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(c.result.renderer);
        EXPECT_EQ(c.result.error.rfind(c.error, 0), 0u) << c.result.error;
    }
}

TEST(ModuleRenderer, OpensAModuleFile) {
    test::TempFolder folder;
    const std::string path = folder.Write("tone.s3m", test::ToneModule(8));
    ModuleRendererResult r = ModuleRenderer::Open(path, {44100, false});
    ASSERT_TRUE(r.renderer) << r.error;
    EXPECT_GT(Peak(r.renderer->RenderFrames(4410)), 0.03f);
}

}  // namespace
}  // namespace velor
