#include "tools/contentgen/mesh_builder.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace velor::content {

uint32_t MeshBuilder::AddVertex(const Vec3& p, const Vec3& n, const Vec2& uv) {
    mesh_.vertices.push_back({p, n, uv});
    return uint32_t(mesh_.vertices.size() - 1);
}

void MeshBuilder::AddTriangle(uint32_t a, uint32_t b, uint32_t c) { mesh_.faces.push_back({a, b, c, material_}); }

namespace {

// Grid coordinate i of n across [-h, h]; the ends come out exactly -h and h.
float GridCoord(float h, int i, int n) { return h * float(2 * i - n) / float(n); }

Vec2 ProjectUv(const Vec3& p, const Vec3& normal, const PlanarUv& uv) {
    const float ax = std::fabs(normal.x), ay = std::fabs(normal.y), az = std::fabs(normal.z);
    Vec2 t;
    if (ay >= ax && ay >= az) {
        t = {p.x, p.z};
    } else if (ax >= az) {
        t = {normal.x > 0 ? p.z : -p.z, -p.y};
    } else {
        t = {normal.z > 0 ? -p.x : p.x, -p.y};
    }
    return {t.x * uv.repeatsPerUnit + uv.offset.x, t.y * uv.repeatsPerUnit + uv.offset.y};
}

}  // namespace

void AddGridBox(MeshBuilder& b, const Mat4& xf, const Vec3& half, int nx, int ny, int nz, const PlanarUv& uv) {
    const float h[3] = {half.x, half.y, half.z};
    const int n[3] = {nx, ny, nz};
    const bool flip = xf.Mirrors();
    for (const BoxFace& f : kBoxFaces) {
        const int nu = n[f.uAxis], nv = n[f.vAxis];
        const float sign = float(f.sign);
        Vec3 localNormal;
        (&localNormal.x)[f.normalAxis] = sign;
        const Vec3 normal = xf.TransformNormal(localNormal);
        const uint32_t base = uint32_t(b.Target().vertices.size());
        for (int j = 0; j <= nv; ++j) {
            for (int i = 0; i <= nu; ++i) {
                Vec3 p;
                (&p.x)[f.normalAxis] = sign * h[f.normalAxis];
                (&p.x)[f.uAxis] = GridCoord(h[f.uAxis], i, nu);
                (&p.x)[f.vAxis] = GridCoord(h[f.vAxis], j, nv);
                const Vec3 world = xf.TransformPoint(p);
                b.AddVertex(world, normal, ProjectUv(world, normal, uv));
            }
        }
        const uint32_t row = uint32_t(nu + 1);
        for (int j = 0; j < nv; ++j) {
            for (int i = 0; i < nu; ++i) {
                const uint32_t p00 = base + uint32_t(j) * row + uint32_t(i);
                const uint32_t p10 = p00 + 1, p01 = p00 + row, p11 = p01 + 1;
                if (!flip) {
                    b.AddTriangle(p00, p10, p11);
                    b.AddTriangle(p00, p11, p01);
                } else {
                    b.AddTriangle(p00, p11, p10);
                    b.AddTriangle(p00, p01, p11);
                }
            }
        }
    }
}

void AddPrism(MeshBuilder& b, const Mat4& xf, float radius, float height, int sides, int rings, const PlanarUv& uv,
              float twist) {
    const bool flip = xf.Mirrors();
    auto corner = [&](int k, int ring) {
        const float a = twist + 2.0f * kPi * float(k % sides) / float(sides);
        const float y = height * float(ring) / float(rings);
        return Vec3{radius * std::cos(a), y, radius * std::sin(a)};
    };
    auto tri = [&](uint32_t p, uint32_t q, uint32_t r) {
        if (flip) b.AddTriangle(p, r, q); else b.AddTriangle(p, q, r);
    };
    // Sides: angles grow from +x toward +z (counter-clockwise seen from above), so seen from
    // outside corner k + 1 lies to the right of corner k.
    for (int k = 0; k < sides; ++k) {
        const Vec3 mid = (corner(k, 0) + corner(k + 1, 0)) * 0.5f;
        const Vec3 normal = xf.TransformNormal(Normalize(Vec3{mid.x, 0, mid.z}));
        const uint32_t base = uint32_t(b.Target().vertices.size());
        const float sideLength = Length(corner(k + 1, 0) - corner(k, 0));
        for (int r = 0; r <= rings; ++r) {
            for (int e = 0; e < 2; ++e) {
                const Vec3 p = xf.TransformPoint(corner(k + e, r));
                const float u = (float(k) + float(e)) * sideLength * uv.repeatsPerUnit + uv.offset.x;
                const float v = -p.y * uv.repeatsPerUnit + uv.offset.y;
                b.AddVertex(p, normal, {u, v});
            }
        }
        for (int r = 0; r < rings; ++r) {
            const uint32_t a0 = base + uint32_t(r) * 2, a1 = a0 + 1, b0 = a0 + 2, b1 = a0 + 3;
            // a0 = (k, r), a1 = (k+1, r), b0 = (k, r+1), b1 = (k+1, r+1).
            tri(a0, b0, b1);
            tri(a0, b1, a1);
        }
    }
    // Caps: a fan around a centre vertex, top facing +y, bottom facing -y.
    for (int cap = 0; cap < 2; ++cap) {
        const int ring = cap == 0 ? 0 : rings;
        const Vec3 normal = xf.TransformNormal(Vec3{0, cap == 0 ? -1.0f : 1.0f, 0});
        const Vec3 centre = xf.TransformPoint(Vec3{0, height * float(ring) / float(rings), 0});
        const uint32_t c = b.AddVertex(centre, normal, ProjectUv(centre, normal, uv));
        const uint32_t base = uint32_t(b.Target().vertices.size());
        for (int k = 0; k < sides; ++k) {
            const Vec3 p = xf.TransformPoint(corner(k, ring));
            b.AddVertex(p, normal, ProjectUv(p, normal, uv));
        }
        for (int k = 0; k < sides; ++k) {
            const uint32_t p = base + uint32_t(k), q = base + uint32_t((k + 1) % sides);
            if (cap == 1) tri(c, q, p); else tri(c, p, q);
        }
    }
}

void AddUvSphere(MeshBuilder& b, const Mat4& xf, float radius, int slices, int stacks, float repeatU, float repeatV,
                 bool inward, const std::function<float(const Vec3&)>& radiusScale) {
    Mesh& m = b.Target();
    const size_t firstVertex = m.vertices.size();
    const size_t firstFace = m.faces.size();
    const uint32_t base = uint32_t(firstVertex);
    const uint32_t row = uint32_t(slices + 1);
    // Ring 0 is the top pole. Every position is computed from (column mod slices, ring) only, so the
    // seam column and the pole points repeat exactly.
    for (int r = 0; r <= stacks; ++r) {
        const float theta = kPi * float(r) / float(stacks);
        const float sinT = (r == 0 || r == stacks) ? 0.0f : std::sin(theta);
        const float cosT = r == 0 ? 1.0f : (r == stacks ? -1.0f : std::cos(theta));
        for (int k = 0; k <= slices; ++k) {
            const int kk = k % slices;
            const float a = 2.0f * kPi * float(kk) / float(slices);
            const Vec3 dir{sinT * std::cos(a), cosT, sinT * std::sin(a)};
            const float rad = radius * (radiusScale ? radiusScale(dir) : 1.0f);
            const Vec3 p = xf.TransformPoint(dir * rad);
            Vec3 n = xf.TransformNormal(dir);
            if (inward) n = -n;
            b.AddVertex(p, n, {repeatU * float(k) / float(slices), repeatV * float(r) / float(stacks)});
        }
    }
    // Angles grow from +x toward +z and rings run downwards; with a1 the next column and b0 the next
    // ring down, Cross(a1 - a0, b1 - a0) points outwards. Pole quads collapse to one triangle.
    const bool flip = xf.Mirrors() != inward;
    auto tri = [&](uint32_t p, uint32_t q, uint32_t s) {
        if (flip) b.AddTriangle(p, s, q); else b.AddTriangle(p, q, s);
    };
    for (int r = 0; r < stacks; ++r) {
        for (int k = 0; k < slices; ++k) {
            const uint32_t a0 = base + uint32_t(r) * row + uint32_t(k), a1 = a0 + 1;
            const uint32_t b0 = a0 + row, b1 = b0 + 1;
            if (r != 0) tri(a0, a1, b1);
            if (r + 1 != stacks) tri(a0, b1, b0);
        }
    }
    // Smoothed normals follow the winding, so they face the same side as the triangles.
    if (radiusScale) SmoothNormals(m, firstVertex, firstFace);
}

void AddTube(MeshBuilder& b, const std::vector<Vec3>& path, const std::vector<float>& radii, int slices, float repeatU,
             float repeatV) {
    Mesh& m = b.Target();
    const size_t firstVertex = m.vertices.size();
    const size_t firstFace = m.faces.size();
    const size_t n = path.size();
    // Rounded ends: two extra rings and a pole beyond each end, along the end tangents.
    std::vector<Vec3> centres;
    std::vector<float> rad;
    std::vector<Vec3> tangents;
    auto tangentAt = [&](size_t i) {
        const Vec3 d = path[std::min(i + 1, n - 1)] - path[i > 0 ? i - 1 : 0];
        return Normalize(d);
    };
    const Vec3 t0 = tangentAt(0), t1 = tangentAt(n - 1);
    const float capAngles[3] = {kPi / 2, kPi / 3, kPi / 6};   // pole, then two rings toward the body
    for (int c = 0; c < 3; ++c) {
        centres.push_back(path[0] - t0 * (radii[0] * std::sin(capAngles[c])));
        rad.push_back(c == 0 ? 0.0f : radii[0] * std::cos(capAngles[c]));
        tangents.push_back(t0);
    }
    for (size_t i = 0; i < n; ++i) {
        centres.push_back(path[i]);
        rad.push_back(radii[i]);
        tangents.push_back(tangentAt(i));
    }
    for (int c = 2; c >= 0; --c) {
        centres.push_back(path[n - 1] + t1 * (radii[n - 1] * std::sin(capAngles[c])));
        rad.push_back(c == 0 ? 0.0f : radii[n - 1] * std::cos(capAngles[c]));
        tangents.push_back(t1);
    }
    // Frames carried along the path by projection, so rings do not twist.
    Vec3 normal = std::fabs(t0.y) < 0.9f ? Normalize(Cross(t0, Vec3{0, 1, 0})) : Normalize(Cross(t0, Vec3{1, 0, 0}));
    const uint32_t base = uint32_t(firstVertex);
    const uint32_t row = uint32_t(slices + 1);
    float along = 0;
    for (size_t r = 0; r < centres.size(); ++r) {
        const Vec3 t = tangents[r];
        normal = Normalize(normal - t * Dot(normal, t));
        const Vec3 binormal = Cross(t, normal);
        if (r > 0) along += Length(centres[r] - centres[r - 1]);
        for (int k = 0; k <= slices; ++k) {
            const int kk = k % slices;
            const float a = 2.0f * kPi * float(kk) / float(slices);
            const Vec3 offset = (normal * std::cos(a) + binormal * std::sin(a)) * rad[r];
            b.AddVertex(centres[r] + offset, Normalize(offset), {repeatU * float(k) / float(slices), along * repeatV});
        }
    }
    // Orientation: pick the winding from the first body quad so that faces point outwards.
    const Vec3 p0 = m.vertices[base + 3 * row].position, p1 = m.vertices[base + 3 * row + 1].position;
    const Vec3 q0 = m.vertices[base + 4 * row].position;
    const bool outward = Dot(Cross(q0 - p0, p1 - p0), p0 - centres[3]) > 0;
    auto tri = [&](uint32_t p, uint32_t q, uint32_t s) {
        if (outward) b.AddTriangle(p, q, s); else b.AddTriangle(p, s, q);
    };
    const size_t rings = centres.size();
    for (size_t r = 0; r + 1 < rings; ++r) {
        for (int k = 0; k < slices; ++k) {
            const uint32_t a0 = base + uint32_t(r) * row + uint32_t(k), a1 = a0 + 1;
            const uint32_t b0 = a0 + row, b1 = b0 + 1;
            // (a0, b0, b1) and (a0, b1, a1) share the orientation of (p0, q0, p1) above; the half
            // that would collapse onto a pole is left out.
            if (r + 2 != rings) tri(a0, b0, b1);
            if (r != 0) tri(a0, b1, a1);
        }
    }
    SmoothNormals(m, firstVertex, firstFace);
}

void SmoothNormals(Mesh& mesh, size_t firstVertex, size_t firstFace) {
    // Position key: exact float bits, so only truly coincident vertices share a normal.
    std::map<std::tuple<float, float, float>, Vec3> sums;
    auto key = [&](uint32_t v) {
        const Vec3& p = mesh.vertices[v].position;
        return std::make_tuple(p.x, p.y, p.z);
    };
    for (size_t f = firstFace; f < mesh.faces.size(); ++f) {
        const Face& face = mesh.faces[f];
        const Vec3& a = mesh.vertices[face.a].position;
        const Vec3 n = Cross(mesh.vertices[face.b].position - a, mesh.vertices[face.c].position - a);
        for (uint32_t v : {face.a, face.b, face.c}) sums[key(v)] += n;
    }
    for (size_t v = firstVertex; v < mesh.vertices.size(); ++v) {
        auto it = sums.find(key(uint32_t(v)));
        if (it != sums.end()) mesh.vertices[v].normal = Normalize(it->second);
    }
}

}  // namespace velor::content
