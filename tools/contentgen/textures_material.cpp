// Textures that only the meshes' materials name. All tile. The colour key of the demo's loader
// turns opaque pure black transparent, so none of these reaches pure black.
#include <algorithm>
#include <cmath>

#include "tools/contentgen/noise.h"
#include "tools/contentgen/prng.h"
#include "tools/contentgen/textures.h"

namespace velor::content {
namespace {

Color Floor(Color c) {
    const float lo = 6.0f / 255.0f;
    return {std::max(lo, Clamp01(c.r)), std::max(lo, Clamp01(c.g)), std::max(lo, Clamp01(c.b)), 1};
}

// Distance (in texture units) from (u, v) to the nearest joint of a grid of cellsU x cellsV
// blocks whose odd rows are shifted by `shift` of a block; also the block's id.
struct BlockHit {
    float edge;
    uint32_t id;
    float fu, fv;
};

BlockHit Blocks(float u, float v, int cellsU, int cellsV, float shift, uint32_t seed) {
    const float cv = v * float(cellsV);
    const int row = int(std::floor(cv));
    const float cu = std::fmod(u * float(cellsU) + (row % 2) * shift + float(cellsU), float(cellsU));
    const int col = int(std::floor(cu));
    const float fu = cu - float(col), fv = cv - float(row);
    const float edge = std::min(std::min(fu, 1.0f - fu) / float(cellsU), std::min(fv, 1.0f - fv) / float(cellsV));
    return {edge, Hash2(col, row, seed), fu, fv};
}

}  // namespace

Canvas PaintWallStone(int size) {
    // Pale limestone ashlar: four courses of two blocks, fine joints, weathering.
    Canvas c(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = float(x) / float(size), v = float(y) / float(size);
            const float rough = 0.004f * Fbm2(u * 32, v * 32, 2, 32, 32, 601u);
            const BlockHit b = Blocks(u, v, 2, 4, 0.5f, 602u);
            const float tone = HashUnit(b.id);
            Color stone = MixColor(Color{0.86f, 0.82f, 0.74f, 1}, Color{0.76f, 0.72f, 0.66f, 1}, tone);
            const float grain = Fbm2(u * 12, v * 12, 5, 12, 12, 603u);
            stone = ScaleRgb(stone, 0.88f + 0.22f * grain);
            const float pits = Smoothstep(0.12f, 0.02f, CellNoise2(u * 40, v * 40, 40, 40, 604u).f1);
            stone = ScaleRgb(stone, 1.0f - 0.12f * pits);
            const float weather = Smoothstep(0.2f, 0.6f, Fbm2(u * 3, v * 6, 4, 3, 6, 605u));
            stone = MixColor(stone, Color{0.6f, 0.57f, 0.5f, 1}, weather * 0.35f);
            const float bevel = Smoothstep(0.0f, 0.02f, b.edge + rough);
            stone = ScaleRgb(stone, 0.78f + 0.22f * bevel);
            const float joint = Smoothstep(0.007f, 0.003f, b.edge + rough);
            c.At(x, y) = Floor(ScaleRgb(MixColor(stone, Color{0.42f, 0.39f, 0.35f, 1}, joint), StoneGrain(x, y, u, v, 606u, 0.09f)));
        }
    }
    return c;
}

Canvas PaintFloorTiles(int size) {
    // Worn square flagstones, four by four, in slightly different stones.
    Canvas c(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = float(x) / float(size), v = float(y) / float(size);
            const float rough = 0.003f * Fbm2(u * 32, v * 32, 2, 32, 32, 701u);
            const BlockHit b = Blocks(u, v, 4, 4, 0.0f, 702u);
            const float tone = HashUnit(b.id);
            Color stone = MixColor(Color{0.7f, 0.66f, 0.6f, 1}, Color{0.58f, 0.56f, 0.54f, 1}, tone);
            stone = MixColor(stone, Color{0.66f, 0.58f, 0.5f, 1}, HashUnit(Hash32(b.id)) * 0.5f);
            const float grain = Fbm2(u * 16, v * 16, 5, 16, 16, 703u);
            stone = ScaleRgb(stone, 0.86f + 0.25f * grain);
            const float wear = Smoothstep(0.3f, 0.0f, std::hypot(b.fu - 0.5f, b.fv - 0.5f));
            stone = ScaleRgb(stone, 1.0f + 0.06f * wear);
            const float crack = Smoothstep(0.02f, 0.0f, std::fabs(Fbm2(u * 6, v * 6, 4, 6, 6, 704u))) *
                                Smoothstep(0.2f, 0.5f, HashUnit(Hash32(b.id * 3u)));
            stone = ScaleRgb(stone, 1.0f - 0.35f * crack);
            const float bevel = Smoothstep(0.0f, 0.015f, b.edge + rough);
            stone = ScaleRgb(stone, 0.75f + 0.25f * bevel);
            const float joint = Smoothstep(0.006f, 0.0025f, b.edge + rough);
            c.At(x, y) = Floor(ScaleRgb(MixColor(stone, Color{0.3f, 0.28f, 0.25f, 1}, joint), StoneGrain(x, y, u, v, 705u, 0.1f)));
        }
    }
    return c;
}

Canvas PaintBark(int width, int height) {
    // Deep vertical furrows that wander a little, split by dark fissures, with lichen patches.
    Canvas c(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const float u = float(x) / float(width), v = float(y) / float(height);
            const float wander = 0.15f * Fbm2(u * 2, v * 4, 3, 2, 4, 801u);
            const float ridge = RidgedFbm2((u + wander) * 8, v * 2, 4, 8, 2, 802u);
            const float cross = Smoothstep(0.6f, 0.9f, Fbm2(u * 8, v * 16, 3, 8, 16, 803u));
            Color bark = MixColor(Color{0.2f, 0.14f, 0.1f, 1}, Color{0.46f, 0.37f, 0.28f, 1}, Clamp01(ridge * 1.3f - 0.2f));
            bark = ScaleRgb(bark, 1.0f - 0.3f * cross);
            // Fissures: narrow dark cracks along the zero lines of a field stretched along the
            // trunk, so they run long and vertical, fork and break off.
            const float crackField = Fbm2((u + 0.6f * wander) * 10, v * 2, 4, 10, 2, 805u);
            const float fissure = Smoothstep(0.035f, 0.0f, std::fabs(crackField)) *
                                  Smoothstep(-0.1f, 0.25f, Fbm2(u * 6, v * 3, 2, 6, 3, 806u));
            bark = ScaleRgb(bark, 1.0f - 0.75f * fissure);
            const float lichen = Smoothstep(0.35f, 0.55f, Fbm2(u * 4, v * 6, 4, 4, 6, 804u)) * Clamp01(ridge);
            bark = MixColor(bark, Color{0.48f, 0.52f, 0.38f, 1}, lichen * 0.5f);
            c.At(x, y) = Floor(bark);
        }
    }
    return c;
}

Canvas PaintLeaves(int size) {
    // Overlapping leaves in many greens over a dark interior; each leaf is a pointed ellipse with
    // a midrib, lit a little from the top. Leaves wrap around the edges.
    Canvas c(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = float(x) / float(size), v = float(y) / float(size);
            const float n = Fbm2(u * 4, v * 4, 4, 4, 4, 901u);
            c.At(x, y) = MixColor(Color{0.05f, 0.1f, 0.04f, 1}, Color{0.1f, 0.18f, 0.06f, 1}, Clamp01(0.5f + n));
        }
    }
    Rng rng(0x6c6561766573ull);
    const int leaves = size * size / 180;
    for (int i = 0; i < leaves; ++i) {
        const float cx = rng.Unit() * float(size), cy = rng.Unit() * float(size);
        const float angle = rng.Range(0.0f, 2.0f * kPi);
        const float length = rng.Range(9.0f, 16.0f), width = length * rng.Range(0.32f, 0.45f);
        const float hue = rng.Unit(), light = rng.Range(0.7f, 1.15f);
        const Color base = MixColor(Color{0.2f, 0.42f, 0.1f, 1}, Color{0.42f, 0.6f, 0.16f, 1}, hue);
        const float ca = std::cos(angle), sa = std::sin(angle);
        const int r = int(length) + 2;
        for (int dy = -r; dy <= r; ++dy) {
            for (int dx = -r; dx <= r; ++dx) {
                const float px = float(dx) + 0.5f - (cx - std::floor(cx)), py = float(dy) + 0.5f - (cy - std::floor(cy));
                const float along = (px * ca + py * sa) / length;     // -1..1 along the leaf
                const float across = (-px * sa + py * ca) / width;
                if (std::fabs(along) >= 1) continue;
                const float halfWidth = std::sqrt(1.0f - along * along) * (1.0f - 0.25f * along);
                const float d = (std::fabs(across) - halfWidth) * width;   // texels, negative inside
                const float cover = Smoothstep(0.7f, -0.7f, d);
                if (cover <= 0) continue;
                const float rib = Smoothstep(0.6f, 0.0f, std::fabs(across) * width);
                const float shade = light * (0.8f + 0.25f * (-across)) * (1.0f - 0.15f * (along * 0.5f + 0.5f));
                Color leaf = ScaleRgb(base, shade);
                leaf = MixColor(leaf, ScaleRgb(base, 1.3f), rib * 0.4f);
                const int x = (int(std::floor(cx)) + dx + size) % size, y = (int(std::floor(cy)) + dy + size) % size;
                Color& dst = c.At(x, y);
                dst = MixColor(dst, leaf, cover);
            }
        }
    }
    for (Color& p : c.Pixels()) p = Floor(p);
    return c;
}

Canvas PaintBone(int size) {
    // Ivory with fine pores and faint longitudinal fibres.
    Canvas c(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = float(x) / float(size), v = float(y) / float(size);
            const float fibre = Fbm2(u * 16, v * 2, 4, 16, 2, 1001u);
            const float pores = Smoothstep(0.15f, 0.03f, CellNoise2(u * 30, v * 30, 30, 30, 1002u).f1);
            const float stain = Smoothstep(0.2f, 0.6f, Fbm2(u * 3, v * 3, 4, 3, 3, 1003u));
            Color bone = MixColor(Color{0.93f, 0.9f, 0.8f, 1}, Color{0.78f, 0.72f, 0.58f, 1}, stain * 0.6f);
            bone = ScaleRgb(bone, 0.92f + 0.1f * fibre - 0.15f * pores);
            c.At(x, y) = Floor(bone);
        }
    }
    return c;
}

}  // namespace velor::content
