// The fire animation sheet. 77 cells (11 across, 7 down, read row by row) hold one loop of a
// flickering fire; cell i shows the fire at loop phase i / 77, so the last cell leads back into
// the first. The flame is a shaped heat field distorted by noise that rises through it: the noise
// is periodic along the rise and in its evolution axis, and both advance by whole periods over the
// loop, which is what makes the loop seamless.
//
// The demo shows each cell scaled 6 x 5 with the green and blue removed, and only rows 28 to 142
// of a cell fall inside its viewport; the flames live there, and a few texels next to every cell
// border stay pure black (the colour key makes that transparent, and linear filtering at the cell
// edge then never picks up a neighbour's flames).
#include <cmath>

#include "tools/contentgen/noise.h"
#include "tools/contentgen/prng.h"
#include "tools/contentgen/textures.h"

namespace velor::content {
namespace {

constexpr int kFrames = kFireColumns * kFireRows;
constexpr float kBaseRow = 139.0f;   // texel row of the flame's foot within a cell
constexpr float kTopRow = 30.0f;     // highest row a flame may reach
constexpr int kRisePeriod = 4;       // noise cells along the rise before it repeats
constexpr int kEvolvePeriod = 3;     // noise cells along the evolution axis

// Heat at a point of the flame: u across (-1..1, 0 the middle), v up (0 foot .. 1 top), t the loop
// phase 0..1.
float Heat(float u, float v, float t) {
    // Every noise coordinate along the rise and the evolution moves by a whole number of periods
    // over the loop.
    const float rise = float(3 * kRisePeriod) * t;
    const float evolve = float(2 * kEvolvePeriod) * t;
    // Slow sway of the whole flame, stronger higher up.
    const float sway = 0.22f * GradientNoise3(0.5f, v * 1.0f - rise / 3.0f, evolve, 0, kRisePeriod, kEvolvePeriod, 11u);
    // Turbulence rising through the flame: the coarse one makes tongues and gaps between them,
    // the fine one (rising twice as fast) frays their edges.
    const float coarse = Fbm3(u * 4.6f, v * 3.0f - rise, evolve, 4, 0, kRisePeriod, kEvolvePeriod, 23u, 0.55f);
    const float fine = Fbm3(u * 7.0f + 3.1f, v * 6.0f - 2.0f * rise, evolve + 1.7f, 3, 0, kRisePeriod, kEvolvePeriod,
                            37u, 0.5f);
    // The core breathes: a slow pulse of its own, so the hot middle flickers too.
    const float pulse = GradientNoise3(u * 1.5f + 7.0f, v * 1.5f - rise / 3.0f, evolve * 2.0f, 0, kRisePeriod,
                                       kEvolvePeriod, 53u);
    const float uu = u + sway * v + 0.3f * coarse * v + 0.12f * fine * v;
    // Body: a narrow foot, narrowing upward with a ragged outline. Heat falls off from the middle
    // to the edges and from the foot upward without a flat plateau, so that red alone (which is
    // all the demo shows) carries the flame's shape.
    const float width = (0.46f * std::pow(std::max(0.0f, 1.0f - v), 0.7f) + 0.05f) * (1.0f + 0.3f * coarse);
    const float across = Clamp01(1.0f - std::fabs(uu) / width);
    const float body = across * (2.0f - across);
    // The pulse leaves the very foot alone, which stays white-hot in every frame.
    float h = body * (1.2f - 1.2f * v) * (1.0f + (0.3f * pulse - 0.12f) * Smoothstep(0.08f, 0.3f, v));
    // Tongues: the coarse noise lifts heat upward where it is high and cuts gaps where it is low.
    h += coarse * 1.25f * (0.15f + v) * Smoothstep(width * 1.8f + 0.1f, 0.0f, std::fabs(uu));
    h += 0.15f * fine * v;
    // A foot that curves up at the sides instead of sitting on a ruler line.
    const float foot = 0.1f * u * u + 0.02f * fine;
    h *= Smoothstep(foot - 0.03f, foot + 0.07f, v) * Smoothstep(1.05f, 0.8f, v);
    return Clamp01(h);
}

Color FireColor(float h) {
    // Black, deep red, orange, yellow, white. Red rises over the whole range of heat, so that the
    // demo's red-only display still shows the flame's inner structure.
    const float r = std::pow(Smoothstep(0.02f, 0.97f, h), 0.85f);
    const float g = Smoothstep(0.4f, 0.95f, h) * 0.95f;
    const float b = Smoothstep(0.8f, 1.0f, h) * 0.7f;
    return {r, g, b, 1};
}

// Small embers rising through the loop; each one wraps from top to bottom exactly once a loop.
float Embers(float u, float v, float t) {
    float sum = 0;
    for (int i = 0; i < 7; ++i) {
        const uint32_t h = Hash32(uint32_t(i) * 7919u + 5u);
        const float phase = HashUnit(h);
        const float x0 = (HashUnit(Hash32(h)) - 0.5f) * 0.9f;
        float y = std::fmod(t + phase, 1.0f);
        const float ex = x0 + 0.08f * std::sin((t + phase) * 2.0f * kPi * 2.0f + float(i));
        const float ey = 0.15f + 0.85f * y;
        const float du = (u - ex) * 93.0f * 0.5f, dv = (v - ey) * (kBaseRow - kTopRow);   // in texels
        const float fade = Smoothstep(0.0f, 0.15f, y) * Smoothstep(1.0f, 0.6f, y);
        sum += std::exp(-(du * du + dv * dv) / 1.2f) * fade;
    }
    return sum;
}

}  // namespace

Canvas PaintFireSheet() {
    Canvas sheet(1024, 1024, {0, 0, 0, 1});
    for (int frame = 0; frame < kFrames; ++frame) {
        const int cx = frame % kFireColumns, cy = frame / kFireColumns;
        const float t = float(frame) / float(kFrames);
        for (int y = 0; y < kFireCellHeight; ++y) {
            for (int x = 0; x < kFireCellWidth; ++x) {
                // Keep 3 texels of black along every cell border.
                if (x < 3 || y < 3 || x >= kFireCellWidth - 3 || y >= kFireCellHeight - 3) continue;
                // One sample per texel: the noise is smooth at this scale and the demo shows the
                // cell magnified and filtered anyway.
                const float u = (float(x) + 0.5f - float(kFireCellWidth) * 0.5f) / (float(kFireCellWidth) * 0.5f);
                const float v = (kBaseRow - (float(y) + 0.5f)) / (kBaseRow - kTopRow);
                Color c = FireColor(Heat(u, v, t)) + Color{1.0f, 0.55f, 0.15f, 0} * Embers(u, v, t);
                // Fade to black toward the border band so nothing ends in a hard line.
                const float edge = std::min(std::min(float(x - 3), float(kFireCellWidth - 4 - x)),
                                            std::min(float(y - 3), float(kFireCellHeight - 4 - y)));
                const float k = Smoothstep(0.0f, 5.0f, edge);
                c = Color{Clamp01(c.r) * k, Clamp01(c.g) * k, Clamp01(c.b) * k, 1};
                sheet.At(cx * kFireCellWidth + x, cy * kFireCellHeight + y) = c;
            }
        }
    }
    return sheet;
}

}  // namespace velor::content
