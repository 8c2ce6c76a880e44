// velor-content-preview: renders the generated meshes from the cameras the demo uses, with the
// generated textures, into PNG files - a quick way to see that sizes, placements, windings and
// texture mappings work where the scenes put them.
//
//   velor-content-preview DIR
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <vector>

#include "engine/image/image_decode.h"
#include "tools/common/path_arguments.h"
#include "tools/contentgen/content_catalog.h"
#include "tools/contentgen/image_files.h"
#include "tools/contentgen/meshes.h"
#include "tools/contentgen/preview_raster.h"
#include "tools/contentgen/skeleton_pose.h"

namespace {

using namespace velor;
using namespace velor::content;

constexpr int kWidth = 640, kHeight = 400;   // the scenes' 1.6 aspect ratio

bool Save(const std::filesystem::path& path, Canvas& c) {
    for (Color& p : c.Pixels()) p = {Clamp01(p.r), Clamp01(p.g), Clamp01(p.b), 1};
    const Blob png = EncodePngFile(c, 3, false);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(png.bytes.data()), std::streamsize(png.bytes.size()));
    std::printf("  %s\n", path.string().c_str());
    return bool(out);
}

const Mesh& Only(const XFile& f) { return f.meshes.front(); }

Mat4 World(const Vec3& position, const Vec3& rotation) {
    // DrawObject's composition: RX * RY * RZ * T (scale 1).
    return Mat4::RotationX(rotation.x) * Mat4::RotationY(rotation.y) * Mat4::RotationZ(rotation.z) *
           Mat4::Translation(position);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<const char*> paths;
    const auto exit = velor::tools::ParsePathArguments(
        "velor-content-preview",
        "usage: velor-content-preview DIR\n"
        "Renders the generated meshes with the generated textures from the demo's cameras into PNG\n"
        "files under DIR.\n",
        argc, argv, 1, 1, &paths);
    if (exit) return *exit;
    const std::filesystem::path dir(paths[0]);
    std::filesystem::create_directories(dir);

    // Textures exactly as the demo will load them.
    const ContentSet set = GenerateContent(2);
    if (!set.error.empty()) {
        std::fprintf(stderr, "velor-content-preview: %s\n", set.error.c_str());
        return 1;
    }
    std::map<std::string, Image> textures;
    for (const GeneratedFile& f : set.files) {
        if (!IsImagePath(f.path)) continue;
        auto img = LoadImageFromMemory(f.blob.bytes.data(), f.blob.bytes.size(), f.path);
        if (img) textures[f.path] = img->Top();
    }

    const XFile caster = MakeCasterMesh(), sphere = MakeSphereMesh(), shell = MakeGlowShellMesh();
    // Shadow scene: the three legs of the camera flight, looking at the origin.
    const struct {
        const char* name;
        Vec3 eye;
    } shadowViews[] = {{"shadow_leg0_start.png", {15, 0, -22}},  {"shadow_leg0_end.png", {-11.5f, 0, -17}},
                       {"shadow_leg1_near.png", {3.06f, -3.05f, -3.45f}}, {"shadow_leg1_far.png", {14, -3.05f, 6.4f}},
                       {"shadow_leg2.png", {9, -2.2f, -14}}};
    for (const auto& view : shadowViews) {
        PreviewImage img(kWidth, kHeight, view.eye, {0, 0, 0}, {0, 1, 0}, 45, 1.6f);
        img.DrawMesh(Only(caster), {Mat4::Identity()}, textures);
        PreviewDraw orb{Mat4::Identity()};
        orb.additive = true;
        orb.opacity = 0.5f;
        img.DrawMesh(Only(sphere), orb, textures);
        PreviewDraw glow{Mat4::Identity()};
        glow.additive = true;
        glow.lit = false;
        glow.opacity = 0.6f;
        std::map<std::string, Image> overrideTex = {{Only(shell).materials[0].texture, textures.at("textures/light1.png")}};
        img.DrawMesh(Only(shell), glow, overrideTex);
        Save(dir / view.name, img.Picture());
    }

    // Tunnel: camera near the origin looking toward (5, 0, 3), tube turned about y.
    const XFile tunnel = MakeTunnelMesh();
    for (int k = 0; k < 3; ++k) {
        const float angle = 0.9f * float(k);
        PreviewImage img(kWidth, kHeight, {0.3f, 0, -1}, {5, 0, 3}, {0, 1, 0}, 90, 1.6f);
        PreviewDraw how{World({0, 0, 0}, {0, angle, 0})};
        how.cull = PreviewCull::None;
        img.DrawMesh(Only(tunnel), how, textures);
        Save(dir / ("tunnel_" + std::to_string(k) + ".png"), img.Picture());
    }

    // Forest: sky box (clockwise faces culled, unlit), seven trees, from the dolly's two ends.
    const XFile sky = MakeSkyboxMesh(), tree = MakeTreeMesh(), skeleton = MakeSkeletonFile();
    const Vec3 treeAt[] = {{-2, 0, 5}, {3, -0.2f, 0.7f}, {1, -0.2f, -3}, {2, -0.2f, 4}, {-3, -0.2f, -1}, {-4, -0.2f, -4},
                           {4, -0.2f, 4}};
    const std::vector<Vec3> pose = PoseSkinnedMesh(skeleton, 3.0f);
    const Image& flare = textures.at("textures/Flare1.jpg");
    const struct {
        const char* name;
        Vec3 eye;
        bool followers;
    } forestViews[] = {{"forest_start.png", {5, 0, -1}, false}, {"forest_end.png", {1.5f, 0.3f, -1}, true}};
    for (const auto& view : forestViews) {
        PreviewImage img(kWidth, kHeight, view.eye, {2, 0, 3}, {0, 1, 0}, 35, 1.6f);
        PreviewDraw box{Mat4::Identity()};
        box.cull = PreviewCull::Clockwise;
        box.lit = false;
        img.DrawMesh(Only(sky), box, textures);
        for (int t = 0; t < 7; ++t) {
            const bool turned = t >= 2 && t <= 4;
            PreviewDraw how{World(treeAt[t], {0, turned ? 1.7f : 0.0f, 0})};
            how.cull = PreviewCull::None;
            img.DrawMesh(Only(tree), how, textures);
        }
        if (view.followers) {
            // Where the followers end up: each figure vertex mirrored in x, z scaled by 0.9, offset.
            for (const Vec3& v : pose) {
                const Vec3 p{v.x / 1200.0f - v.x + 1.5f, v.y - v.y / 1200.0f + 0.1f, v.z - v.z / 10.0f + 1.5f};
                const float d = Length(p - view.eye);
                const float radius = 0.5f * float(kHeight) * 0.15f / std::sqrt(1 + d + d * d);
                img.DrawGlowPoint(p, radius, {0.5f, 0, 0, 0.4f}, &flare);
                img.DrawGlowPoint(p, radius, {0, 0.5f, 0, 0.2f}, &flare);
            }
        }
        Save(dir / view.name, img.Picture());
    }

    // The skeleton's dance: four moments of one cycle, seen from the front.
    {
        Canvas strip(kWidth, kHeight / 2 * 2);
        for (int k = 0; k < 4; ++k) {
            XFile posed = skeleton;
            const std::vector<Vec3> p = PoseSkinnedMesh(skeleton, 0.4f * float(k));
            Mesh body;
            for (const Frame& f : posed.frames[0].children)
                if (!f.meshes.empty()) body = f.meshes.front();
            for (size_t i = 0; i < body.vertices.size(); ++i) body.vertices[i].position = p[i];
            PreviewImage img(kWidth / 4, kHeight, {0, 0, -3.4f}, {0, 0, 0}, {0, 1, 0}, 35, 0.4f);
            PreviewDraw how{Mat4::Identity()};
            how.cull = PreviewCull::None;
            img.DrawMesh(body, how, textures);
            strip.Blit(img.Picture(), k * kWidth / 4, 0);
        }
        Save(dir / "skeleton_dance.png", strip);
    }

    // The warped cube cloud at its first frame (mode 0, phase 0) from (0, 0, -13).
    {
        const XFile cube = MakeCloudCubeMesh();
        PreviewImage img(kWidth, kHeight, {0, 0, -13}, {0, 0, -12}, {0, 1, 0}, 45, 1.6f);
        for (const Vertex& v : Only(cube).vertices) {
            float X = v.position.x, Y = v.position.y, Z = v.position.z;
            Z = Z + 3 * std::sin(Y) * std::cos(2 * Y);
            X = X + 6 * std::sin(Y);
            Y = Y - 6 * std::cos(X) * std::sin(2 * X);
            for (int layer = 0; layer < 2; ++layer) {
                const float k = layer == 0 ? 5.0f : 4.8f;
                const Vec3 p{X + k * v.normal.x, k * v.normal.y - Y, Z + k * v.normal.z};
                const float d = Length(p - Vec3{0, 0, -13});
                const float size = float(kHeight) * 2.0f / std::sqrt(1 + d + d * d) * 0.5f;
                const Color c = layer == 0 ? Color{0.1f, 0.1f, 0.5f, 0.3f} : Color{0.3f, 0.3f, 0.5f, 0.15f};
                img.DrawGlowPoint(p, size, c, &textures.at("textures/Flare1.jpg"));
            }
        }
        Save(dir / "ccube_cloud.png", img.Picture());
    }

    // The full-screen quad at 0.3 in front of the camera, under the mosaic pass's 4.6/3 and the
    // blur pass's 1.0 aspect; textured with the zombi image so its orientation shows.
    for (float aspect : {4.6f / 3.0f, 1.0f}) {
        PreviewImage img(kWidth, kHeight, {0, 0, 0}, {0, 0, 1}, {0, 1, 0}, 45, aspect);
        XFile quad = MakeScreenQuadMesh();
        quad.meshes[0].materials[0].texture = "textures/zombi.png";
        PreviewDraw how{Mat4::Translation({0, 0, 0.3f})};
        how.lit = false;
        img.DrawMesh(Only(quad), how, textures);
        Save(dir / (aspect > 1.2f ? "quad_mosaic.png" : "quad_blur.png"), img.Picture());
    }
    return 0;
}
