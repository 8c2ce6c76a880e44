#include "engine/ui/text_line_image.h"

#include <algorithm>
#include <memory>

#include "engine/ui/font_face.h"
#include "engine/ui/font_match.h"

namespace velor {

namespace {
constexpr uint32_t kBoxColor = 0x202020u;
constexpr uint32_t kTextColor = 0xF0F0F0u;

uint32_t Blend(uint8_t coverage) {
    auto channel = [coverage](uint32_t shift) {
        const uint32_t box = (kBoxColor >> shift) & 0xFF, text = (kTextColor >> shift) & 0xFF;
        return ((box * (255 - coverage) + text * coverage + 127) / 255) << shift;
    };
    return 0xFF000000u | channel(16) | channel(8) | channel(0);
}


// The line is drawn again every frame it is shown: the face is matched and opened once per height,
// not per frame.
FontFace* FaceOfHeight(int cellHeight, std::string* error) {
    static std::unique_ptr<FontFace> face;
    static int faceHeight = 0;
    if (face != nullptr && faceHeight == cellHeight) return face.get();
    face.reset();
    FontMatch match;
    if (!MatchFont(FontRequest{}, &match, error)) return nullptr;
    face = FontFace::Open(match, FontSize{cellHeight, 0, true}, error);
    faceHeight = cellHeight;
    return face.get();
}
}  // namespace

OverlayImage RenderTextLine(const std::string& text, int cellHeight, std::string* error) {
    FontFace* face = FaceOfHeight(std::max(cellHeight, 1), error);
    if (face == nullptr) return {};
    std::vector<GlyphBitmap> glyphs(text.size());
    int penWidth = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        face->Rasterise(uint8_t(text[i]), &glyphs[i]);
        penWidth += glyphs[i].advance;
    }
    const int margin = std::max(1, face->Metrics().cellHeight / 4);
    OverlayImage image;
    image.width = uint32_t(penWidth + 2 * margin);
    image.height = uint32_t(face->Metrics().cellHeight + 2 * margin);
    image.pixels.assign(size_t(image.width) * image.height, Blend(0));
    const int baseline = margin + face->Metrics().ascent;
    int pen = margin;
    for (const GlyphBitmap& glyph : glyphs) {
        for (int y = 0; y < glyph.height; ++y) {
            const int row = baseline - glyph.top + y;
            if (row < 0 || row >= int(image.height)) continue;
            for (int x = 0; x < glyph.width; ++x) {
                const int column = pen + glyph.left + x;
                if (column < 0 || column >= int(image.width)) continue;
                const uint8_t c = glyph.coverage[size_t(y) * glyph.width + x];
                uint32_t& p = image.pixels[size_t(row) * image.width + column];
                if (c > 0) p = Blend(c);
            }
        }
        pen += glyph.advance;
    }
    return image;
}

}  // namespace velor
