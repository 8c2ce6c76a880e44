// The shadow passes on a real device: a slab with a block standing on it, lit by coloured point
// lights through "ShadowVolume.fx". Every visible floor point of a grid is checked against the
// colour it should have, by a ray test against the block, so acne, gaps or a light added more than
// once all show. The stencil is cleared once per frame and the volumes of the lights add up: a point
// in one light's shadow gets none of the lights drawn after it either, while the lights drawn before
// that light still reach it.
// The frames are written as PNG files to the test's working folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <string>

#include "demo/scene/scene_object.h"
#include "demo/shadows/shadow_volume_builder.h"
#include "demo/shadows/shadow_volume_scene.h"
#include "demo/shell/shell_state.h"
#include "demo/timeline/camera.h"
#include "engine/gfx/device_controls.h"
#include "engine/image/image_writer.h"
#include "engine/math/d3dx_math.h"
#include "tests/demo/shadows/shadow_test_meshes.h"
#include "tests/support/gl_test_device.h"

namespace velor::demo {
namespace {

constexpr Vector3 kFloorLo{-5, -0.5f, -5}, kFloorHi{5, 0, 5};
constexpr Vector3 kBlockLo{-0.5f, -0.05f, -0.5f}, kBlockHi{0.5f, 2, 0.5f};  // sunk a little into the floor
constexpr float kAmbient = 0.1f;
constexpr float kEdgeMargin = 0.08f;  // floor points this close to a shadow's edge are not judged
constexpr int kTolerance = 6;         // per channel, out of 255

const Vector4 kGreen{0.3f, 1.0f, 0.3f, 1.0f};
const Vector4 kBlue{0.0f, 0.0f, 1.0f, 1.0f};
const Vector4 kOrange{0.8f, 0.3f, 0.1f, 1.0f};

// Where segment p→q meets the box grown by `grow` (shrunk when negative).
bool SegmentHitsBox(Vector3 p, Vector3 q, Vector3 lo, Vector3 hi, float grow) {
    float t0 = 0, t1 = 1;
    const float from[3] = {p.x, p.y, p.z}, d[3] = {q.x - p.x, q.y - p.y, q.z - p.z};
    const float l[3] = {lo.x - grow, lo.y - grow, lo.z - grow}, h[3] = {hi.x + grow, hi.y + grow, hi.z + grow};
    for (int a = 0; a < 3; ++a) {
        if (std::fabs(d[a]) < 1e-9f) {
            if (from[a] < l[a] || from[a] > h[a]) return false;
            continue;
        }
        float ta = (l[a] - from[a]) / d[a], tb = (h[a] - from[a]) / d[a];
        if (ta > tb) std::swap(ta, tb);
        t0 = std::max(t0, ta);
        t1 = std::min(t1, tb);
        if (t0 > t1) return false;
    }
    return true;
}

// Lit, shadowed, or too close to the edge to say.
enum class Reach { Lit, Shadowed, Edge };
Reach LightReaches(Vector3 point, Vector3 light) {
    if (SegmentHitsBox(point, light, kBlockLo, kBlockHi, -kEdgeMargin)) return Reach::Shadowed;
    if (SegmentHitsBox(point, light, kBlockLo, kBlockHi, kEdgeMargin)) return Reach::Edge;
    return Reach::Lit;
}

// On the convex block a face is in a light's volume exactly when it is turned away from the light.
Reach FaceReach(Vector3 point, Vector3 normal, Vector3 light) {
    Vector3 l{light.x - point.x, light.y - point.y, light.z - point.z};
    Vec3Normalize(&l, &l);
    const float facing = normal.x * l.x + normal.y * l.y + normal.z * l.z;
    return facing > 0.05f ? Reach::Lit : facing < -0.05f ? Reach::Shadowed : Reach::Edge;
}

struct SceneLight {
    Vector3 position;
    Vector4 colour;
};

struct SceneCase {
    const char* name;
    Vector3 eye, target;
    std::vector<SceneLight> lights;
    bool dropVolume = false;  // the shadow slot left empty: lit as if nothing cast shadows
};

void PrintTo(const SceneCase& c, std::ostream* os) { *os << c.name; }

class ShadowScene : public ::testing::TestWithParam<SceneCase> {
protected:
    void SetUp() override {
        output_ = std::filesystem::current_path();
        std::filesystem::current_path(VELOR_RUN_DIR);  // "ShadowVolume.fx" is opened by name
        std::string error;
        test_ = velor::test::CreateTestDevice(&error);
        ASSERT_NE(test_.device, nullptr) << error;
        gShell.device = test_.device;
        ResetObjectTable();

        std::vector<test::SourceVertex> vertices;
        std::vector<uint32_t> indices;
        test::AddBox(vertices, indices, kFloorLo, kFloorHi);
        test::AddBox(vertices, indices, kBlockLo, kBlockHi);
        SceneObject& caster = Object(kCasterSlot);
        caster.mesh = test::MakeMesh(vertices, indices, test_.device.get());
        caster.materialCount = 1;
        Material white;
        white.diffuse = white.ambient = {1, 1, 1, 1};
        caster.materials = {white};
        std::shared_ptr<Texture> texture;
        ASSERT_EQ(test_.device->CreateTexture(4, 4, 1, 0, Format::A8R8G8B8, Pool::Managed, &texture), Result::Ok);
        LockedRect locked;
        texture->LockRect(0, &locked, nullptr, 0);
        for (int y = 0; y < 4; ++y) std::fill_n(reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.bits) + y * locked.pitch), 4, 0xFFFFFFFFu);
        texture->UnlockRect(0);
        caster.textures = {texture};

        SetUpShadowVolume();
        ASSERT_NE(gShadow.effect, nullptr) << "ShadowVolume.fx did not load";
        ASSERT_NE(Object(kShadowSlot).mesh, nullptr);
    }

    void TearDown() override {
        gShadow = ShadowState{};
        ResetObjectTable();
        gShell.device.reset();
        std::filesystem::current_path(output_);
    }

    // One frame of the passes, as window 2 draws it: straight into the cleared back buffer.
    std::vector<uint32_t> DrawFrame(const SceneCase& c) {
        gCamera.eye = c.eye;
        gCamera.target = c.target;
        gCamera.up = {0, 1, 0};
        ApplyCamera(45, 4, 3);
        gShadow.highestLightIndex = int32_t(c.lights.size()) - 1;
        for (size_t l = 0; l < c.lights.size(); ++l) {
            gShadow.lightPositions[l] = c.lights[l].position;
            gShadow.lightColours[l] = c.lights[l].colour;
        }
        if (c.dropVolume) Object(kShadowSlot).mesh.reset();
        Device& device = *test_.device;
        device.Clear(0, nullptr, Clear::Target | Clear::ZBuffer | Clear::Stencil, 0xFF000000u, 1.0f, 0);
        device.BeginScene();
        DrawShadowVolumeScene();
        device.EndScene();
        auto pixels = ReadBackBuffer(device);
        Image image(kBackBufferWidth, kBackBufferHeight);
        image.pixels = pixels;
        EXPECT_TRUE(WritePng((output_ / (std::string("shadow_scene_") + c.name + ".png")).string(), image).ok());
        return pixels;
    }

    // Pixel of a world point, false when it is off screen.
    static bool PixelOf(Vector3 point, int* x, int* y) {
        Matrix viewProjection;
        MatrixMultiply(&viewProjection, &gCamera.view, &gCamera.projection);
        Vector4 clip;
        Vec3Transform(&clip, &point, &viewProjection);
        if (clip.w <= 0.01f) return false;
        const float nx = clip.x / clip.w, ny = clip.y / clip.w;
        *x = int(std::floor((nx + 1) * 0.5f * kBackBufferWidth));
        *y = int(std::floor((1 - ny) * 0.5f * kBackBufferHeight));
        return *x >= 2 && *y >= 2 && *x < int(kBackBufferWidth) - 2 && *y < int(kBackBufferHeight) - 2;
    }

    // What a white surface point with normal n shows: ambient plus each light drawn before the first
    // light whose volume holds the point. `volumes` gets a bit per light whose volume holds it.
    // False when the reach of a light that matters cannot be judged there.
    static bool Expected(const SceneCase& c, Vector3 point, Vector3 n, bool onBlock, float rgb[3], uint32_t* volumes) {
        rgb[0] = rgb[1] = rgb[2] = kAmbient;
        bool inShadow = false;
        for (size_t i = 0; i < c.lights.size(); ++i) {
            const SceneLight& light = c.lights[i];
            const Reach reach = c.dropVolume ? Reach::Lit
                                : onBlock    ? FaceReach(point, n, light.position)
                                             : LightReaches(point, light.position);
            if (reach == Reach::Edge && !inShadow) return false;
            if (reach == Reach::Shadowed) *volumes |= 1u << i;
            inShadow = inShadow || reach == Reach::Shadowed;
            if (inShadow) continue;
            Vector3 l{light.position.x - point.x, light.position.y - point.y, light.position.z - point.z};
            Vec3Normalize(&l, &l);
            const float diffuse = std::max(0.0f, n.x * l.x + n.y * l.y + n.z * l.z);
            rgb[0] += light.colour.x * diffuse;
            rgb[1] += light.colour.y * diffuse;
            rgb[2] += light.colour.z * diffuse;
        }
        return true;
    }

    velor::test::TestDevice test_;
    std::filesystem::path output_;
};

TEST_P(ShadowScene, EveryVisibleSurfacePointShowsTheLightsThatReachIt) {
    const SceneCase& c = GetParam();
    const auto pixels = DrawFrame(c);

    struct Surface {
        const char* name;
        Vector3 normal;
        bool onBlock;                 // the convex block shadows only its own faces turned from a light
        Vector3 (*at)(float, float);  // a point on it for two parameters in -1..1
    };
    const Surface surfaces[] = {
        {"floor", {0, 1, 0}, false, [](float u, float v) { return Vector3{4.8f * u, 0, 4.8f * v}; }},
        {"block top", {0, 1, 0}, true, [](float u, float v) { return Vector3{0.45f * u, 2, 0.45f * v}; }},
        {"block front", {0, 0, -1}, true, [](float u, float v) { return Vector3{0.45f * u, 1 + 0.9f * v, -0.5f}; }},
    };
    int judged = 0, shadowed = 0, wrong = 0;
    int inFirstVolume = 0, inLastVolumeOnly = 0;
    for (const auto& s : surfaces) {
        for (int i = 0; i <= 80; ++i)
            for (int j = 0; j <= 80; ++j) {
                const Vector3 p = s.at(-1 + i / 40.0f, -1 + j / 40.0f);
                int x = 0, y = 0;
                if (!PixelOf(p, &x, &y)) continue;
                // Hidden behind the block, or turned away from the eye.
                if (!s.onBlock && SegmentHitsBox(c.eye, p, kBlockLo, kBlockHi, kEdgeMargin)) continue;
                const Vector3 toEye{c.eye.x - p.x, c.eye.y - p.y, c.eye.z - p.z};
                if (s.normal.x * toEye.x + s.normal.y * toEye.y + s.normal.z * toEye.z <= 0) continue;
                float rgb[3];
                uint32_t volumes = 0;
                if (!Expected(c, p, s.normal, s.onBlock, rgb, &volumes)) continue;
                ++judged;
                shadowed += volumes != 0;
                inFirstVolume += (volumes & 1u) != 0;
                inLastVolumeOnly += c.lights.size() > 1 && volumes == 1u << (c.lights.size() - 1);
                const uint32_t expected =
                    ColorArgb(255, uint32_t(std::min(rgb[0], 1.0f) * 255 + 0.5f), uint32_t(std::min(rgb[1], 1.0f) * 255 + 0.5f),
                              uint32_t(std::min(rgb[2], 1.0f) * 255 + 0.5f));
                const uint32_t actual = velor::test::PixelAt(pixels, x, y) | 0xFF000000u;
                if (velor::test::ColorDistance(actual, expected) > kTolerance) {
                    if (++wrong <= 8)
                        ADD_FAILURE() << s.name << " (" << p.x << ", " << p.y << ", " << p.z << ") at pixel " << x << ","
                                      << y << ": 0x" << std::hex << actual << ", expected 0x" << expected << std::dec;
                }
            }
    }
    EXPECT_EQ(wrong, 0) << "of " << judged << " points";
    EXPECT_GT(judged, 200);
    if (!c.dropVolume && !c.lights.empty()) {
        EXPECT_GT(shadowed, 20) << "the view shows some shadow";
    }
    if (!c.dropVolume && c.lights.size() > 1) {
        // Both sides of the accumulation are in view: the first light's shadow, dark for every
        // light, and a shadow of the last light alone, which the earlier lights still reach.
        EXPECT_GT(inFirstVolume, 20) << "points in the first light's volume";
        EXPECT_GT(inLastVolumeOnly, 20) << "points in the last light's volume only";
    }
    EXPECT_EQ(velor::test::PixelAt(pixels, 3, 3), 0xFF000000u) << "background stays black";

    // What the window draws next sees the states it had before, and the caster's world.
    struct StateAfter {
        RenderState state;
        uint32_t value;
    };
    const StateAfter after[] = {
        {RenderState::StencilEnable, 0},         {RenderState::TwoSidedStencilMode, 0},
        {RenderState::StencilWriteMask, 0xFFFFFFFFu},
        {RenderState::ColorWriteEnable, 0xF},    {RenderState::ZWriteEnable, 1},
        {RenderState::AlphaBlendEnable, 0},      {RenderState::CullMode, uint32_t(Cull::CCW)},
        {RenderState::ZEnable, 1},               {RenderState::ZFunc, uint32_t(Cmp::LessEqual)},
    };
    for (const auto& a : after) {
        uint32_t value = 0;
        test_.device->GetRenderState(a.state, &value);
        EXPECT_EQ(value, a.value) << "render state " << uint32_t(a.state);
    }
    Matrix world;
    test_.device->GetTransform(TransformState::World, &world);
    EXPECT_EQ(std::memcmp(&world, &Object(kCasterSlot).world, sizeof world), 0);
}

// Puts the process-wide state back however a test ends.
struct GlobalsRestored {
    std::filesystem::path folder = std::filesystem::current_path();
    ~GlobalsRestored() {
        gShadow = ShadowState{};
        ResetObjectTable();
        gShell.device.reset();
        std::filesystem::current_path(folder);
    }
};

TEST(ShadowSetUp, MissingCasterLeavesTheShadowSlotEmptyAndDrawsNothing) {
    std::string error;
    auto test = velor::test::CreateTestDevice(&error);
    ASSERT_NE(test.device, nullptr) << error;
    GlobalsRestored restore;  // before the device and its window go
    std::filesystem::current_path(VELOR_RUN_DIR);
    gShell.device = test.device;
    ResetObjectTable();
    SetUpShadowVolume();
    EXPECT_NE(gShadow.effect, nullptr);
    EXPECT_EQ(Object(kShadowSlot).mesh, nullptr);

    test.device->Clear(0, nullptr, Clear::Target | Clear::ZBuffer | Clear::Stencil, 0xFF000000u, 1.0f, 0);
    gShadow.highestLightIndex = 2;
    DrawShadowVolumeScene();
    const auto pixels = ReadBackBuffer(*test.device);
    EXPECT_TRUE(std::all_of(pixels.begin(), pixels.end(), [](uint32_t p) { return (p & 0xFFFFFFu) == 0; }));
}

const SceneCase kCases[] = {
    // Each light shadows the floor on the far side of the block. The green light's shadow stays dark
    // for the blue light too; the green light still reaches the blue light's shadow.
    {"two_lights", {0, 7, -9}, {0, 0, 0}, {{{-6, 6, 0}, kGreen}, {{6, 6, 0}, kBlue}}},
    // Three lights around the block as in window 2, two of the shadows overlapping: the first
    // light's shadow gets the ambient term only, the last light's shadow the first two lights.
    {"three_lights", {0, 8, -9}, {0, 0, 0},
     {{{-6, 4, -2}, kGreen}, {{-3, 6, 6}, kBlue}, {{7, 4, 1}, kOrange}}},
    // The eye stands in the green light's shadow, low behind the block, looking along the shadow.
    {"eye_in_volume", {1.5f, 0.5f, 0}, {6, 0, 0}, {{{-6, 6, 0}, kGreen}}},
    // A light low at the side and the eye opposite: long shadow, grazing light on the floor.
    {"low_light", {3, 4, -8}, {0, 0, 0}, {{{-7, 2.6f, 3}, kGreen}, {{5, 9, -1}, kBlue}}},
    {"no_lights", {0, 7, -9}, {0, 0, 0}, {}},
    {"no_volume", {0, 7, -9}, {0, 0, 0}, {{{-6, 6, 0}, kGreen}, {{6, 6, 0}, kBlue}}, true},
};

INSTANTIATE_TEST_SUITE_P(Cases, ShadowScene, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<SceneCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velor::demo
