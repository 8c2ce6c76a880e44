// The tunnel's splatting set. Every texture tiles: noise periods are whole numbers of cells per
// texture and painted features wrap around the edges, because the tunnel repeats them four times
// around and many times along its length. The rock and the normal map come from related height
// fields, so the bumps of the normal map sit where the rock has relief.
#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/contentgen/noise.h"
#include "tools/contentgen/prng.h"
#include "tools/contentgen/textures.h"

namespace velor::content {
namespace {

// A tileable height field over [0, 1)^2, evaluated per texel.
std::vector<float> HeightField(int size, float (*f)(float u, float v)) {
    std::vector<float> h(size_t(size) * size_t(size));
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) h[size_t(y) * size_t(size) + size_t(x)] = f(float(x) / float(size), float(y) / float(size));
    return h;
}

float At(const std::vector<float>& h, int size, int x, int y) {
    x = (x % size + size) % size;
    y = (y % size + size) % size;
    return h[size_t(y) * size_t(size) + size_t(x)];
}

// Rock relief: broad lumps, bent strata and a few jagged fractures. The fractures follow the
// edges of cellular noise whose lookup is warped by noise (periodic, so it still tiles), which
// breaks the cells' straight sides.
float RockHeight(float u, float v) {
    const float lumps = Fbm2(u * 4, v * 4, 5, 4, 4, 101u);
    const float strata = RidgedFbm2(u * 2 + 0.35f * lumps, v * 7, 4, 2, 7, 102u);
    const float wu = Fbm2(u * 3 + 5.0f, v * 3, 3, 3, 3, 103u), wv = Fbm2(u * 3, v * 3 + 5.0f, 3, 3, 3, 104u);
    const CellSample cell = CellNoise2((u + 0.12f * wu) * 5, (v + 0.12f * wv) * 5, 5, 5, 105u);
    const float fracture = 1.0f - Smoothstep(0.0f, 0.045f, cell.f2 - cell.f1);
    const float depth = Smoothstep(-0.2f, 0.3f, Fbm2(u * 6, v * 6, 2, 6, 6, 106u));   // fractures fade in and out
    return 0.5f * lumps + 0.35f * strata - 0.3f * fracture * depth + 0.05f * Fbm2(u * 16, v * 16, 3, 16, 16, 107u);
}

}  // namespace

float StoneGrain(int x, int y, float u, float v, uint32_t seed, float amount) {
    const float speck = HashUnit(Hash2(x, y, seed)) - 0.5f;
    const float fine = Fbm2(u * 96, v * 96, 2, 96, 96, seed + 1u);
    return 1.0f + amount * (speck + 0.8f * fine);
}

Canvas PaintDetail(int size) {
    Canvas c(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = float(x) / float(size), v = float(y) / float(size);
            const float grain = Fbm2(u * 16, v * 16, 4, 16, 16, 201u);
            const CellSample cell = CellNoise2(u * 24, v * 24, 24, 24, 202u);
            const float pits = Smoothstep(0.25f, 0.0f, cell.f1) * 0.5f;
            const float value = Clamp01(0.5f + 0.32f * grain - 0.18f * pits + 0.06f * (HashUnit(cell.cellHash) - 0.5f));
            c.At(x, y) = {value, value, value, 1};
        }
    }
    return c;
}

Canvas PaintBlendWeights(int size) {
    Canvas c(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = float(x) / float(size), v = float(y) / float(size);
            // Three broad patch fields; a sharp soft maximum turns them into weights that sum to
            // one, with one layer in charge almost everywhere and narrow transitions between
            // them (a softer one mixes all three into a uniform mud).
            const float a = Fbm2(u * 3, v * 3, 4, 3, 3, 301u) + 0.15f;
            const float b = Fbm2(u * 3, v * 3, 4, 3, 3, 302u);
            const float g = Fbm2(u * 3, v * 3, 4, 3, 3, 303u) - 0.1f;
            const float k = 16.0f;
            const float ea = std::exp(k * a), eb = std::exp(k * b), eg = std::exp(k * g);
            const float sum = ea + eb + eg;
            c.At(x, y) = {ea / sum, eb / sum, eg / sum, 1};
        }
    }
    return c;
}

Canvas PaintRock(int size) {
    const std::vector<float> h = HeightField(size, RockHeight);
    Canvas c(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = float(x) / float(size), v = float(y) / float(size);
            const float height = At(h, size, x, y);
            // Relief lit from the upper left.
            const float dx = At(h, size, x + 1, y) - At(h, size, x - 1, y);
            const float dy = At(h, size, x, y + 1) - At(h, size, x, y - 1);
            const float shade = Clamp01(0.72f - 3.0f * (dx * 0.7f + dy * 0.7f) * float(size) / 256.0f);
            const float tint = Fbm2(u * 2, v * 2, 3, 2, 2, 108u);
            Color base = MixColor(Color{0.47f, 0.43f, 0.38f, 1}, Color{0.36f, 0.36f, 0.37f, 1}, Clamp01(0.5f + tint));
            // Ochre staining along the strata.
            const float stain = Smoothstep(0.05f, 0.45f, Fbm2(u * 3, v * 9, 3, 3, 9, 109u));
            base = MixColor(base, Color{0.56f, 0.45f, 0.32f, 1}, stain * 0.55f);
            const float cavity = Smoothstep(0.0f, -0.35f, height);
            base = ScaleRgb(base, (0.55f + 0.75f * shade) * (1.0f - 0.55f * cavity));
            const float speck = HashUnit(Hash2(x, y, 110u));
            base = ScaleRgb(base, 0.94f + 0.12f * speck);
            c.At(x, y) = {Clamp01(base.r), Clamp01(base.g), Clamp01(base.b), 1};
        }
    }
    return c;
}

// The normal map's relief: the rock's own, plus broad swells and mid-sized bumps that tilt the
// surface everywhere, not only in the fractures; lit by the tunnel's moving light they make the
// walls read as rock rather than as a painted plane.
float RockNormalHeight(float u, float v) {
    const float swell = Fbm2(u * 4 + 2.0f, v * 4, 3, 4, 4, 111u);
    const float bumps = Fbm2(u * 12, v * 12, 3, 12, 12, 112u);
    return RockHeight(u, v) + 1.5f * swell + 0.6f * bumps;
}

Canvas PaintRockNormals(int size) {
    const std::vector<float> h = HeightField(size, RockNormalHeight);
    Canvas c(size, size);
    const float strength = 3.0f * float(size) / 256.0f;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float dx = (At(h, size, x + 1, y) - At(h, size, x - 1, y)) * 0.5f;
            const float dy = (At(h, size, x, y + 1) - At(h, size, x, y - 1)) * 0.5f;
            // Tangent space: x along +u (right), y along +v (down the image), z out of the surface.
            const Vec3 n = Normalize(Vec3{-dx * strength, -dy * strength, 1.0f});
            c.At(x, y) = {n.x * 0.5f + 0.5f, n.y * 0.5f + 0.5f, n.z * 0.5f + 0.5f, Clamp01(0.5f + 0.35f * At(h, size, x, y))};
        }
    }
    return c;
}

Canvas PaintGrass(int size) {
    Canvas c(size, size);
    // Soil and undergrowth beneath the blades.
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = float(x) / float(size), v = float(y) / float(size);
            const float n = Fbm2(u * 6, v * 6, 5, 6, 6, 401u);
            c.At(x, y) = MixColor(Color{0.16f, 0.24f, 0.08f, 1}, Color{0.26f, 0.33f, 0.12f, 1}, Clamp01(0.5f + n));
        }
    }
    // Blades: thin tapered strokes in many greens, lighter toward the tip, wrapped at the edges.
    Rng rng(0x6772617373ull);
    const int blades = size * size / 70;
    const float px = 1.0f / float(size);
    for (int i = 0; i < blades; ++i) {
        const float bx = rng.Unit(), by = rng.Unit();
        const float angle = rng.Range(-0.6f, 0.6f) - kPi * 0.5f;
        const float length = rng.Range(10.0f, 26.0f) * px;
        const float width = rng.Range(0.8f, 1.8f) * px;
        const float hue = rng.Unit();
        const Color root = MixColor(Color{0.12f, 0.28f, 0.06f, 1}, Color{0.22f, 0.36f, 0.08f, 1}, hue);
        const Color tip = MixColor(Color{0.42f, 0.62f, 0.2f, 1}, Color{0.62f, 0.7f, 0.28f, 1}, hue * rng.Unit());
        const float ex = std::cos(angle) * length, ey = std::sin(angle) * length;
        const int x0 = int(std::floor((std::min(bx, bx + ex) - width * 2) * float(size)));
        const int x1 = int(std::ceil((std::max(bx, bx + ex) + width * 2) * float(size)));
        const int y0 = int(std::floor((std::min(by, by + ey) - width * 2) * float(size)));
        const int y1 = int(std::ceil((std::max(by, by + ey) + width * 2) * float(size)));
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                const float pxf = (float(x) + 0.5f) * px - bx, pyf = (float(y) + 0.5f) * px - by;
                const float t = Clamp01((pxf * ex + pyf * ey) / (length * length));
                const float dx = pxf - ex * t, dy = pyf - ey * t;
                const float d = std::sqrt(dx * dx + dy * dy);
                const float w = width * (1.0f - 0.85f * t);
                const float cover = Smoothstep(w + px * 0.7f, w - px * 0.7f, d);
                if (cover <= 0) continue;
                Color& dst = c.At((x % size + size) % size, (y % size + size) % size);
                dst = MixColor(dst, MixColor(root, tip, t), cover);
            }
        }
    }
    return c;
}

Canvas PaintTunnelWall(int size) {
    // Four courses of two blocks each, every other course shifted half a block (running bond).
    Canvas c(size, size);
    constexpr int kCourses = 4;
    constexpr int kBlocksPerCourse = 2;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = float(x) / float(size), v = float(y) / float(size);
            const float cv = v * kCourses;
            const int course = int(std::floor(cv));
            const float shift = (course % 2) * 0.5f;
            const float cu = std::fmod(u * kBlocksPerCourse + shift, float(kBlocksPerCourse));
            const int block = int(std::floor(cu));
            const float fu = cu - float(block), fv = cv - float(course);
            // Distance to the block's edge, in texture units, roughened by noise.
            const float edge = std::min(std::min(fu, 1.0f - fu) / kBlocksPerCourse, std::min(fv, 1.0f - fv) / kCourses);
            const float rough = 0.006f * Fbm2(u * 24, v * 24, 3, 24, 24, 501u);
            const float mortar = Smoothstep(0.012f, 0.006f, edge + rough);
            const uint32_t id = Hash2(block, course, 502u);
            const float tone = HashUnit(id);
            Color stone = MixColor(Color{0.5f, 0.46f, 0.4f, 1}, Color{0.4f, 0.38f, 0.36f, 1}, tone);
            stone = MixColor(stone, Color{0.52f, 0.42f, 0.32f, 1}, HashUnit(Hash32(id)) * 0.4f);
            const float grain = Fbm2(u * 16, v * 16, 5, 16, 16, 503u);
            stone = ScaleRgb(stone, 0.82f + 0.35f * grain);
            // Bevel: blocks darken toward their edges, lit a little from above.
            const float bevel = Smoothstep(0.0f, 0.04f, edge);
            stone = ScaleRgb(stone, 0.7f + 0.3f * bevel + (fv < 0.2f ? 0.06f * (1.0f - fv / 0.2f) : 0.0f));
            // Moss and damp streaks running down from the joints.
            const float moss = Smoothstep(0.15f, 0.45f, Fbm2(u * 4, v * 4, 4, 4, 4, 504u)) * (1.0f - bevel * 0.6f);
            stone = MixColor(stone, Color{0.24f, 0.33f, 0.15f, 1}, moss * 0.7f);
            const float streak = Smoothstep(0.3f, 0.7f, Fbm2(u * 24, v * 3, 3, 24, 3, 505u));
            stone = ScaleRgb(stone, 1.0f - 0.2f * streak);
            const Color joint = Color{0.22f, 0.21f, 0.19f, 1} * (0.85f + 0.3f * grain);
            Color col = MixColor(stone, joint, mortar);
            // Grain: sand-sized specks and fine pitting, per texel, so the blocks do not look
            // like smooth plaster close to the camera.
            col = ScaleRgb(col, StoneGrain(x, y, u, v, 506u, 0.16f));
            c.At(x, y) = {Clamp01(col.r), Clamp01(col.g), Clamp01(col.b), 1};
        }
    }
    return c;
}

}  // namespace velor::content
