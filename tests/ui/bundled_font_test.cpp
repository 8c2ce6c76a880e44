// Fonts found by file name in a folder, as a build without fontconfig finds the shipped ones: the
// styled file when there is one, else the regular file with the style synthesised, and DejaVu Sans
// for the default and for families that ship nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "engine/ui/font_match.h"
#include "engine/ui/ui_types.h"

namespace velor {
namespace {

namespace fs = std::filesystem;

class BundledFont : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("velor_bundled_font_" + std::to_string(::getpid()));
        fs::remove_all(folder_);
        fs::create_directories(folder_ / "fonts");
    }
    void TearDown() override { fs::remove_all(folder_); }
    void Ship(const std::string& relative) { std::ofstream(folder_ / relative) << "not read"; }
    std::string Path(const std::string& relative) const { return (folder_ / relative).string(); }

    fs::path folder_;
};

TEST_F(BundledFont, StyledFilesFirstThenTheRegularOneSynthesised) {
    Ship("DejaVuSans.ttf");
    Ship("fonts/DejaVuSans-Bold.ttf");
    struct Case {
        const char* name;
        FontRequest request;
        const char* file;
        bool embolden, oblique;
    };
    const Case cases[] = {
        {"default", {"", FontWeight::DontCare, false}, "DejaVuSans.ttf", false, false},
        {"italic, no oblique file", {"", FontWeight::Normal, true}, "DejaVuSans.ttf", false, true},
        {"bold, from the fonts folder", {"", FontWeight::Bold, false}, "fonts/DejaVuSans-Bold.ttf", false, false},
        {"heavy italic", {"", FontWeight::Heavy, true}, "fonts/DejaVuSans-Bold.ttf", true, true},
        {"semi-bold", {"", FontWeight::SemiBold, false}, "fonts/DejaVuSans-Bold.ttf", false, false},
        {"family shipping nothing", {"Arial", FontWeight::Normal, false}, "DejaVuSans.ttf", false, false},
        {"sans-serif by name", {"sans-serif", FontWeight::Light, false}, "DejaVuSans.ttf", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FontMatch match;
        std::string error;
        ASSERT_TRUE(MatchBundledFont(c.request, folder_.string(), &match, &error)) << error;
        EXPECT_EQ(match.file, Path(c.file));
        EXPECT_EQ(match.family, "DejaVu Sans");
        EXPECT_EQ(match.embolden, c.embolden);
        EXPECT_EQ(match.oblique, c.oblique);
    }
}

TEST_F(BundledFont, BoldAskedWithOnlyTheRegularFileIsEmboldened) {
    Ship("fonts/DejaVuSans.ttf");
    Ship("fonts/Tahoma.ttf");
    FontMatch match;
    std::string error;
    ASSERT_TRUE(MatchBundledFont({"Tahoma", FontWeight::Bold, false}, folder_.string(), &match, &error)) << error;
    EXPECT_EQ(match.file, Path("fonts/Tahoma.ttf"));
    EXPECT_EQ(match.family, "Tahoma");
    EXPECT_TRUE(match.embolden);
    ASSERT_TRUE(MatchBundledFont({"", FontWeight::SemiBold, false}, folder_.string(), &match, &error)) << error;
    EXPECT_TRUE(match.embolden) << "semi-bold on a regular file is emboldened";
    ASSERT_TRUE(MatchBundledFont({"", FontWeight::Medium, false}, folder_.string(), &match, &error)) << error;
    EXPECT_FALSE(match.embolden) << "medium is read as the regular file";
}

TEST_F(BundledFont, NothingShippedSaysWhatWasLookedFor) {
    FontMatch match;
    std::string error;
    EXPECT_FALSE(MatchBundledFont({"Arial", FontWeight::Normal, false}, folder_.string(), &match, &error));
    EXPECT_NE(error.find("Arial.ttf"), std::string::npos) << error;
    EXPECT_NE(error.find("DejaVuSans.ttf"), std::string::npos) << error;
}

}  // namespace
}  // namespace velor
