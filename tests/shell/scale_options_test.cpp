#include <gtest/gtest.h>

#include "demo/shell/player.h"
#include "demo/shell/scale_options.h"
#include "tools/capture/capture_options.h"
#include "tools/capture/supersample.h"

namespace velor {
namespace {

// Each value as --scale, --size and --ssaa read it: accepted with its value, or refused with a
// line that names the option and the text.
TEST(ScaleOptions, ValuesAreReadOrRefusedWithALine) {
    struct Case {
        const char* option;
        const char* text;
        bool ok;
        double value;  // the scale, or the ssaa factor
    };
    const Case cases[] = {
        {"--scale", "1", true, 1},       {"--scale", "2", true, 2},          {"--scale", "2.8125", true, 2.8125},
        {"--scale", "8", true, 8},       {"--scale", "0", false, 0},         {"--scale", "0.5", false, 0},
        {"--scale", "abc", false, 0},    {"--scale", "2x", false, 0},        {"--scale", "", false, 0},
        {"--scale", "8.5", false, 0},    {"--scale", "nan", false, 0},       {"--scale", "inf", false, 0},
        {"--scale", "auto", false, 0},  // only velor resolves auto, against its display
        {"--size", "1024x768", true, 1}, {"--size", "2048x1536", true, 2},   {"--size", "2880x2160", true, 2.8125},
        {"--size", "8192x6144", true, 8},{"--size", "1000x1000", false, 0},  {"--size", "1920x1080", true, 1.875},
        {"--size", "3840x2160", true, 3.75},{"--size", "1024x576", true, 1},{"--size", "8192x4608", true, 8},
        {"--size", "1000x562", false, 0},{"--size", "1280x720", true, 1.25},{"--size", "8208x4617", false, 0},
        {"--size", "640x480", false, 0}, {"--size", "8196x6147", false, 0},  {"--size", "2048X1536", false, 0},
        {"--size", "x768", false, 0},
        {"--ssaa", "1", true, 1},        {"--ssaa", "4", true, 4},           {"--ssaa", "0", false, 0},
        {"--ssaa", "1.5", false, 0},     {"--ssaa", "5", false, 0},          {"--ssaa", "two", false, 0},
    };
    for (const Case& c : cases) {
        std::string option = c.option, error;
        float scale = -1;
        int factor = -1;
        PresentFrame frame = PresentFrame::Whole;
        bool ok = option == "--scale"  ? demo::ParseScaleValue(c.text, false, &scale, &error)
                  : option == "--size" ? demo::ParseSizeValue(c.text, &scale, &frame, &error)
                                       : demo::ParseSsaaValue(c.text, &factor, &error);
        SCOPED_TRACE(option + " '" + c.text + "'");
        EXPECT_EQ(ok, c.ok) << error;
        if (ok) {
            EXPECT_DOUBLE_EQ(option == "--ssaa" ? double(factor) : double(scale), c.value);
        } else {
            EXPECT_NE(error.find(option), std::string::npos) << error;
            EXPECT_NE(error.find(std::string("'") + c.text + "'"), std::string::npos) << error;
            EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        }
    }
}

TEST(ScaleOptions, PlayerTakesAutoAndVsync) {
    demo::PlayerOptions options;
    std::string error;
    const char* args[] = {"velor", "--scale", "auto", "--vsync"};
    ASSERT_TRUE(demo::ParsePlayerOptions(4, args, &options, &error)) << error;
    EXPECT_EQ(options.scale, 0.0f);
    EXPECT_TRUE(options.vsync);
    const char* bad[] = {"velor", "--scale", "0"};
    EXPECT_FALSE(demo::ParsePlayerOptions(3, bad, &options, &error));
    const char* missing[] = {"velor", "--scale"};
    EXPECT_FALSE(demo::ParsePlayerOptions(2, missing, &options, &error));
}

TEST(ScaleOptions, CaptureSizesComeFromScaleAndSupersampling) {
    struct Case {
        std::vector<const char*> args;
        bool ok;
        uint32_t width, height;
        float renderScale;
    };
    const std::vector<Case> cases = {
        {{"--at", "1"}, true, 1024, 768, 1},
        {{"--at", "1", "--scale", "2"}, true, 2048, 1536, 2},
        {{"--at", "1", "--size", "2880x2160"}, true, 2880, 2160, 2.8125f},
        {{"--at", "1", "--ssaa", "2"}, true, 1024, 768, 2},
        {{"--at", "1", "--size", "2048x1536", "--ssaa", "4"}, true, 2048, 1536, 8},
        {{"--at", "1", "--size", "1920x1080"}, true, 1920, 1080, 1.875f},  // 16:9: the wide framing
        {{"--at", "1", "--size", "3840x2160"}, true, 3840, 2160, 3.75f},
        {{"--at", "1", "--size", "1920x1080", "--ssaa", "2"}, true, 1920, 1080, 3.75f},
        {{"--at", "1", "--scale", "4", "--ssaa", "3"}, false, 0, 0, 0},   // 12 times: past the device's limit
        {{"--at", "1", "--scale", "2", "--size", "2048x1536"}, false, 0, 0, 0},
        {{"--at", "1", "--lossless"}, false, 0, 0, 0},                     // a video option
    };
    for (const Case& c : cases) {
        std::vector<const char*> args = c.args;
        args.insert(args.begin(), "velor-capture");
        capture::CaptureOptions options;
        std::string error;
        bool ok = capture::ParseCaptureOptions(int(args.size()), args.data(), &options, &error);
        SCOPED_TRACE(testing::PrintToString(c.args));
        ASSERT_EQ(ok, c.ok) << error;
        if (!ok) continue;
        EXPECT_EQ(capture::OutputWidth(options), c.width);
        EXPECT_EQ(capture::OutputHeight(options), c.height);
        EXPECT_FLOAT_EQ(capture::RenderScale(options), c.renderScale);
    }
}

// Each output pixel is the rounded mean of its block, per channel.
TEST(Supersample, AveragesEachBlockPerChannel) {
    std::vector<uint32_t> big = {
        0xFF000000u, 0xFF0000FFu, 0xFF102030u, 0xFF102030u,  //
        0xFFFF0000u, 0xFF00FF01u, 0xFF102030u, 0xFF102032u,  //
    };
    std::vector<uint32_t> small = capture::AverageDown(big, 4, 2, 2);
    ASSERT_EQ(small.size(), 2u);
    EXPECT_EQ(small[0], 0xFF404040u);  // (255 + 0)/4 = 63.75 -> 64 in each channel
    EXPECT_EQ(small[1], 0xFF102031u);  // 30, 30, 30, 32 -> 30.5 -> 31
    EXPECT_EQ(capture::AverageDown(big, 4, 2, 1), big);
}

}  // namespace
}  // namespace velor
