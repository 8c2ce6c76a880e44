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
    };
    for (const auto& args : cases) {
        CaptureOptions options;
        std::string error;
        EXPECT_FALSE(Parse(args, &options, &error));
        EXPECT_FALSE(error.empty());
    }
}

}  // namespace
}  // namespace velor::capture
