// velor's command line.
#include <gtest/gtest.h>

#include "demo/shell/player.h"

namespace velor::demo {
namespace {

bool Parse(std::vector<const char*> args, PlayerOptions* options, std::string* error) {
    args.insert(args.begin(), "velor");
    return ParsePlayerOptions(int(args.size()), args.data(), options, error);
}

TEST(PlayerOptions, NoArgumentsPlayFullScreenFromTheStartWithMusic) {
    PlayerOptions options;
    std::string error;
    ASSERT_TRUE(Parse({}, &options, &error));
    EXPECT_FALSE(options.windowed);
    EXPECT_FALSE(options.mute);
    EXPECT_EQ(options.from, 0);
    EXPECT_FALSE(options.help);
    EXPECT_FALSE(options.version);
}

TEST(PlayerOptions, EachOptionSetsWhatItNames) {
    struct Case {
        std::vector<const char*> args;
        bool windowed;
        int width, height;
        bool mute;
        double from;
    };
    const Case cases[] = {
        {{"--windowed"}, true, 1024, 768, false, 0},
        {{"--windowed", "640x480"}, true, 640, 480, false, 0},
        {{"--windowed", "--mute"}, true, 1024, 768, true, 0},  // the next option is not a size
        {{"--mute"}, false, 1024, 768, true, 0},
        {{"--from", "82.5"}, false, 1024, 768, false, 82.5},
        {{"--from", "0"}, false, 1024, 768, false, 0},
        {{"--from", "30", "--windowed", "800x600", "--mute"}, true, 800, 600, true, 30},
    };
    for (const Case& c : cases) {
        PlayerOptions options;
        std::string error;
        ASSERT_TRUE(Parse(c.args, &options, &error)) << error;
        EXPECT_EQ(options.windowed, c.windowed) << c.args[0];
        EXPECT_EQ(options.width, c.width) << c.args[0];
        EXPECT_EQ(options.height, c.height) << c.args[0];
        EXPECT_EQ(options.mute, c.mute) << c.args[0];
        EXPECT_DOUBLE_EQ(options.from, c.from) << c.args[0];
    }
    PlayerOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"--help"}, &options, &error));
    EXPECT_TRUE(options.help);
    ASSERT_TRUE(Parse({"--version"}, &options, &error));
    EXPECT_TRUE(options.version);
}

// The wide framing unless asked for the whole frame; the system's monitor unless one is named.
TEST(PlayerOptions, FrameAndDisplay) {
    struct Case {
        std::vector<const char*> args;
        PresentFrame frame;
        int display;
    };
    const Case cases[] = {
        {{}, PresentFrame::Wide, -1},
        {{"--frame", "4:3"}, PresentFrame::Whole, -1},
        {{"--frame", "4:3", "--frame", "wide"}, PresentFrame::Wide, -1},
        {{"--display", "0"}, PresentFrame::Wide, 0},
        {{"--display", "2", "--frame", "4:3", "--windowed"}, PresentFrame::Whole, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        PlayerOptions options;
        std::string error;
        ASSERT_TRUE(Parse(c.args, &options, &error)) << error;
        EXPECT_EQ(options.frame, c.frame);
        EXPECT_EQ(options.display, c.display);
    }
}

TEST(PlayerOptions, DataNamesTheContentFolder) {
    PlayerOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"--windowed", "--data", "/opt/velor", "--mute"}, &options, &error)) << error;
    EXPECT_EQ(options.data, "/opt/velor");
    EXPECT_TRUE(options.mute);
    EXPECT_TRUE(options.windowed);
}

TEST(PlayerOptions, BadOptionsAreRefusedWithAReason) {
    const std::vector<std::vector<const char*>> cases = {
        {"--fullscreen"},              // unknown
        {"demo.mp4"},                  // not an option
        {"--from"},                    // missing time
        {"--from", "-1"},
        {"--from", "ten"},
        {"--from", "inf"},
        {"--windowed", "0x480"},       // a size, but empty
        {"--windowed", "99999x480"},   // larger than any window
        {"--windowed", "640x480x2"},   // not a size, so an unknown argument
        {"--frame", "5:4"},            // neither framing
        {"--frame", "WIDE"},
        {"--frame"},
        {"--display", "-1"},           // monitors count from 0
        {"--display", "1.5"},
        {"--display", "second"},
        {"--display", "64"},
        {"--display"},
    };
    for (const auto& args : cases) {
        PlayerOptions options;
        std::string error;
        EXPECT_FALSE(Parse(args, &options, &error)) << args[0];
        EXPECT_FALSE(error.empty());
    }
}

}  // namespace
}  // namespace velor::demo
