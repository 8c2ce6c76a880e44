#include "tools/contentgen/contact_sheet.h"

#include <algorithm>

#include "engine/image/image_decode.h"
#include "tools/contentgen/image_files.h"
#include "tools/contentgen/label_font.h"

namespace velor::content {
namespace {

constexpr int kThumb = 256;
constexpr int kPad = 12;
constexpr int kLabelScale = 2;
constexpr int kCellW = kThumb + 4 * kPad + 8;   // room for a label of 23 characters
constexpr int kCellH = kThumb + 2 * kPad + 2 * (kLabelHeight * kLabelScale + 6);
constexpr int kColumns = 6;

Color FromArgb(uint32_t p) {
    return {float(RedOf(p)) / 255.0f, float(GreenOf(p)) / 255.0f, float(BlueOf(p)) / 255.0f, float(AlphaOf(p)) / 255.0f};
}

// Averages the source texels under each destination pixel and lays the result over a checkerboard.
void DrawScaled(Canvas& sheet, const Image& img, int x0, int y0, int w, int h) {
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const uint32_t sx0 = uint32_t(x) * img.width / uint32_t(w), sx1 = std::max(sx0 + 1, uint32_t(x + 1) * img.width / uint32_t(w));
            const uint32_t sy0 = uint32_t(y) * img.height / uint32_t(h), sy1 = std::max(sy0 + 1, uint32_t(y + 1) * img.height / uint32_t(h));
            Color sum{0, 0, 0, 0};
            for (uint32_t sy = sy0; sy < sy1; ++sy)
                for (uint32_t sx = sx0; sx < sx1; ++sx) sum += FromArgb(img.At(sx, sy));
            const Color c = sum * (1.0f / float((sx1 - sx0) * (sy1 - sy0)));
            const float checker = ((x / 8 + y / 8) % 2) ? 0.16f : 0.1f;
            const Color back{checker, checker, checker, 1};
            Color out = MixColor(back, Color{c.r, c.g, c.b, 1}, c.a);
            out.a = 1;
            sheet.At(x0 + x, y0 + y) = out;
        }
    }
}

}  // namespace

Blob MakeContactSheet(const std::vector<const GeneratedFile*>& pictures) {
    const int rows = (int(pictures.size()) + kColumns - 1) / kColumns;
    Canvas sheet(kColumns * kCellW, std::max(1, rows) * kCellH, {0.04f, 0.04f, 0.05f, 1});
    for (size_t i = 0; i < pictures.size(); ++i) {
        const GeneratedFile& f = *pictures[i];
        const int cx = int(i % kColumns) * kCellW + kPad, cy = int(i / kColumns) * kCellH + kPad;
        ImageResult<TextureImage> decoded = LoadImageFromMemory(f.blob.bytes.data(), f.blob.bytes.size(), f.path);
        std::string size = "cannot decode";
        if (decoded) {
            const TextureImage& tex = *decoded;
            const Image& top = tex.Top();
            size = std::to_string(top.width) + "X" + std::to_string(top.height);
            if (tex.isCube) {
                size += " CUBE";
                // Unfolded cross: -X +Z +X -Z across the middle, +Y above +Z, -Y below.
                const int s = kThumb / 4;
                const int pos[6][2] = {{2, 1}, {0, 1}, {1, 0}, {1, 2}, {1, 1}, {3, 1}};
                for (int face = 0; face < 6; ++face)
                    DrawScaled(sheet, tex.faces[size_t(face)][0], cx + pos[face][0] * s, cy + kThumb / 8 + pos[face][1] * s, s, s);
            } else {
                const float scale = std::min(float(kThumb) / float(top.width), float(kThumb) / float(top.height));
                const int w = std::max(1, int(float(top.width) * scale)), h = std::max(1, int(float(top.height) * scale));
                DrawScaled(sheet, top, cx + (kThumb - w) / 2, cy + (kThumb - h) / 2, w, h);
            }
            if (tex.faces[0].size() > 1) size += " " + std::to_string(tex.faces[0].size()) + " MIPS";
        }
        const int labelY = cy + kThumb + 6;
        const size_t slash = f.path.rfind('/');
        const std::string name = slash == std::string::npos ? f.path : f.path.substr(slash + 1);
        DrawLabel(sheet, cx, labelY, std::to_string(i + 1) + " " + name, kLabelScale, {0.95f, 0.95f, 0.9f, 1});
        DrawLabel(sheet, cx, labelY + kLabelHeight * kLabelScale + 6, size, kLabelScale, {0.6f, 0.75f, 0.95f, 1});
    }
    return EncodePngFile(sheet, 3, false);
}

}  // namespace velor::content
