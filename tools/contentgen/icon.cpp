#include "tools/contentgen/icon.h"

#include <algorithm>
#include <cmath>

#include "tools/contentgen/textures.h"

namespace velor::content {

namespace {

// Coverage of a rounded square with corner radius r (in pixels) at pixel centre (x, y), with a one
// pixel soft edge.
float RoundedSquare(float x, float y, float size, float r) {
    const float half = size * 0.5f;
    const float qx = std::max(std::fabs(x - half) - (half - r), 0.0f);
    const float qy = std::max(std::fabs(y - half) - (half - r), 0.0f);
    const float outside = std::sqrt(qx * qx + qy * qy) - r;
    return Clamp01(0.5f - outside);
}

}  // namespace

Canvas PaintIcon(int size) {
    // The glows are drawn additively in the demo; here too, over a night-blue tile.
    const Canvas halo = PaintHaloGlow(size);
    const Canvas warm = PaintWarmGlow(size * 3 / 4);
    const int warmOffset = (size - warm.Width()) / 2;
    Canvas icon(size, size, {0, 0, 0, 0});
    const float corner = float(size) * 0.18f;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float fy = float(y) / float(size - 1);
            Color c = MixColor(Rgb(0.02f, 0.03f, 0.08f), Rgb(0.06f, 0.04f, 0.14f), fy);
            const Color& h = halo.At(x, y);
            c = c + Rgb(h.r, h.g, h.b) * h.a;
            const int wx = x - warmOffset, wy = y - warmOffset;
            if (wx >= 0 && wy >= 0 && wx < warm.Width() && wy < warm.Height()) {
                const Color& w = warm.At(wx, wy);
                c = c + Rgb(w.r, w.g, w.b) * w.a;
            }
            c.r = Clamp01(c.r);
            c.g = Clamp01(c.g);
            c.b = Clamp01(c.b);
            c.a = RoundedSquare(float(x) + 0.5f, float(y) + 0.5f, float(size), corner);
            icon.At(x, y) = c;
        }
    }
    return icon;
}

}  // namespace velor::content
