#include "engine/ui/font_face.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <cmath>
#include <cstdlib>

namespace velor {

FontFace::~FontFace() {
    if (face_ != nullptr) FT_Done_Face(face_);
    if (library_ != nullptr) FT_Done_FreeType(library_);
}

std::unique_ptr<FontFace> FontFace::Open(const FontMatch& match, const FontSize& size, std::string* error) {
    auto fail = [&](const std::string& why) {
        if (error) *error = match.file + ": " + why;
        return std::unique_ptr<FontFace>();
    };
    std::unique_ptr<FontFace> font(new FontFace());
    font->file_ = match.file;
    font->antialiased_ = size.antialiased;
    font->embolden_ = match.embolden;
    font->oblique_ = match.oblique;
    if (FT_Init_FreeType(&font->library_) != 0) return fail("FreeType cannot start");
    if (FT_New_Face(font->library_, match.file.c_str(), match.faceIndex, &font->face_) != 0)
        return fail("not a font file FreeType can read");
    FT_Face face = font->face_;
    if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) return fail("not a scalable font");

    // Cell metrics as Windows reads them, from the OS/2 table when the face has one.
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    double ascentUnits = face->ascender;
    double cellUnits = double(face->ascender) - double(face->descender);
    double averageWidthUnits = 0;
    if (os2 != nullptr && os2->version != 0xFFFF) {
        if (os2->usWinAscent + os2->usWinDescent > 0) {
            ascentUnits = os2->usWinAscent;
            cellUnits = double(os2->usWinAscent) + double(os2->usWinDescent);
        }
        averageWidthUnits = os2->xAvgCharWidth;
    }
    if (cellUnits <= 0) return fail("the face has no vertical metrics");
    const double upem = face->units_per_EM;

    double emPixels = 0;
    int cellPixels = 0;
    if (size.height < 0) {
        emPixels = -double(size.height);
        cellPixels = int(std::lround(emPixels * cellUnits / upem));
    } else {
        cellPixels = size.height > 0 ? size.height : kDefaultCellHeight;
        emPixels = cellPixels * upem / cellUnits;
    }
    double emWidthPixels = emPixels;
    if (size.width > 0) emWidthPixels = averageWidthUnits > 0 ? size.width * upem / averageWidthUnits : 2.0 * size.width;

    // 26.6 fixed point at 72 dpi: points are pixels.
    if (FT_Set_Char_Size(face, FT_F26Dot6(std::lround(emWidthPixels * 64)), FT_F26Dot6(std::lround(emPixels * 64)),
                         72, 72) != 0)
        return fail("cannot be scaled to " + std::to_string(cellPixels) + " pixels");

    font->metrics_.cellHeight = cellPixels;
    font->metrics_.ascent = int(std::lround(ascentUnits * emPixels / upem));
    font->metrics_.emSize = float(emPixels);
    return font;
}

bool FontFace::Rasterise(uint32_t codePoint, GlyphBitmap* out) const {
    *out = GlyphBitmap{};
    FT_UInt index = FT_Get_Char_Index(face_, codePoint);
    FT_Int32 loadFlags = FT_LOAD_DEFAULT | (antialiased_ ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO);
    if (FT_Load_Glyph(face_, index, loadFlags) != 0) return false;
    FT_GlyphSlot slot = face_->glyph;
    if (oblique_) FT_GlyphSlot_Oblique(slot);
    if (embolden_) FT_GlyphSlot_Embolden(slot);
    if (FT_Render_Glyph(slot, antialiased_ ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) != 0) return false;

    const FT_Bitmap& bitmap = slot->bitmap;
    out->advance = int((slot->advance.x + 32) >> 6);
    out->left = slot->bitmap_left;
    out->top = slot->bitmap_top;
    out->width = int(bitmap.width);
    out->height = int(bitmap.rows);
    out->coverage.assign(size_t(out->width) * out->height, 0);
    for (int y = 0; y < out->height; ++y) {
        const int pitch = std::abs(bitmap.pitch);
        const int row = bitmap.pitch >= 0 ? y : out->height - 1 - y;
        const uint8_t* src = bitmap.buffer + size_t(row) * pitch;
        uint8_t* dst = out->coverage.data() + size_t(y) * out->width;
        for (int x = 0; x < out->width; ++x) {
            if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
                dst[x] = (src[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
            else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY)
                dst[x] = uint8_t(bitmap.num_grays == 256 ? src[x] : src[x] * 255 / (bitmap.num_grays - 1));
        }
    }
    return true;
}

}  // namespace velor
