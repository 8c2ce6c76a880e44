// Line layout and clipping of DrawText, with fixed glyph boxes so the numbers are exact.
#include <gtest/gtest.h>

#include <string>

#include "engine/ui/text_layout.h"
#include "engine/ui/ui_types.h"

namespace velor {
namespace {

constexpr int kCell = 12;
constexpr int kAscent = 9;

// Every glyph: 8 × 9 pixels, one pixel right of the pen, standing on the baseline, advance 10; blanks
// (space) have no bitmap.
GlyphBox FixedBox(uint32_t code) {
    if (code == ' ') return GlyphBox{0, 0, 0, 0, 10};
    return GlyphBox{1, 9, 8, 9, 10};
}

TextLayout Layout(const char* text, Rect rect, uint32_t format = 0, int count = -1) {
    return LayoutText(text, count, rect, format, kCell, kAscent, FixedBox);
}

const Rect kScreen{0, 0, 1024, 768};

TEST(TextLayout, LinesAreOneCellHeightApart) {
    TextLayout t = Layout("a\na", Rect{100, 200, 1024, 768});
    EXPECT_EQ(t.height, 24);
    EXPECT_EQ(t.lineCount, 2);
    ASSERT_EQ(t.glyphs.size(), 2u);
    // Baseline at top + ascent; the glyph's top is its height above the baseline.
    EXPECT_EQ(t.glyphs[0].box.left, 101);
    EXPECT_EQ(t.glyphs[0].box.top, 200);
    EXPECT_EQ(t.glyphs[0].box.bottom, 209);
    EXPECT_EQ(t.glyphs[1].box.left, 101);
    EXPECT_EQ(t.glyphs[1].box.top, 212);
}

TEST(TextLayout, LineBreaksAndCounts) {
    struct {
        const char* text;
        int count;
        int lines;
        size_t glyphs;
    } cases[] = {
        {"", -1, 0, 0},
        {"a", -1, 1, 1},
        {"a\n", -1, 1, 1},         // a break at the end starts no line
        {"\n", -1, 1, 0},
        {"a\n\nb", -1, 3, 2},
        {"a\r\nb", -1, 2, 2},      // CR LF is one break
        {"a\rb", -1, 2, 2},
        {"a b", -1, 1, 2},         // blanks advance but draw nothing
        {"abc\ndef", 3, 1, 3},     // the count ends the text
        {"ab\0cd", 5, 1, 2},       // so does a zero byte
        {"KALVORIN\n\n\nMERUSK\n\n\nAND", -1, 7, 17},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        TextLayout t = Layout(c.text, kScreen, 0, c.count);
        EXPECT_EQ(t.lineCount, c.lines);
        EXPECT_EQ(t.height, c.lines * kCell);
        EXPECT_EQ(t.glyphs.size(), c.glyphs);
    }
}

TEST(TextLayout, GlyphsAreCutAtTheRightEdge) {
    TextLayout t = Layout("abcd", Rect{0, 0, 25, 100});
    // Pens at 0, 10, 20, 30: boxes 1..9, 11..19, 21..29 (cut to 25), 31..39 (gone).
    ASSERT_EQ(t.glyphs.size(), 3u);
    EXPECT_EQ(t.glyphs[2].box.right, 29);
    EXPECT_EQ(t.glyphs[2].visible.left, 21);
    EXPECT_EQ(t.glyphs[2].visible.right, 25);
    EXPECT_EQ(t.height, kCell);  // the height counts the whole text, drawn or not
}

TEST(TextLayout, LinesBelowTheBottomAreNotDrawnAndTheLastIsCut) {
    // Lines at 0, 12, 24, 36 with a bottom of 30: the third is cut to 6 rows, the fourth not drawn.
    TextLayout t = Layout("a\nb\nc\nd", Rect{0, 0, 100, 30});
    ASSERT_EQ(t.glyphs.size(), 3u);
    EXPECT_EQ(t.glyphs[2].box.top, 24);
    EXPECT_EQ(t.glyphs[2].visible.bottom, 30);
    EXPECT_EQ(t.height, 4 * kCell);
}

TEST(TextLayout, TextStartingAtOrBelowTheBottomDrawsNothing) {
    for (int top : {768, 800}) {
        TextLayout t = Layout("VELOR DEMO\ncode", Rect{550, top, 1024, 768});
        EXPECT_TRUE(t.glyphs.empty()) << top;
    }
    // Just above the bottom the first line shows, cut.
    TextLayout t = Layout("VELOR DEMO\ncode", Rect{550, 767, 1024, 768});
    ASSERT_FALSE(t.glyphs.empty());
    EXPECT_EQ(t.glyphs[0].visible.top, 767);
    EXPECT_EQ(t.glyphs[0].visible.bottom, 768);
}

TEST(TextLayout, GlyphsReachingPastTheLeftOrTopAreCutThere) {
    // A glyph two rows taller than the ascent and starting two pixels left of the pen.
    auto overhanging = [](uint32_t) { return GlyphBox{-2, kAscent + 2, 8, kAscent + 2, 10}; };
    TextLayout t = LayoutText("a", -1, Rect{50, 40, 200, 200}, 0, kCell, kAscent, overhanging);
    ASSERT_EQ(t.glyphs.size(), 1u);
    EXPECT_EQ(t.glyphs[0].box.left, 48);
    EXPECT_EQ(t.glyphs[0].box.top, 38);
    EXPECT_EQ(t.glyphs[0].visible.left, 50);
    EXPECT_EQ(t.glyphs[0].visible.top, 40);
}

TEST(TextLayout, NoClipKeepsWholeGlyphsOutsideTheRectangle) {
    TextLayout t = Layout("abcd\ne", Rect{0, 0, 25, 5}, DrawTextFormat::NoClip);
    ASSERT_EQ(t.glyphs.size(), 5u);
    for (const PlacedGlyph& g : t.glyphs) {
        EXPECT_EQ(g.visible.left, g.box.left);
        EXPECT_EQ(g.visible.right, g.box.right);
        EXPECT_EQ(g.visible.bottom, g.box.bottom);
    }
}

TEST(TextLayout, AlignmentPlacesTheLine) {
    struct {
        uint32_t format;
        int left, top;  // expected pen start and line top for "ab" (20 pixels) in (100, 50, 200, 110)
        int height;
    } cases[] = {
        {DrawTextFormat::Left | DrawTextFormat::Top, 100, 50, 12},
        {DrawTextFormat::Center, 140, 50, 12},
        {DrawTextFormat::Right, 180, 50, 12},
        {DrawTextFormat::SingleLine | DrawTextFormat::VCenter, 100, 74, 36},  // (60 - 12) / 2 below the top
        {DrawTextFormat::SingleLine | DrawTextFormat::Bottom | DrawTextFormat::Right, 180, 98, 60},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        TextLayout t = Layout("ab", Rect{100, 50, 200, 110}, c.format);
        ASSERT_EQ(t.glyphs.size(), 2u);
        EXPECT_EQ(t.glyphs[0].box.left, c.left + 1);
        EXPECT_EQ(t.glyphs[0].box.top, c.top);
        EXPECT_EQ(t.height, c.height);
    }
}

TEST(TextLayout, SingleLineIgnoresBreaks) {
    TextLayout t = Layout("a\nb", kScreen, DrawTextFormat::SingleLine);
    EXPECT_EQ(t.lineCount, 1);
    ASSERT_EQ(t.glyphs.size(), 2u);
    EXPECT_EQ(t.glyphs[1].box.left, 11);
}

TEST(TextLayout, BoundsCoverTheWidestLine) {
    TextLayout t = Layout("ab\nabcd\na", Rect{10, 20, 30, 25});
    EXPECT_EQ(t.bounds.left, 10);
    EXPECT_EQ(t.bounds.top, 20);
    EXPECT_EQ(t.bounds.right, 50);
    EXPECT_EQ(t.bounds.bottom, 56);
}

TEST(TextLayout, BytesAreReadAsWindows1252) {
    uint32_t seen[3] = {};
    int n = 0;
    LayoutText("\x80\xE9\x41", -1, kScreen, 0, kCell, kAscent, [&](uint32_t code) {
        if (n < 3) seen[n++] = code;
        return FixedBox(code);
    });
    EXPECT_EQ(seen[0], 0x20ACu);  // euro sign
    EXPECT_EQ(seen[1], 0xE9u);    // e acute
    EXPECT_EQ(seen[2], 0x41u);
}

}  // namespace
}  // namespace velor
