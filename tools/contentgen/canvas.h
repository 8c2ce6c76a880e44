#pragma once
// A float RGBA picture that the texture generators paint into, and the small colour maths they
// share. Channels are nominally 0..1 in display (sRGB) space; conversion to bytes clamps, rounds and
// optionally adds a tiny ordered dither so long gradients do not band.

#include <cstdint>
#include <vector>

#include "engine/image/image.h"

namespace velor::content {

struct Color {
    float r = 0, g = 0, b = 0, a = 1;

    constexpr Color() = default;
    constexpr Color(float rr, float gg, float bb, float aa = 1) : r(rr), g(gg), b(bb), a(aa) {}

    Color operator+(const Color& o) const { return {r + o.r, g + o.g, b + o.b, a + o.a}; }
    Color operator-(const Color& o) const { return {r - o.r, g - o.g, b - o.b, a - o.a}; }
    Color operator*(float s) const { return {r * s, g * s, b * s, a * s}; }
    Color operator*(const Color& o) const { return {r * o.r, g * o.g, b * o.b, a * o.a}; }
    Color& operator+=(const Color& o) { r += o.r; g += o.g; b += o.b; a += o.a; return *this; }
};

// The colour part scaled, alpha kept.
inline Color Rgb(float r, float g, float b) { return {r, g, b, 1}; }
Color MixColor(const Color& a, const Color& b, float t);   // all four channels
Color ScaleRgb(const Color& c, float s);                   // alpha kept

float Clamp01(float v);
float Smoothstep(float e0, float e1, float x);
float Mix(float a, float b, float t);

class Canvas {
public:
    Canvas() = default;
    Canvas(int width, int height, Color fill = {0, 0, 0, 1});

    int Width() const { return width_; }
    int Height() const { return height_; }
    Color& At(int x, int y) { return pixels_[size_t(y) * size_t(width_) + size_t(x)]; }
    const Color& At(int x, int y) const { return pixels_[size_t(y) * size_t(width_) + size_t(x)]; }
    std::vector<Color>& Pixels() { return pixels_; }
    const std::vector<Color>& Pixels() const { return pixels_; }

    // Bilinear sample with wrap-around addressing; u, v in texture units (1 = whole picture).
    Color SampleWrap(float u, float v) const;
    // Copies src into this canvas with its top-left corner at (x, y), clipped.
    void Blit(const Canvas& src, int x, int y);

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<Color> pixels_;
};

// Bytes in R, G, B(, A) order, rows top first. With dither, values strictly between 0 and 1 get a
// fixed 4x4 Bayer offset below one step, so exact 0 stays 0 and exact 1 stays 255.
std::vector<uint8_t> ToBytes(const Canvas& c, int channels, bool dither);

// The engine's 0xAARRGGBB image (for DDS files).
Image ToArgbImage(const Canvas& c, bool dither);

// Box-filtered mip chain down to 1 x 1, level 0 first.
MipChain BuildMipChain(const Image& top);

}  // namespace velor::content
