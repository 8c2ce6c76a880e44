// The information line's frame rate, over about the last second of drawn frames, and its text.
#include <gtest/gtest.h>

#include <vector>

#include "demo/shell/info_line.h"

namespace velor::demo {
namespace {

struct RateCase {
    const char* what;
    std::vector<double> frames;  // real seconds
    double perSecond;
};

TEST(FrameRateMeter, CountsTheFramesOfTheLastSecond) {
    std::vector<double> steady, slowedDown;
    for (int i = 0; i <= 120; ++i) steady.push_back(i / 60.0);
    // Two seconds at 60, then one at 20: the rate is the recent one, not the run's mean.
    for (int i = 0; i <= 120; ++i) slowedDown.push_back(i / 60.0);
    for (int i = 1; i <= 20; ++i) slowedDown.push_back(2.0 + i / 20.0);
    const RateCase cases[] = {
        {"no frame", {}, 0},
        {"one frame", {3.0}, 0},
        {"two at once", {3.0, 3.0}, 0},
        {"steady 60", steady, 60},
        {"slowed to 20", slowedDown, 20},
        {"a half-second gap", {0.0, 0.5}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FrameRateMeter meter;
        for (double t : c.frames) meter.Note(t);
        EXPECT_NEAR(meter.PerSecond(), c.perSecond, c.perSecond * 0.03 + 1e-9);
    }
}

TEST(FrameRateMeter, ClearForgetsTheFramesBeforeAPause) {
    FrameRateMeter meter;
    for (int i = 0; i < 30; ++i) meter.Note(i / 30.0);
    meter.Clear();
    meter.Note(100.0);
    EXPECT_EQ(meter.PerSecond(), 0);
    meter.Note(100.1);
    EXPECT_NEAR(meter.PerSecond(), 10, 1e-6);
}

TEST(InfoLine, SaysTimeWindowRateAndScale) {
    EXPECT_EQ(FormatInfoLine(12.346, 2, 41.25, 1.875f), "time 12.35 s  window 2  41.2 fps  scale 1.875");
    EXPECT_EQ(FormatInfoLine(0, 0, 0, 1.0f), "time 0.00 s  window 0  0.0 fps  scale 1");
}

}  // namespace
}  // namespace velor::demo
