#include "tools/contentgen/canvas.h"

#include <algorithm>
#include <cmath>

namespace velor::content {

float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

float Smoothstep(float e0, float e1, float x) {
    const float t = Clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

float Mix(float a, float b, float t) { return a + (b - a) * t; }

Color MixColor(const Color& a, const Color& b, float t) {
    return {Mix(a.r, b.r, t), Mix(a.g, b.g, t), Mix(a.b, b.b, t), Mix(a.a, b.a, t)};
}

Color ScaleRgb(const Color& c, float s) { return {c.r * s, c.g * s, c.b * s, c.a}; }

Canvas::Canvas(int width, int height, Color fill)
    : width_(width), height_(height), pixels_(size_t(width) * size_t(height), fill) {}

Color Canvas::SampleWrap(float u, float v) const {
    const float x = u * float(width_) - 0.5f;
    const float y = v * float(height_) - 0.5f;
    const float fx = std::floor(x), fy = std::floor(y);
    const float tx = x - fx, ty = y - fy;
    auto wrap = [](int i, int n) { int m = i % n; return m < 0 ? m + n : m; };
    const int x0 = wrap(int(fx), width_), x1 = wrap(int(fx) + 1, width_);
    const int y0 = wrap(int(fy), height_), y1 = wrap(int(fy) + 1, height_);
    const Color top = MixColor(At(x0, y0), At(x1, y0), tx);
    const Color bottom = MixColor(At(x0, y1), At(x1, y1), tx);
    return MixColor(top, bottom, ty);
}

void Canvas::Blit(const Canvas& src, int x, int y) {
    for (int sy = 0; sy < src.Height(); ++sy) {
        const int dy = y + sy;
        if (dy < 0 || dy >= height_) continue;
        for (int sx = 0; sx < src.Width(); ++sx) {
            const int dx = x + sx;
            if (dx < 0 || dx >= width_) continue;
            At(dx, dy) = src.At(sx, sy);
        }
    }
}

namespace {

constexpr float kBayer4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

uint8_t ToByte(float v, int x, int y, bool dither) {
    v = Clamp01(v);
    if (v <= 0) return 0;
    if (v >= 1) return 255;
    float scaled = v * 255.0f;
    if (dither) scaled += (kBayer4[y & 3][x & 3] + 0.5f) / 16.0f - 0.5f;
    const float r = std::floor(scaled + 0.5f);
    return uint8_t(std::clamp(r, 0.0f, 255.0f));
}

}  // namespace

std::vector<uint8_t> ToBytes(const Canvas& c, int channels, bool dither) {
    std::vector<uint8_t> out(size_t(c.Width()) * size_t(c.Height()) * size_t(channels));
    size_t i = 0;
    for (int y = 0; y < c.Height(); ++y) {
        for (int x = 0; x < c.Width(); ++x) {
            const Color& p = c.At(x, y);
            const float ch[4] = {p.r, p.g, p.b, p.a};
            if (channels == 1) {
                out[i++] = ToByte(0.299f * p.r + 0.587f * p.g + 0.114f * p.b, x, y, dither);
                continue;
            }
            for (int k = 0; k < channels; ++k) out[i++] = ToByte(ch[k], x, y, dither && k < 3);
        }
    }
    return out;
}

Image ToArgbImage(const Canvas& c, bool dither) {
    const std::vector<uint8_t> rgba = ToBytes(c, 4, dither);
    Image img(uint32_t(c.Width()), uint32_t(c.Height()));
    for (size_t i = 0; i < img.pixels.size(); ++i) {
        img.pixels[i] = PackArgb(rgba[i * 4 + 3], rgba[i * 4 + 0], rgba[i * 4 + 1], rgba[i * 4 + 2]);
    }
    return img;
}

MipChain BuildMipChain(const Image& top) {
    MipChain chain;
    chain.push_back(top);
    while (chain.back().width > 1 || chain.back().height > 1) {
        const Image& src = chain.back();
        const uint32_t w = std::max(1u, src.width / 2), h = std::max(1u, src.height / 2);
        Image dst(w, h);
        for (uint32_t y = 0; y < h; ++y) {
            for (uint32_t x = 0; x < w; ++x) {
                uint32_t sum[4] = {0, 0, 0, 0};
                uint32_t n = 0;
                for (uint32_t dy = 0; dy < 2; ++dy) {
                    for (uint32_t dx = 0; dx < 2; ++dx) {
                        const uint32_t sx = std::min(src.width - 1, x * 2 + dx);
                        const uint32_t sy = std::min(src.height - 1, y * 2 + dy);
                        const uint32_t p = src.At(sx, sy);
                        sum[0] += AlphaOf(p);
                        sum[1] += RedOf(p);
                        sum[2] += GreenOf(p);
                        sum[3] += BlueOf(p);
                        ++n;
                    }
                }
                dst.At(x, y) = PackArgb((sum[0] + n / 2) / n, (sum[1] + n / 2) / n, (sum[2] + n / 2) / n,
                                        (sum[3] + n / 2) / n);
            }
        }
        chain.push_back(std::move(dst));
    }
    return chain;
}

}  // namespace velor::content
