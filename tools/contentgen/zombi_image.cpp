// zombi.png: a ghoul's head, lit from the upper left, on pure black. The demo lays four copies at
// 30 to 40 percent opacity over the blurred tunnel, and its colour key turns the black background
// transparent. Over the tunnel at that opacity anything darker than the tunnel darkens it, so nothing
// outside the head may be dim: its green aura is a narrow bright rim that stops at exact black
// instead of fading through near-black, and the dark features inside the head (sockets, nostrils,
// mouth) are kept just above black so the key never punches holes through them. No dither, for the
// same reason. Shapes are signed distance fields (negative inside) combined per sample and
// supersampled 3 x 3.
#include <algorithm>
#include <cmath>

#include "tools/contentgen/noise.h"
#include "tools/contentgen/prng.h"
#include "tools/contentgen/textures.h"

namespace velor::content {
namespace {

struct P {
    float x, y;   // -1..1, y down
};

float Ellipse(P p, P c, float rx, float ry) {
    const float dx = (p.x - c.x) / rx, dy = (p.y - c.y) / ry;
    return (std::sqrt(dx * dx + dy * dy) - 1.0f) * std::min(rx, ry);
}

float Segment(P p, P a, P b) {
    const float abx = b.x - a.x, aby = b.y - a.y;
    const float t = std::clamp(((p.x - a.x) * abx + (p.y - a.y) * aby) / (abx * abx + aby * aby), 0.0f, 1.0f);
    const float dx = p.x - (a.x + abx * t), dy = p.y - (a.y + aby * t);
    return std::sqrt(dx * dx + dy * dy);
}

float SmoothUnion(float a, float b, float k) {
    const float h = std::clamp(0.5f + 0.5f * (b - a) / k, 0.0f, 1.0f);
    return Mix(b, a, h) - k * h * (1.0f - h);
}

constexpr float kAuraReach = 0.11f;          // where the rim would fade to zero, outside the outline
constexpr float kAuraCut = 0.3f;             // rim level below which it is cut to black
constexpr float kDarkestInside = 22.0f / 255.0f;   // floor for the head's own darkest features

// Coverage of a shape with distance d, softened over about one texel (px = texel size).
float Cover(float d, float px) { return Smoothstep(px, -px, d); }

float HeadDistance(P p) {
    const float cranium = Ellipse(p, {0, -0.14f}, 0.6f, 0.64f);
    const float jaw = Ellipse(p, {0.02f, 0.33f}, 0.44f, 0.4f);
    const float cheekL = Ellipse(p, {-0.34f, 0.16f}, 0.2f, 0.24f);
    const float cheekR = Ellipse(p, {0.36f, 0.12f}, 0.18f, 0.24f);
    float d = SmoothUnion(cranium, jaw, 0.18f);
    d = SmoothUnion(d, std::min(cheekL, cheekR), 0.08f);
    // A lumpy, uneven outline.
    d += 0.025f * GradientNoise2(p.x * 5.0f + 10.0f, p.y * 5.0f + 10.0f, 0, 0, 41u);
    return d;
}

// Lambert shading of the head's pseudo-height, which rises away from the outline; smooth, so it
// is evaluated once per texel rather than per sample.
float HeadLight(P p) {
    auto height = [&](P q) { return Smoothstep(0.0f, 0.4f, -HeadDistance(q)); };
    const float e = 0.01f;
    const float hx = (height({p.x + e, p.y}) - height({p.x - e, p.y})) / (2 * e);
    const float hy = (height({p.x, p.y + e}) - height({p.x, p.y - e})) / (2 * e);
    const float nz = 0.35f;
    const float len = std::sqrt(hx * hx + hy * hy + nz * nz);
    return std::max(0.0f, (-hx * -0.45f + -hy * -0.55f + nz * 0.7f) / len);
}

// Slowly varying skin terms, evaluated once per texel.
struct SkinField {
    float light = 0;
    float mottle = 0;
    float bruise = 0;
};

Color Sample(P p, float px, const SkinField& field) {
    const float head = HeadDistance(p);
    Color out{0, 0, 0, 1};

    // Aura: a bright green rim that stops at exact black where it would turn dim (see the top).
    if (head > 0) {
        const float t = std::max(0.0f, 1.0f - head / kAuraReach);
        const float g = t * t * 0.85f;
        out = g >= kAuraCut ? Color{0.3f, 0.85f, 0.35f, 1} * g : Color{0, 0, 0, 0};
        out.a = 1;
    }
    const float inside = Cover(head, px);
    if (inside <= 0) return out;

    // Skin: mottled grey-green with bruised patches.
    const float mottle = field.mottle, bruise = field.bruise, light = field.light;
    Color skin = MixColor(Color{0.52f, 0.64f, 0.44f, 1}, Color{0.36f, 0.47f, 0.33f, 1}, Clamp01(0.5f + mottle));
    skin = MixColor(skin, Color{0.47f, 0.36f, 0.47f, 1}, bruise * 0.6f);

    skin = ScaleRgb(skin, 0.35f + 0.85f * light);

    // Sunken eye sockets and the brow's shadow.
    const P eyeL{-0.25f, -0.06f}, eyeR{0.27f, -0.04f};
    const float socketL = Ellipse(p, eyeL, 0.17f, 0.125f), socketR = Ellipse(p, eyeR, 0.16f, 0.13f);
    const float sunken = std::max(Smoothstep(0.09f, -0.05f, socketL), Smoothstep(0.09f, -0.05f, socketR));
    skin = MixColor(skin, Color{0.08f, 0.06f, 0.07f, 1}, sunken * 0.92f);
    const float brow = Smoothstep(0.08f, 0.0f, std::fabs(p.y + 0.2f + 0.06f * std::cos(p.x * 6.0f))) *
                       Smoothstep(0.55f, 0.2f, std::fabs(p.x));
    skin = ScaleRgb(skin, 1.0f - 0.25f * brow);

    // Left eye: a glowing ember; right eye: blind and milky.
    const float irisL = Ellipse(p, {eyeL.x + 0.01f, eyeL.y + 0.01f}, 0.055f, 0.05f);
    const float glow = std::exp(-std::max(0.0f, irisL + 0.05f) * 18.0f);
    skin = skin + Color{1.0f, 0.35f, 0.05f, 0} * (glow * 0.9f);
    skin = MixColor(skin, Color{1.0f, 0.85f, 0.4f, 1}, Cover(irisL + 0.025f, px));
    const float milk = Ellipse(p, {eyeR.x, eyeR.y + 0.01f}, 0.085f, 0.065f);
    skin = MixColor(skin, Color{0.8f, 0.84f, 0.74f, 1}, Cover(milk, px) * 0.95f);
    skin = MixColor(skin, Color{0.45f, 0.47f, 0.42f, 1}, Cover(Ellipse(p, {eyeR.x + 0.01f, eyeR.y + 0.015f}, 0.022f, 0.022f), px));

    // Nose: two dark slits under a shadowed bridge.
    for (float s : {-1.0f, 1.0f}) {
        const float nostril = Ellipse(p, {0.01f + s * 0.05f, 0.21f}, 0.03f, 0.045f);
        skin = MixColor(skin, Color{0.07f, 0.04f, 0.04f, 1}, Cover(nostril, px));
    }
    skin = ScaleRgb(skin, 1.0f - 0.2f * Smoothstep(0.05f, 0.0f, std::fabs(p.x - 0.05f)) *
                                 Smoothstep(0.0f, 0.05f, p.y) * Smoothstep(0.22f, 0.1f, p.y));

    // Mouth: a crooked grin with uneven teeth and a gap.
    const float mouthTop = 0.4f - 0.05f * std::cos(p.x * 4.0f) + 0.015f * std::sin(p.x * 23.0f);
    const float mouthBottom = 0.5f + 0.06f * std::cos(p.x * 3.0f);
    const float halfWidth = 0.3f;
    if (std::fabs(p.x) < halfWidth + 0.02f) {
        const float across = Smoothstep(halfWidth + 0.01f, halfWidth - 0.02f, std::fabs(p.x));
        const float open = Smoothstep(-px, px, p.y - mouthTop) * Smoothstep(-px, px, mouthBottom - p.y) * across;
        Color mouth{0.14f, 0.03f, 0.04f, 1};
        // Teeth hang from the upper lip and rise from the lower one.
        const float tooth = std::floor((p.x + halfWidth) / 0.075f);
        const float local = (p.x + halfWidth) / 0.075f - tooth;
        const uint32_t id = uint32_t(int(tooth) + 20);
        const bool missing = id == 23 || id == 26;
        const float upperLength = 0.04f + 0.035f * HashUnit(Hash32(id * 131u));
        const float lowerLength = 0.03f + 0.03f * HashUnit(Hash32(id * 733u));
        const float toothShape = Smoothstep(0.08f, 0.16f, local) * Smoothstep(0.92f, 0.84f, local);
        const float upper = missing ? 0.0f : toothShape * Smoothstep(px, -px, p.y - mouthTop - upperLength);
        const float lower = toothShape * Smoothstep(px, -px, mouthBottom - lowerLength - p.y);
        const Color enamel = MixColor(Color{0.88f, 0.83f, 0.62f, 1}, Color{0.62f, 0.55f, 0.35f, 1}, local);
        mouth = MixColor(mouth, enamel, std::max(upper, lower));
        skin = MixColor(skin, mouth, open);
        // Dark lip line around the opening.
        const float lip = std::min(std::fabs(p.y - mouthTop), std::fabs(p.y - mouthBottom));
        skin = ScaleRgb(skin, 1.0f - 0.5f * Cover(lip - 0.008f, px) * across);
    }

    // Stitched scar across the forehead.
    const P s0{-0.42f, -0.4f}, s1{0.3f, -0.52f};
    const float scar = Segment(p, s0, s1);
    skin = MixColor(skin, Color{0.3f, 0.1f, 0.1f, 1}, Cover(scar - 0.01f, px));
    for (int i = 1; i < 12; ++i) {
        const float t = float(i) / 12.0f;
        const P c{Mix(s0.x, s1.x, t), Mix(s0.y, s1.y, t)};
        const float dx = s1.x - s0.x, dy = s1.y - s0.y;
        const float l = std::sqrt(dx * dx + dy * dy);
        const P a{c.x - dy / l * 0.04f, c.y + dx / l * 0.04f}, b{c.x + dy / l * 0.04f, c.y - dx / l * 0.04f};
        skin = MixColor(skin, Color{0.12f, 0.1f, 0.08f, 1}, Cover(Segment(p, a, b) - 0.006f, px));
    }

    // Lank strands of hair hanging from the crown down the sides, each a curve of three pieces.
    for (int i = 0; i < 14; ++i) {
        const float side = i % 2 == 0 ? -1.0f : 1.0f;
        const float k = float(i / 2) / 6.0f;                    // 0 near the parting, 1 at the temple
        const P root{side * (0.08f + 0.3f * k), -0.76f + 0.1f * k * k};
        const P mid{side * (0.2f + 0.34f * k), -0.66f + 0.12f * k};
        const P tip{side * (0.3f + 0.3f * k + 0.03f * std::sin(float(i) * 1.7f)), -0.5f + 0.28f * k};
        const P bend{(mid.x + tip.x) * 0.5f + side * 0.02f, (mid.y + tip.y) * 0.5f};
        const float strand = std::min(std::min(Segment(p, root, mid), Segment(p, mid, bend)), Segment(p, bend, tip)) - 0.007f;
        skin = MixColor(skin, Color{0.1f, 0.11f, 0.08f, 1}, Cover(strand, px) * 0.9f);
    }

    return MixColor(out, Color{Clamp01(skin.r), Clamp01(skin.g), Clamp01(skin.b), 1}, inside);
}

}  // namespace

Canvas PaintZombi(int size) {
    Canvas c(size, size, {0, 0, 0, 1});
    const float texel = 2.0f / float(size);
    constexpr int kSub = 3;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            Color sum{0, 0, 0, 0};
            const P centre{(float(x) + 0.5f) * texel - 1.0f, (float(y) + 0.5f) * texel - 1.0f};
            SkinField field;
            if (HeadDistance(centre) < 0.05f) {
                field.light = HeadLight(centre);
                field.mottle = Fbm2(centre.x * 4.0f + 3.0f, centre.y * 4.0f + 7.0f, 5, 0, 0, 51u);
                field.bruise = Smoothstep(0.25f, 0.5f, Fbm2(centre.x * 2.2f + 9.0f, centre.y * 2.2f, 3, 0, 0, 52u));
            }
            for (int sy = 0; sy < kSub; ++sy) {
                for (int sx = 0; sx < kSub; ++sx) {
                    const P p{(float(x) + (float(sx) + 0.5f) / kSub) * texel - 1.0f,
                              (float(y) + (float(sy) + 0.5f) / kSub) * texel - 1.0f};
                    sum += Sample(p, texel * 0.75f, field);
                }
            }
            Color col = sum * (1.0f / float(kSub * kSub));
            col.a = 1;
            // Inside the head, dark features stay visible under the key; outside, the rim's
            // anti-aliased foot goes to black rather than to a dim, darkening fringe.
            const float brightest = std::max({col.r, col.g, col.b});
            if (brightest < kDarkestInside) {
                if (HeadDistance(centre) < 0.0f)
                    col = brightest > 0.0f ? ScaleRgb(col, kDarkestInside / brightest) : Color{kDarkestInside, kDarkestInside, kDarkestInside, 1};
                else
                    col = Color{0, 0, 0, 1};
            }
            c.At(x, y) = col;
        }
    }
    return c;
}

}  // namespace velor::content
