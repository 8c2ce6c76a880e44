#include <gtest/gtest.h>

#include "tools/capture/capture_options.h"

namespace velor::capture {
namespace {

bool Parse(std::vector<const char*> args, CaptureOptions* options, std::string* error) {
    args.insert(args.begin(), "velor-capture");
    return ParseCaptureOptions(int(args.size()), args.data(), options, error);
}

TEST(CaptureOptions, TimesAreSortedAndNamedWithThreeDecimals) {
    CaptureOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"--at", "10,0.5,2", "--step", "0.02", "--out", "shots"}, &options, &error)) << error;
    EXPECT_EQ(options.times, (std::vector<double>{0.5, 2, 10}));
    EXPECT_DOUBLE_EQ(options.step, 0.02);
    EXPECT_EQ(options.outDir, "shots");
    EXPECT_EQ(FrameFileName(10), "t10.000.png");
    EXPECT_EQ(FrameFileName(0.5), "t0.500.png");
}

TEST(CaptureOptions, MalformedArgumentsAreRefusedWithAReason) {
    const std::vector<std::vector<const char*>> cases = {
        {},                          // nothing to capture
        {"--at", "1,,2"},            // empty time
        {"--at", "-1"},              // negative
        {"--at", "1s"},              // trailing junk
        {"--at", "1", "--step", "0"},
        {"--at", "1", "--step", "x"},
        {"--at"},                    // missing value
        {"--frames", "3"},           // unknown flag
        {"-q"},                      // unknown, and no value asked of it
        {"--at", "1", "shots"},      // a stray argument
        {"--video", "a.mp4", "--at", "1"},           // two modes
        {"--at", "1", "--fps", "30"},                // a video option without a video
        {"--video", "a.mp4", "--fps", "0"},
        {"--video", "a.mp4", "--fps", "29.97"},      // whole frames only
        {"--video", "a.mp4", "--fps", "1000"},
        {"--video", "a.mp4", "--from", "5", "--to", "5"},  // no frame at all
        {"--video", "a.mp4", "--from", "-2"},
        {"--video", ""},
    };
    for (const auto& args : cases) {
        CaptureOptions options;
        std::string error;
        EXPECT_FALSE(Parse(args, &options, &error));
        EXPECT_FALSE(error.empty());
    }
}

TEST(CaptureOptions, VideoDefaultsToTheWholeDemoAtSixtyFrames) {
    CaptureOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"--video", "demo.mp4"}, &options, &error)) << error;
    EXPECT_EQ(options.videoFile, "demo.mp4");
    EXPECT_EQ(options.fps, 60);
    VideoFrames range = VideoFrameRange(options);
    EXPECT_EQ(range.first, 1);
    EXPECT_EQ(range.count, 7200);
}

// Frame n shows demo time n / fps: a stretch from A to B is the frames after A up to B.
TEST(CaptureOptions, VideoFramesCoverFromToTo) {
    struct Case {
        std::vector<const char*> args;
        long first, count;
    };
    const Case cases[] = {
        {{"--video", "a.mp4", "--fps", "30", "--to", "2"}, 1, 60},
        {{"--video", "a.mp4", "--fps", "30", "--from", "20", "--to", "22"}, 601, 60},
        {{"--video", "a.mp4", "--fps", "25", "--from", "0.5", "--to", "1"}, 14, 12},  // 12.5 frames before it round to 13
        {{"--video", "a.mp4", "--from", "100", "--to", "100.02"}, 6001, 1},
    };
    for (const Case& c : cases) {
        CaptureOptions options;
        std::string error;
        ASSERT_TRUE(Parse(c.args, &options, &error)) << error;
        VideoFrames range = VideoFrameRange(options);
        EXPECT_EQ(range.first, c.first) << c.args[5];
        EXPECT_EQ(range.count, c.count) << c.args[5];
    }
}

TEST(CaptureOptions, DataNamesTheContentFolderInEitherMode) {
    struct Case {
        std::vector<const char*> args;
        bool ok;
        std::string data;
    };
    const Case cases[] = {
        {{"--at", "25", "--data", "share/velor"}, true, "share/velor"},
        {{"--data", "/d", "--video", "a.mp4"}, true, "/d"},
        {{"--at", "25"}, true, ""},
        {{"--at", "25", "--data"}, false, ""},
        {{"--at", "25", "--data", ""}, false, ""},
    };
    for (const Case& c : cases) {
        CaptureOptions options;
        std::string error;
        EXPECT_EQ(Parse(c.args, &options, &error), c.ok) << c.args[0] << " " << error;
        if (c.ok) {
            EXPECT_EQ(options.dataDir, c.data);
        }
    }
}

TEST(CaptureOptions, HelpNeedsNothingElse) {
    CaptureOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"--help"}, &options, &error));
    EXPECT_TRUE(options.help);
}

TEST(CaptureOptions, HelpWinsWhereverItStands) {
    const std::vector<std::vector<const char*>> cases = {{"--out", "--help"}, {"--at", "1", "-h"}, {"--bogus", "--help"}};
    for (const auto& args : cases) {
        CaptureOptions options;
        std::string error;
        ASSERT_TRUE(Parse(args, &options, &error)) << error;
        EXPECT_TRUE(options.help);
        EXPECT_TRUE(options.outDir.empty() || options.outDir == ".") << "took --help for a folder";
    }
}

}  // namespace
}  // namespace velor::capture
