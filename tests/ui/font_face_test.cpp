// Font matching and rasterising with the system's fonts (fontconfig, FreeType); no device.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <fontconfig/fontconfig.h>
#include <unistd.h>

#include "engine/ui/font_face.h"
#include "engine/ui/font_match.h"
#include "engine/ui/ui_types.h"

namespace velor {
namespace {

std::unique_ptr<FontFace> OpenFace(int height, uint32_t weight = 0, bool italic = false, uint32_t width = 0,
                                   bool antialiased = true, std::string faceName = "") {
    FontMatch match;
    std::string error;
    EXPECT_TRUE(MatchFont(FontRequest{faceName, weight, italic}, &match, &error)) << error;
    auto face = FontFace::Open(match, FontSize{height, width, antialiased}, &error);
    EXPECT_NE(face, nullptr) << error;
    return face;
}

GlyphBitmap Glyph(const FontFace& face, char c) {
    GlyphBitmap g;
    EXPECT_TRUE(face.Rasterise(uint8_t(c), &g));
    return g;
}

long Ink(const GlyphBitmap& g) {
    long sum = 0;
    for (uint8_t v : g.coverage) sum += v;
    return sum;
}

TEST(FontMatch, EmptyFaceIsTheDefaultSansSerif) {
    FontMatch match;
    std::string error;
    ASSERT_TRUE(MatchFont(FontRequest{}, &match, &error)) << error;
    EXPECT_TRUE(std::filesystem::exists(match.file)) << match.file;
    // fonts-dejavu-core is the font this system is set up with.
    EXPECT_EQ(match.family, "DejaVu Sans");
    EXPECT_FALSE(match.embolden);
    EXPECT_FALSE(match.oblique);
}

TEST(FontMatch, UnknownFaceFallsBackToAScalableFont) {
    FontMatch match;
    std::string error;
    ASSERT_TRUE(MatchFont(FontRequest{"No Such Face 12345", 0, false}, &match, &error)) << error;
    EXPECT_TRUE(std::filesystem::exists(match.file));
}

TEST(FontMatch, BoldAndItalicFindStyledFilesOrSynthesiseThem) {
    FontMatch regular, bold, italic;
    std::string error;
    ASSERT_TRUE(MatchFont(FontRequest{"", FontWeight::Normal, false}, &regular, &error));
    ASSERT_TRUE(MatchFont(FontRequest{"", FontWeight::Bold, false}, &bold, &error));
    ASSERT_TRUE(MatchFont(FontRequest{"", 0, true}, &italic, &error));
    EXPECT_TRUE(bold.file != regular.file || bold.embolden);
    EXPECT_TRUE(italic.file != regular.file || italic.oblique);
}

TEST(FontFace, PositiveHeightIsTheCellHeight) {
    for (int height : {12, 22, 35}) {
        SCOPED_TRACE(height);
        auto face = OpenFace(height);
        ASSERT_NE(face, nullptr);
        const FontMetrics& m = face->Metrics();
        EXPECT_EQ(m.cellHeight, height);
        EXPECT_GT(m.ascent, height / 2);
        EXPECT_LT(m.ascent, height);
        // A capital stands on the baseline; an accented capital and a descender together fill the cell
        // (a font scaled by its em instead would overflow it).
        GlyphBitmap h = Glyph(*face, 'H');
        EXPECT_EQ(h.top, h.height);
        EXPECT_GT(h.advance, 0);
        GlyphBitmap accented = Glyph(*face, char(0xC9));  // E acute
        GlyphBitmap j = Glyph(*face, 'j');
        const int descent = j.height - j.top;
        EXPECT_LE(accented.top, m.ascent);
        EXPECT_LE(descent, height - m.ascent);
        EXPECT_GE(accented.top + descent, height - 2);
    }
}

TEST(FontFace, NegativeHeightIsTheEmSize) {
    auto face = OpenFace(-20);
    ASSERT_NE(face, nullptr);
    EXPECT_FLOAT_EQ(face->Metrics().emSize, 20.0f);
    EXPECT_GT(face->Metrics().cellHeight, 20);  // the cell adds the font's leading
}

TEST(FontFace, BoldGlyphsCarryMoreInk) {
    auto regular = OpenFace(35, FontWeight::Normal);
    auto bold = OpenFace(35, FontWeight::Bold);
    ASSERT_TRUE(regular && bold);
    EXPECT_GT(Ink(Glyph(*bold, 'H')), Ink(Glyph(*regular, 'H')) * 5 / 4);
}

// Ink's mean column, weighted by coverage, over the rows [from, to).
double MeanColumn(const GlyphBitmap& g, int from, int to) {
    double sum = 0, weight = 0;
    for (int y = from; y < to; ++y)
        for (int x = 0; x < g.width; ++x) {
            sum += double(x) * g.coverage[size_t(y) * g.width + x];
            weight += g.coverage[size_t(y) * g.width + x];
        }
    return weight > 0 ? sum / weight : 0;
}

TEST(FontFace, ItalicGlyphsLeanRight) {
    auto upright = OpenFace(35);
    auto italic = OpenFace(35, 0, true);
    ASSERT_TRUE(upright && italic);
    GlyphBitmap l = Glyph(*italic, 'l');
    const int third = l.height / 3;
    EXPECT_GT(MeanColumn(l, 0, third), MeanColumn(l, l.height - third, l.height) + 2.0);
    GlyphBitmap straight = Glyph(*upright, 'l');
    EXPECT_NEAR(MeanColumn(straight, 0, third), MeanColumn(straight, straight.height - third, straight.height), 1.0);
}

TEST(FontFace, WidthSetsTheAverageCharacterWidth) {
    auto narrow = OpenFace(22, 0, false, 5);
    auto wide = OpenFace(22, 0, false, 20);
    ASSERT_TRUE(narrow && wide);
    int narrowSum = 0, wideSum = 0;
    for (char c = 'a'; c <= 'z'; ++c) {
        narrowSum += Glyph(*narrow, c).advance;
        wideSum += Glyph(*wide, c).advance;
    }
    EXPECT_NEAR(narrowSum / 26.0, 5.0, 2.0);
    EXPECT_NEAR(wideSum / 26.0, 20.0, 5.0);
    EXPECT_EQ(narrow->Metrics().cellHeight, 22);
}

TEST(FontFace, NonAntialiasedGlyphsAreFullyOnOrOff) {
    auto face = OpenFace(22, 0, false, 0, false);
    ASSERT_NE(face, nullptr);
    GlyphBitmap g = Glyph(*face, 'S');
    ASSERT_GT(Ink(g), 0);
    for (uint8_t v : g.coverage) EXPECT_TRUE(v == 0 || v == 255);
    GlyphBitmap smooth = Glyph(*OpenFace(22), 'S');
    bool partial = false;
    for (uint8_t v : smooth.coverage) partial |= (v != 0 && v != 255);
    EXPECT_TRUE(partial);
}

TEST(FontFace, BlankHasAdvanceButNoBitmap) {
    auto face = OpenFace(22);
    ASSERT_NE(face, nullptr);
    GlyphBitmap space = Glyph(*face, ' ');
    EXPECT_EQ(space.width * space.height, 0);
    EXPECT_GT(space.advance, 0);
}

TEST(FontFace, FileThatIsNoFontIsAnErrorNamingIt) {
    for (std::string file : {std::string(__FILE__), std::string(__FILE__) + ".missing"}) {
        FontMatch match;
        match.file = file;
        std::string error;
        EXPECT_EQ(FontFace::Open(match, FontSize{12, 0, true}, &error), nullptr);
        EXPECT_NE(error.find(file), std::string::npos) << error;
    }
}

// A system without fonts: fontconfig is set to a configuration that knows none, and the font files
// shipped in the working folder (the content folder) are taken instead.
class NoSystemFonts : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(FcInit());
        system_ = FcConfigReference(nullptr);
        ASSERT_TRUE(FcConfigSetCurrent(FcConfigCreate()));
        previous_ = std::filesystem::current_path();
        folder_ = std::filesystem::temp_directory_path() / ("velor_no_system_fonts_" + std::to_string(::getpid()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_ / "fonts");
        std::filesystem::current_path(folder_);
    }
    void TearDown() override {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(folder_);
        FcConfigSetCurrent(system_);
        FcConfigDestroy(system_);
    }

    FcConfig* system_ = nullptr;
    std::filesystem::path previous_, folder_;
};

TEST_F(NoSystemFonts, TheShippedFontIsTaken) {
    std::ofstream("fonts/DejaVuSans.ttf") << "not read";
    FontMatch match;
    std::string error;
    ASSERT_TRUE(MatchFont(FontRequest{"", 1, true}, &match, &error)) << error;
    EXPECT_EQ(std::filesystem::path(match.file), std::filesystem::path("./fonts/DejaVuSans.ttf"));
    EXPECT_EQ(match.family, "DejaVu Sans");
    EXPECT_TRUE(match.oblique);
    EXPECT_FALSE(match.embolden);
}

TEST_F(NoSystemFonts, WithoutAShippedFontTheErrorSaysWhereItLooked) {
    FontMatch match;
    std::string error;
    EXPECT_FALSE(MatchFont(FontRequest{}, &match, &error));
    EXPECT_NE(error.find("fontconfig: no scalable font"), std::string::npos) << error;
    EXPECT_NE(error.find("DejaVuSans.ttf"), std::string::npos) << error;
}

}  // namespace
}  // namespace velor
