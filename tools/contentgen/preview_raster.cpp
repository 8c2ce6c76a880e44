#include "tools/contentgen/preview_raster.h"

#include <algorithm>
#include <cmath>

namespace velor::content {
namespace {

constexpr float kNear = 0.01f;

Color SampleImage(const Image& img, float u, float v) {
    const float x = u * float(img.width) - 0.5f, y = v * float(img.height) - 0.5f;
    const float fx = std::floor(x), fy = std::floor(y);
    const float tx = x - fx, ty = y - fy;
    auto wrap = [](int i, uint32_t n) { int m = i % int(n); return uint32_t(m < 0 ? m + int(n) : m); };
    auto texel = [&](int xi, int yi) {
        const uint32_t p = img.At(wrap(xi, img.width), wrap(yi, img.height));
        return Color{float(RedOf(p)) / 255.0f, float(GreenOf(p)) / 255.0f, float(BlueOf(p)) / 255.0f,
                     float(AlphaOf(p)) / 255.0f};
    };
    const int ix = int(fx), iy = int(fy);
    return MixColor(MixColor(texel(ix, iy), texel(ix + 1, iy), tx), MixColor(texel(ix, iy + 1), texel(ix + 1, iy + 1), tx),
                    ty);
}

}  // namespace

PreviewImage::PreviewImage(int width, int height, const Vec3& eye, const Vec3& at, const Vec3& up, float fovYDegrees,
                           float aspect)
    : width_(width), height_(height), color_(width, height, {0, 0, 0, 1}), depth_(size_t(width) * size_t(height), 1e30f) {
    // D3DXMatrixLookAtLH.
    const Vec3 z = Normalize(at - eye), x = Normalize(Cross(up, z)), y = Cross(z, x);
    view_ = Mat4::FromBasis({x.x, y.x, z.x}, {x.y, y.y, z.y}, {x.z, y.z, z.z}, {-Dot(x, eye), -Dot(y, eye), -Dot(z, eye)});
    yScale_ = 1.0f / std::tan(fovYDegrees * kPi / 360.0f);
    xScale_ = yScale_ / aspect;
}

void PreviewImage::DrawMesh(const Mesh& mesh, const PreviewDraw& how, const std::map<std::string, Image>& textures) {
    const Mat4 wv = how.world * view_;
    for (const Face& f : mesh.faces) {
        ClipVertex v[3];
        const uint32_t idx[3] = {f.a, f.b, f.c};
        for (int k = 0; k < 3; ++k) {
            const Vertex& src = mesh.vertices[idx[k]];
            v[k] = {wv.TransformPoint(src.position), wv.TransformNormal(src.normal), src.uv};
        }
        const Material& m = mesh.materials[f.material];
        const Image* tex = nullptr;
        if (how.textured && !m.texture.empty()) {
            auto it = textures.find(m.texture);
            if (it != textures.end()) tex = &it->second;
        }
        // Clip against the near plane (Sutherland-Hodgman), then fan the polygon.
        ClipVertex poly[4];
        int n = 0;
        for (int k = 0; k < 3; ++k) {
            const ClipVertex& a = v[k];
            const ClipVertex& b = v[(k + 1) % 3];
            const bool ina = a.view.z >= kNear, inb = b.view.z >= kNear;
            if (ina) poly[n++] = a;
            if (ina != inb) {
                const float t = (kNear - a.view.z) / (b.view.z - a.view.z);
                poly[n++] = {Lerp(a.view, b.view, t), Lerp(a.normal, b.normal, t),
                             {a.uv.x + (b.uv.x - a.uv.x) * t, a.uv.y + (b.uv.y - a.uv.y) * t}};
            }
        }
        for (int k = 1; k + 1 < n; ++k) {
            const ClipVertex tri[3] = {poly[0], poly[k], poly[k + 1]};
            DrawTriangle(tri, m, tex, how);
        }
    }
}

void PreviewImage::DrawTriangle(const ClipVertex* v, const Material& m, const Image* tex, const PreviewDraw& how) {
    float sx[3], sy[3], iw[3];
    for (int k = 0; k < 3; ++k) {
        iw[k] = 1.0f / v[k].view.z;
        sx[k] = (v[k].view.x * xScale_ * iw[k] * 0.5f + 0.5f) * float(width_);
        sy[k] = (0.5f - v[k].view.y * yScale_ * iw[k] * 0.5f) * float(height_);
    }
    // With y down the screen, a positive area is clockwise: Direct3D's front face.
    const float area = (sx[1] - sx[0]) * (sy[2] - sy[0]) - (sx[2] - sx[0]) * (sy[1] - sy[0]);
    if (area == 0) return;
    if (how.cull == PreviewCull::CounterClockwise && area < 0) return;
    if (how.cull == PreviewCull::Clockwise && area > 0) return;
    const int x0 = std::max(0, int(std::floor(std::min({sx[0], sx[1], sx[2]}))));
    const int x1 = std::min(width_ - 1, int(std::ceil(std::max({sx[0], sx[1], sx[2]}))));
    const int y0 = std::max(0, int(std::floor(std::min({sy[0], sy[1], sy[2]}))));
    const int y1 = std::min(height_ - 1, int(std::ceil(std::max({sy[0], sy[1], sy[2]}))));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const float px = float(x) + 0.5f, py = float(y) + 0.5f;
            float b[3];
            b[0] = ((sx[1] - px) * (sy[2] - py) - (sx[2] - px) * (sy[1] - py)) / area;
            b[1] = ((sx[2] - px) * (sy[0] - py) - (sx[0] - px) * (sy[2] - py)) / area;
            b[2] = 1.0f - b[0] - b[1];
            if (b[0] < 0 || b[1] < 0 || b[2] < 0) continue;
            const float w = b[0] * iw[0] + b[1] * iw[1] + b[2] * iw[2];
            const float z = 1.0f / w;
            float& d = depth_[size_t(y) * size_t(width_) + size_t(x)];
            if (z >= d) continue;
            float pb[3];
            for (int k = 0; k < 3; ++k) pb[k] = b[k] * iw[k] * z;
            const float u = pb[0] * v[0].uv.x + pb[1] * v[1].uv.x + pb[2] * v[2].uv.x;
            const float vv = pb[0] * v[0].uv.y + pb[1] * v[1].uv.y + pb[2] * v[2].uv.y;
            Color c{m.diffuse[0], m.diffuse[1], m.diffuse[2], 1};
            if (tex) c = c * SampleImage(*tex, u, vv);
            if (how.lit) {
                const Vec3 n = Normalize(v[0].normal * pb[0] + v[1].normal * pb[1] + v[2].normal * pb[2]);
                const Vec3 light = Normalize(Vec3{-0.4f, 0.6f, -0.7f});
                const float lambert = std::max(0.0f, Dot(n, light));
                c = ScaleRgb(c, 0.3f + 0.8f * lambert);
            }
            Color& dst = color_.At(x, y);
            if (how.additive) {
                dst = Color{dst.r + c.r * how.opacity, dst.g + c.g * how.opacity, dst.b + c.b * how.opacity, 1};
            } else {
                dst = {c.r, c.g, c.b, 1};
                d = z;
            }
        }
    }
}

void PreviewImage::DrawGlowPoint(const Vec3& world, float radiusPixels, const Color& color, const Image* sprite) {
    const Vec3 p = view_.TransformPoint(world);
    if (p.z < kNear) return;
    const float cx = (p.x * xScale_ / p.z * 0.5f + 0.5f) * float(width_);
    const float cy = (0.5f - p.y * yScale_ / p.z * 0.5f) * float(height_);
    const int r = int(std::ceil(radiusPixels));
    for (int y = int(cy) - r; y <= int(cy) + r; ++y) {
        for (int x = int(cx) - r; x <= int(cx) + r; ++x) {
            if (x < 0 || y < 0 || x >= width_ || y >= height_) continue;
            if (p.z >= depth_[size_t(y) * size_t(width_) + size_t(x)]) continue;
            const float r = std::max(radiusPixels, 0.5f);
            const float ox = (float(x) + 0.5f - cx) / r, oy = (float(y) + 0.5f - cy) / r;
            Color k;
            if (sprite) {
                if (std::fabs(ox) >= 1 || std::fabs(oy) >= 1) continue;
                const Color t = SampleImage(*sprite, ox * 0.5f + 0.5f, oy * 0.5f + 0.5f);
                k = ScaleRgb(t, t.a);   // source alpha, destination one
            } else {
                const float d2 = ox * ox + oy * oy;
                if (d2 >= 1) continue;
                const float f = (1 - d2) * (1 - d2);
                k = {f, f, f, 1};
            }
            Color& dst = color_.At(x, y);
            dst = Color{dst.r + color.r * color.a * k.r, dst.g + color.g * color.a * k.g, dst.b + color.b * color.a * k.b, 1};
        }
    }
}

}  // namespace velor::content
