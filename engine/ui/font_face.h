#pragma once
// One sized font face (FreeType): GDI's cell-height sizing and glyph rasterising to 8-bit coverage.
//
// GDI sizes a font by its cell: a positive LOGFONT height is ascent + descent of the Windows metrics
// (usWinAscent + usWinDescent of the OS/2 table), and lines are exactly that many pixels apart. A
// negative height is the em size. A width, when given, is the average character width (xAvgCharWidth).
// So the em size in pixels is height × unitsPerEm / (winAscent + winDescent), and the baseline sits
// round(winAscent × scale) pixels below the top of the cell.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/ui/font_match.h"

struct FT_LibraryRec_;
struct FT_FaceRec_;

namespace velor {

struct FontMetrics {
    int cellHeight = 0;  // pixels from one line's top to the next
    int ascent = 0;      // pixels from the top of a line to its baseline
    float emSize = 0;    // em height in pixels the face is scaled to
};

// A glyph as drawn: an 8-bit coverage bitmap placed relative to the pen on the baseline.
struct GlyphBitmap {
    int width = 0, height = 0;      // pixels; 0 for blanks
    int left = 0;                   // pixels from the pen to the bitmap's left column
    int top = 0;                    // pixels from the baseline up to the bitmap's top row
    int advance = 0;                // pen advance in whole pixels
    std::vector<uint8_t> coverage;  // width × height, top row first, 0..255
};

struct FontSize {
    int height = 0;        // LOGFONT height: > 0 cell height, < 0 em height, 0 the default
    uint32_t width = 0;    // average character width in pixels, 0 for the face's own proportions
    bool antialiased = true;
};

// Height used when a font is asked for with height 0.
constexpr int kDefaultCellHeight = 16;

class FontFace {
public:
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    // Null, with the reason in `error`, when the file cannot be read as a scalable face.
    static std::unique_ptr<FontFace> Open(const FontMatch& match, const FontSize& size, std::string* error);

    const FontMetrics& Metrics() const { return metrics_; }
    const std::string& File() const { return file_; }
    // The glyph for a Unicode code point (the face's missing-glyph box when it has none). False when
    // FreeType cannot render it; `out` is then a blank with no advance.
    bool Rasterise(uint32_t codePoint, GlyphBitmap* out) const;

private:
    FontFace() = default;

    FT_LibraryRec_* library_ = nullptr;
    FT_FaceRec_* face_ = nullptr;
    FontMetrics metrics_;
    bool antialiased_ = true;
    bool embolden_ = false;
    bool oblique_ = false;
    std::string file_;
};

}  // namespace velor
