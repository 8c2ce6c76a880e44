// Point-sprite glows. The demo draws them additively (source alpha, destination one), so both the
// colour and the alpha fall off together; the product of two smooth falloffs is still smooth. Every
// profile is multiplied by a window that reaches exactly zero at radius 1, which sits a few texels
// inside the square, so no sprite ever shows an edge. Shapes with fine angular detail (rays) are
// supersampled so they do not alias near the centre.
#include <cmath>
#include <functional>

#include "tools/contentgen/textures.h"

namespace velor::content {
namespace {

// Paints f(x, y) with x, y in [-1, 1] at radius 1 = 97% of the half size, averaging n x n samples
// per texel. Alpha is the brightest colour channel, so "how much light" and "how opaque" agree.
Canvas PaintRadial(int size, int n, const std::function<Color(float x, float y)>& f) {
    Canvas c(size, size, {0, 0, 0, 0});
    const float half = float(size) * 0.5f;
    const float radius = half * 0.97f;
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            Color sum{0, 0, 0, 0};
            for (int sy = 0; sy < n; ++sy) {
                for (int sx = 0; sx < n; ++sx) {
                    const float x = (float(px) + (float(sx) + 0.5f) / float(n) - half) / radius;
                    const float y = (float(py) + (float(sy) + 0.5f) / float(n) - half) / radius;
                    sum += f(x, y);
                }
            }
            Color col = sum * (1.0f / float(n * n));
            col.r = Clamp01(col.r);
            col.g = Clamp01(col.g);
            col.b = Clamp01(col.b);
            col.a = std::max(col.r, std::max(col.g, col.b));
            c.At(px, py) = col;
        }
    }
    return c;
}

// 1 at the centre, exactly 0 from radius 1 on, with zero slope there.
float Window(float r2) {
    if (r2 >= 1.0f) return 0.0f;
    const float t = 1.0f - r2;
    return t * t;
}

}  // namespace

Canvas PaintFlare(int size) {
    return PaintRadial(size, 2, [](float x, float y) {
        const float r2 = x * x + y * y;
        const float w = Window(r2);
        // Most of the light sits in a soft core: a cloud of thousands of these still shows its
        // points instead of melting into one haze.
        const float v = w * (0.22f * w * w + 0.78f * std::exp(-r2 * 14.0f));
        return Color{v, v, v, 1};
    });
}

Canvas PaintWarmGlow(int size) {
    return PaintRadial(size, 4, [](float x, float y) {
        const float r2 = x * x + y * y;
        const float w = Window(r2);
        if (w <= 0) return Color{0, 0, 0, 0};
        const float r = std::sqrt(r2);
        const float a = std::atan2(y, x);
        const float core = std::exp(-r2 * 40.0f);
        const float halo = w * w * 0.75f;
        // Six soft rays and six fainter ones between them, fading in away from the centre.
        const float ray6 = std::pow(0.5f + 0.5f * std::cos(6.0f * a), 16.0f);
        const float ray12 = std::pow(0.5f + 0.5f * std::cos(6.0f * a + kPi), 24.0f) * 0.5f;
        const float rays = (ray6 + ray12) * Smoothstep(0.02f, 0.25f, r) * w * 0.55f;
        const Color c = Color{1.0f, 1.0f, 0.92f, 1} * core + Color{1.0f, 0.62f, 0.22f, 1} * halo +
                        Color{1.0f, 0.85f, 0.55f, 1} * rays;
        return Color{c.r, c.g, c.b, 1};
    });
}

Canvas PaintHaloGlow(int size) {
    return PaintRadial(size, 2, [](float x, float y) {
        const float r2 = x * x + y * y;
        const float w = Window(r2);
        if (w <= 0) return Color{0, 0, 0, 0};
        const float r = std::sqrt(r2);
        const float ring = std::exp(-(r - 0.55f) * (r - 0.55f) / (2.0f * 0.09f * 0.09f));
        const float core = std::exp(-r2 * 14.0f);
        const float haze = w * w * 0.35f;
        const Color c = Color{0.35f, 0.78f, 1.0f, 1} * (ring * w * 0.9f) + Color{0.85f, 0.93f, 1.0f, 1} * (core * 0.85f) +
                        Color{0.3f, 0.55f, 1.0f, 1} * haze;
        return Color{c.r, c.g, c.b, 1};
    });
}

Canvas PaintSpark(int size) {
    return PaintRadial(size, 6, [](float x, float y) {
        const float r2 = x * x + y * y;
        const float w = Window(r2);
        if (w <= 0) return Color{0, 0, 0, 0};
        const float r = std::sqrt(r2);
        const float core = std::exp(-r2 * 90.0f) + 0.35f * std::exp(-r2 * 14.0f);
        // A four-pointed star along the axes and a shorter, fainter one along the diagonals; the
        // rays widen slightly outward and are soft across (about 1.5 texels at 128 pixels).
        auto ray = [&](float along, float across, float reach) {
            const float width = 0.012f + 0.02f * r;
            const float lengthFade = std::max(0.0f, 1.0f - std::fabs(along) / reach);
            return std::exp(-(across * across) / (width * width)) * lengthFade * lengthFade * lengthFade;
        };
        const float d1 = (x + y) * 0.70710678f, d2 = (x - y) * 0.70710678f;
        const float star = ray(x, y, 1.0f) + ray(y, x, 1.0f) + 0.45f * (ray(d1, d2, 0.6f) + ray(d2, d1, 0.6f));
        const float v = (core + star * 0.9f) * w;
        return Color{v, v, v * 0.97f, 1};
    });
}

}  // namespace velor::content
