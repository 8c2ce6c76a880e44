// Skies. The forest's box faces are painted by looking from the forest camera's position through
// each texel's point on the box, so the faces meet without seams and the horizon lies at eye level:
// an afternoon sky with the sun behind the camera (the forest's lights also come from behind it),
// cumulus clouds, haze, and a distant tree line along the horizon that hides where the box's grass
// floor meets its walls. The reflective orb's environment is a dusk sky in a cube map, darker, since
// the orb adds it onto the scene and brightens it up to five times in red.
#include <cmath>

#include "tools/contentgen/noise.h"
#include "tools/contentgen/prng.h"
#include "tools/contentgen/textures.h"

namespace velor::content {
namespace {

float Azimuth01(const Vec3& d) { return std::atan2(d.z, d.x) / (2.0f * kPi) + 0.5f; }

Color DaySky(const Vec3& dir, float texelAngle) {
    const Vec3 sun = Normalize(Vec3{0.35f, 0.45f, -0.82f});
    const float elev = dir.y;
    const float up = std::max(elev, 0.0f);
    Color sky = MixColor(Color{0.74f, 0.83f, 0.93f, 1}, Color{0.2f, 0.41f, 0.8f, 1}, std::pow(up, 0.55f));
    const float toSun = std::max(0.0f, Dot(dir, sun));
    sky = sky + Color{1.0f, 0.92f, 0.75f, 0} * (0.22f * std::pow(toSun, 6.0f) + 0.5f * std::pow(toSun, 200.0f));

    if (elev > 0.0f) {
        // Clouds on a flat layer above: project the view ray onto it.
        const float k = 1.0f / (elev + 0.06f);
        const float cx = dir.x * k * 0.45f, cz = dir.z * k * 0.45f;
        const float base = Fbm2(cx + 13.0f, cz + 7.0f, 6, 0, 0, 1101u, 0.55f);
        const float density = Smoothstep(0.02f, 0.45f, base + 0.08f) * Smoothstep(0.0f, 0.18f, elev);
        const float towardSun = Fbm2(cx + 13.0f + sun.x * 0.12f, cz + 7.0f + sun.z * 0.12f, 6, 0, 0, 1101u, 0.55f);
        const float shadow = Clamp01((towardSun - base) * 4.0f + 0.35f);
        const Color cloud = MixColor(Color{1.0f, 0.99f, 0.96f, 1}, Color{0.6f, 0.65f, 0.76f, 1}, shadow);
        sky = MixColor(sky, cloud, density * 0.95f);
    }
    // Haze thickens toward the horizon.
    sky = MixColor(sky, Color{0.8f, 0.85f, 0.9f, 1}, std::exp(-up * 18.0f) * 0.55f);

    // Distant tree line, a couple of degrees high, with rounded crowns; hazy and bluish with distance.
    const float elevAngle = std::asin(std::max(-1.0f, std::min(1.0f, elev)));
    if (elevAngle > 0.06f) return {Clamp01(sky.r), Clamp01(sky.g), Clamp01(sky.b), 1};
    const float az = Azimuth01(dir);
    const float rolling = Fbm2(az * 12.0f, 0.5f, 4, 12, 0, 1102u);
    // Crowns: rounded bumps of uneven width and height, from cellular noise along the horizon.
    const CellSample cell = CellNoise2(az * 160.0f, 0.5f, 160, 0, 1104u, 0.8f);
    const float crownSize = 0.6f + 0.8f * HashUnit(cell.cellHash);
    const float crowns = std::sqrt(std::max(0.0f, 1.0f - cell.f1 * cell.f1 * 1.6f)) * crownSize;
    const float treeTop = 0.02f + 0.016f * rolling + 0.007f * crowns + 0.002f * Fbm2(az * 900.0f, 0.5f, 2, 900, 0, 1105u);
    const float forest = Smoothstep(treeTop + texelAngle, treeTop - texelAngle, elevAngle);
    const float leafNoise = Fbm2(az * 400.0f, elevAngle * 300.0f, 3, 400, 0, 1103u);
    Color trees = MixColor(Color{0.12f, 0.2f, 0.11f, 1}, Color{0.5f, 0.6f, 0.64f, 1}, 0.45f);
    trees = ScaleRgb(trees, 0.9f + 0.2f * leafNoise);
    // Below the horizon the tree line gives way to meadow in the haze.
    const Color meadow = MixColor(Color{0.26f, 0.36f, 0.15f, 1}, Color{0.5f, 0.58f, 0.55f, 1}, 0.3f);
    trees = MixColor(trees, meadow, Smoothstep(-0.004f, -0.02f, elevAngle));
    sky = MixColor(sky, trees, forest);
    return {Clamp01(sky.r), Clamp01(sky.g), Clamp01(sky.b), 1};
}

Color DuskSky(const Vec3& dir) {
    const Vec3 sun = Normalize(Vec3{-0.6f, 0.05f, 0.8f});
    const float elev = dir.y;
    const float up = std::max(elev, 0.0f);
    Color sky = MixColor(Color{0.55f, 0.28f, 0.17f, 1}, Color{0.07f, 0.09f, 0.24f, 1}, std::pow(up, 0.4f));
    const float toSun = std::max(0.0f, Dot(dir, sun));
    sky = sky + Color{1.0f, 0.5f, 0.18f, 0} * (0.35f * std::pow(toSun, 5.0f) + 0.9f * std::pow(toSun, 300.0f));
    if (elev > 0.0f) {
        // Long streaks of cloud lit orange from below, dark against the upper sky.
        const float k = 1.0f / (elev + 0.08f);
        const float sx = dir.x * k * 0.5f, sz = dir.z * k * 0.5f;
        const float streak = Fbm2(sx * 0.6f + 3.0f, sz * 2.2f + 1.0f, 5, 0, 0, 1201u);
        const float density = Smoothstep(0.05f, 0.5f, streak) * Smoothstep(0.0f, 0.1f, elev) * Smoothstep(0.9f, 0.3f, elev);
        const Color lit = MixColor(Color{0.95f, 0.45f, 0.2f, 1}, Color{0.18f, 0.1f, 0.16f, 1}, Smoothstep(0.0f, 0.5f, elev));
        sky = MixColor(sky, lit, density * 0.8f);
        // A scatter of stars high up.
        const float starField = HashUnit(Hash3(int(dir.x * 300.0f), int(dir.y * 300.0f), int(dir.z * 300.0f), 1202u));
        sky = sky + Color{0.8f, 0.85f, 1.0f, 0} * (Smoothstep(0.9965f, 1.0f, starField) * Smoothstep(0.35f, 0.7f, elev));
    } else {
        // Dark land: noise on the ground plane, so it stays even straight down.
        const float below = -elev;
        const float k = 1.0f / (below + 0.05f);
        const float ground = Fbm2(dir.x * k * 2.0f + 5.0f, dir.z * k * 2.0f + 5.0f, 4, 0, 0, 1203u);
        Color land = Color{0.11f, 0.095f, 0.08f, 1} * (0.8f + 0.3f * ground);
        sky = MixColor(sky, land, Smoothstep(0.0f, 0.06f, below));
    }
    return {Clamp01(sky.r), Clamp01(sky.g), Clamp01(sky.b), 1};
}

}  // namespace

Canvas PaintSkyFace(sky::Face face, int width, int height) {
    Canvas c(width, height);
    // Angular size of one texel seen from the eye at the box's distance, for soft silhouettes.
    const float texelAngle = 2.0f * sky::kHalfWidth / float(width) / sky::kHalfWidth;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const float u = (float(x) + 0.5f) / float(width), v = (float(y) + 0.5f) / float(height);
            const Vec3 dir = Normalize(sky::FacePoint(face, u, v) - sky::kEye);
            c.At(x, y) = DaySky(dir, texelAngle);
        }
    }
    return c;
}

std::array<Canvas, 6> PaintEnvironmentCube(int size) {
    std::array<Canvas, 6> faces;
    for (int f = 0; f < 6; ++f) {
        faces[size_t(f)] = Canvas(size, size);
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const float s = 2.0f * (float(x) + 0.5f) / float(size) - 1.0f;
                const float t = 2.0f * (float(y) + 0.5f) / float(size) - 1.0f;
                // Direct3D's cube addressing, faces in the order +X, -X, +Y, -Y, +Z, -Z.
                Vec3 d;
                switch (f) {
                    case 0: d = {1, -t, -s}; break;
                    case 1: d = {-1, -t, s}; break;
                    case 2: d = {s, 1, t}; break;
                    case 3: d = {s, -1, -t}; break;
                    case 4: d = {s, -t, 1}; break;
                    default: d = {-s, -t, -1}; break;
                }
                faces[size_t(f)].At(x, y) = DuskSky(Normalize(d));
            }
        }
    }
    return faces;
}

}  // namespace velor::content
