#pragma once
// A small software rasteriser for looking at the generated meshes from the demo's own cameras:
// Direct3D's left-handed look-at and perspective, clockwise front faces, near-plane clipping,
// a depth buffer, textures sampled bilinearly with wrap-around, and additive points for clouds.
// It is a check on sizes, placement, winding and texture mapping, not a copy of the demo's shading.

#include <map>
#include <string>

#include "engine/image/image.h"
#include "tools/contentgen/canvas.h"
#include "tools/contentgen/mesh_types.h"

namespace velor::content {

enum class PreviewCull { None, Clockwise, CounterClockwise };   // which screen winding is removed

struct PreviewDraw {
    Mat4 world;
    PreviewCull cull = PreviewCull::CounterClockwise;   // Direct3D's default
    bool lit = true;            // headlight Lambert plus ambient; false: texture (or white) as is
    bool additive = false;      // add onto the picture without writing depth
    float opacity = 1.0f;       // scales an additive draw
    bool textured = true;
};

class PreviewImage {
public:
    PreviewImage(int width, int height, const Vec3& eye, const Vec3& at, const Vec3& up, float fovYDegrees,
                 float aspect);

    void DrawMesh(const Mesh& mesh, const PreviewDraw& how, const std::map<std::string, Image>& textures);
    // A point sprite of the given pixel radius, added onto the picture, depth-tested: the sprite
    // image (or a soft disc without one) times color, times color's alpha.
    void DrawGlowPoint(const Vec3& world, float radiusPixels, const Color& color, const Image* sprite = nullptr);
    Canvas& Picture() { return color_; }

private:
    struct ClipVertex {
        Vec3 view;     // view-space position
        Vec3 normal;   // view space
        Vec2 uv;
    };
    void DrawTriangle(const ClipVertex* v, const Material& m, const Image* tex, const PreviewDraw& how);

    int width_, height_;
    Mat4 view_;
    float xScale_, yScale_;
    Canvas color_;
    std::vector<float> depth_;
};

}  // namespace velor::content
