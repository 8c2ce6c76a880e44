#include "tools/contentgen/noise.h"

#include <cmath>

#include "tools/contentgen/prng.h"

namespace velor::content {
namespace {

int Wrap(int i, int period) {
    if (period <= 0) return i;
    int m = i % period;
    return m < 0 ? m + period : m;
}

float Fade(float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); }

float Lerp(float a, float b, float t) { return a + (b - a) * t; }

// Twelve edge directions of a cube (plus four repeats), as in improved Perlin noise; in 2D the
// same hash picks one of eight unit directions.
float Grad2(uint32_t h, float x, float y) {
    static constexpr float kDirs[8][2] = {{1, 0},           {0.70710678f, 0.70710678f},
                                          {0, 1},           {-0.70710678f, 0.70710678f},
                                          {-1, 0},          {-0.70710678f, -0.70710678f},
                                          {0, -1},          {0.70710678f, -0.70710678f}};
    const float* d = kDirs[h & 7];
    return d[0] * x + d[1] * y;
}

float Grad3(uint32_t h, float x, float y, float z) {
    switch (h & 15) {
        case 0: return x + y;
        case 1: return -x + y;
        case 2: return x - y;
        case 3: return -x - y;
        case 4: return x + z;
        case 5: return -x + z;
        case 6: return x - z;
        case 7: return -x - z;
        case 8: return y + z;
        case 9: return -y + z;
        case 10: return y - z;
        case 11: return -y - z;
        case 12: return x + y;
        case 13: return -x + y;
        case 14: return -y + z;
        default: return -y - z;
    }
}

}  // namespace

float GradientNoise2(float x, float y, int px, int py, uint32_t seed) {
    const float fx = std::floor(x), fy = std::floor(y);
    const int ix = int(fx), iy = int(fy);
    const float tx = x - fx, ty = y - fy;
    const int x0 = Wrap(ix, px), x1 = Wrap(ix + 1, px);
    const int y0 = Wrap(iy, py), y1 = Wrap(iy + 1, py);
    const float n00 = Grad2(Hash2(x0, y0, seed), tx, ty);
    const float n10 = Grad2(Hash2(x1, y0, seed), tx - 1, ty);
    const float n01 = Grad2(Hash2(x0, y1, seed), tx, ty - 1);
    const float n11 = Grad2(Hash2(x1, y1, seed), tx - 1, ty - 1);
    const float u = Fade(tx), v = Fade(ty);
    return 1.41421356f * Lerp(Lerp(n00, n10, u), Lerp(n01, n11, u), v);
}

float GradientNoise3(float x, float y, float z, int px, int py, int pz, uint32_t seed) {
    const float fx = std::floor(x), fy = std::floor(y), fz = std::floor(z);
    const int ix = int(fx), iy = int(fy), iz = int(fz);
    const float tx = x - fx, ty = y - fy, tz = z - fz;
    const int x0 = Wrap(ix, px), x1 = Wrap(ix + 1, px);
    const int y0 = Wrap(iy, py), y1 = Wrap(iy + 1, py);
    const int z0 = Wrap(iz, pz), z1 = Wrap(iz + 1, pz);
    const float u = Fade(tx), v = Fade(ty), w = Fade(tz);
    const float a = Lerp(Grad3(Hash3(x0, y0, z0, seed), tx, ty, tz), Grad3(Hash3(x1, y0, z0, seed), tx - 1, ty, tz), u);
    const float b = Lerp(Grad3(Hash3(x0, y1, z0, seed), tx, ty - 1, tz),
                         Grad3(Hash3(x1, y1, z0, seed), tx - 1, ty - 1, tz), u);
    const float c = Lerp(Grad3(Hash3(x0, y0, z1, seed), tx, ty, tz - 1),
                         Grad3(Hash3(x1, y0, z1, seed), tx - 1, ty, tz - 1), u);
    const float d = Lerp(Grad3(Hash3(x0, y1, z1, seed), tx, ty - 1, tz - 1),
                         Grad3(Hash3(x1, y1, z1, seed), tx - 1, ty - 1, tz - 1), u);
    return 0.95f * Lerp(Lerp(a, b, v), Lerp(c, d, v), w);
}

float Fbm2(float x, float y, int octaves, int px, int py, uint32_t seed, float gain) {
    float sum = 0, amp = 1, total = 0, freq = 1;
    for (int o = 0; o < octaves; ++o) {
        const int f = int(freq);
        sum += amp * GradientNoise2(x * freq, y * freq, px * f, py * f, seed + uint32_t(o) * 1013u);
        total += amp;
        amp *= gain;
        freq *= 2;
    }
    return sum / total;
}

float Fbm3(float x, float y, float z, int octaves, int px, int py, int pz, uint32_t seed, float gain) {
    float sum = 0, amp = 1, total = 0, freq = 1;
    for (int o = 0; o < octaves; ++o) {
        const int f = int(freq);
        sum += amp * GradientNoise3(x * freq, y * freq, z * freq, px * f, py * f, pz * f, seed + uint32_t(o) * 1013u);
        total += amp;
        amp *= gain;
        freq *= 2;
    }
    return sum / total;
}

float RidgedFbm2(float x, float y, int octaves, int px, int py, uint32_t seed) {
    float sum = 0, amp = 1, total = 0, freq = 1;
    for (int o = 0; o < octaves; ++o) {
        const int f = int(freq);
        const float n = 1.0f - std::fabs(GradientNoise2(x * freq, y * freq, px * f, py * f, seed + uint32_t(o) * 7919u));
        sum += amp * n * n;
        total += amp;
        amp *= 0.5f;
        freq *= 2;
    }
    return sum / total;
}

CellSample CellNoise2(float x, float y, int px, int py, uint32_t seed, float jitter) {
    const float fx = std::floor(x), fy = std::floor(y);
    const int ix = int(fx), iy = int(fy);
    CellSample s;
    s.f1 = s.f2 = 1e9f;
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            const int cx = ix + dx, cy = iy + dy;
            const uint32_t h = Hash2(Wrap(cx, px), Wrap(cy, py), seed);
            const float ox = 0.5f + jitter * (HashUnit(h) - 0.5f);
            const float oy = 0.5f + jitter * (HashUnit(Hash32(h ^ 0x5bd1e995u)) - 0.5f);
            const float fpx = float(cx) + ox, fpy = float(cy) + oy;
            const float ddx = fpx - x, ddy = fpy - y;
            const float d = std::sqrt(ddx * ddx + ddy * ddy);
            if (d < s.f1) {
                s.f2 = s.f1;
                s.f1 = d;
                s.cellHash = h;
                s.nearestX = fpx;
                s.nearestY = fpy;
            } else if (d < s.f2) {
                s.f2 = d;
            }
        }
    }
    return s;
}

}  // namespace velor::content
