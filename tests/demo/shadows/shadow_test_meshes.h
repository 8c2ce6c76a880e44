#pragma once
// Small source meshes for the shadow-volume tests, and a check that a volume closes once its
// vertices are moved the way the volume effect moves them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "demo/shadows/shadow_volume_builder.h"
#include "engine/math/d3dx_math.h"
#include "engine/mesh/mesh.h"

namespace velor::demo::test {

struct SourceVertex {  // D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1
    Vector3 position;
    Vector3 normal;
    float u = 0, v = 0;
};

inline std::shared_ptr<Mesh> MakeMesh(const std::vector<SourceVertex>& vertices, const std::vector<uint32_t>& indices,
                                      Device* device = nullptr) {
    const uint32_t options = vertices.size() > 0xFFFF ? MeshOption::Use32Bit | MeshOption::Managed : MeshOption::Managed;
    std::shared_ptr<Mesh> mesh;
    EXPECT_EQ(CreateMeshFVF(uint32_t(indices.size() / 3), uint32_t(vertices.size()), options,
                            Fvf::XYZ | Fvf::Normal | Fvf::Tex1, device, &mesh),
              Result::Ok);
    if (mesh == nullptr) return nullptr;
    void* data = nullptr;
    mesh->LockVertexBuffer(0, &data);
    std::memcpy(data, vertices.data(), vertices.size() * sizeof(SourceVertex));
    mesh->UnlockVertexBuffer();
    for (uint32_t i = 0; i < indices.size(); ++i) mesh->SetIndexAt(i, indices[i]);
    return mesh;
}

inline std::vector<SourceVertex> Points(const std::vector<Vector3>& positions) {
    std::vector<SourceVertex> out;
    for (const auto& p : positions) out.push_back({p, {0, 1, 0}});
    return out;
}

// Four corners, faces wound clockwise seen from outside (Direct3D's front), corners shared.
inline void AddTetrahedron(std::vector<SourceVertex>& vertices, std::vector<uint32_t>& indices, Vector3 at) {
    const uint32_t base = uint32_t(vertices.size());
    const Vector3 corners[4] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (const auto& c : corners) vertices.push_back({{at.x + c.x, at.y + c.y, at.z + c.z}, {0, 1, 0}});
    const uint32_t faces[4][3] = {{0, 2, 1}, {0, 1, 3}, {0, 3, 2}, {1, 2, 3}};
    for (const auto& f : faces)
        for (uint32_t i : f) indices.push_back(base + i);
}

// An axis-aligned box from lo to hi with four vertices of its own per side (flat normals, as split
// normals load from an X file), the copies of a corner moved apart by `jitter` on x.
inline void AddBox(std::vector<SourceVertex>& vertices, std::vector<uint32_t>& indices, Vector3 lo, Vector3 hi,
                   float jitter = 0.0f) {
    struct Side {
        Vector3 normal;
        Vector3 corners[4];  // clockwise seen from outside
    };
    const Side sides[6] = {
        {{0, 0, -1}, {{lo.x, lo.y, lo.z}, {lo.x, hi.y, lo.z}, {hi.x, hi.y, lo.z}, {hi.x, lo.y, lo.z}}},
        {{0, 0, 1}, {{hi.x, lo.y, hi.z}, {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z}, {lo.x, lo.y, hi.z}}},
        {{-1, 0, 0}, {{lo.x, lo.y, hi.z}, {lo.x, hi.y, hi.z}, {lo.x, hi.y, lo.z}, {lo.x, lo.y, lo.z}}},
        {{1, 0, 0}, {{hi.x, lo.y, lo.z}, {hi.x, hi.y, lo.z}, {hi.x, hi.y, hi.z}, {hi.x, lo.y, hi.z}}},
        {{0, 1, 0}, {{lo.x, hi.y, lo.z}, {lo.x, hi.y, hi.z}, {hi.x, hi.y, hi.z}, {hi.x, hi.y, lo.z}}},
        {{0, -1, 0}, {{lo.x, lo.y, hi.z}, {lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, lo.y, hi.z}}},
    };
    int side = 0;
    for (const auto& s : sides) {
        const uint32_t base = uint32_t(vertices.size());
        for (int c = 0; c < 4; ++c) {
            Vector3 p = s.corners[c];
            p.x += jitter * float(side % 3);
            vertices.push_back({p, s.normal, float(c & 1), float(c >> 1)});
        }
        for (uint32_t i : {0u, 1u, 2u, 0u, 2u, 3u}) indices.push_back(base + i);
        ++side;
    }
}

// The volume's content, read back whatever its index width.
struct VolumeData {
    std::vector<Vector3> positions;
    std::vector<Vector3> normals;
    std::vector<uint32_t> indices;
};

inline VolumeData ReadVolume(Mesh& volume) {
    VolumeData out;
    void* data = nullptr;
    volume.LockVertexBuffer(Lock::ReadOnly, &data);
    const auto* bytes = static_cast<const uint8_t*>(data);
    for (uint32_t v = 0; v < volume.GetNumVertices(); ++v) {
        Vector3 p, n;
        std::memcpy(&p, bytes + v * kShadowVertexBytes, 12);
        std::memcpy(&n, bytes + v * kShadowVertexBytes + 12, 12);
        out.positions.push_back(p);
        out.normals.push_back(n);
    }
    volume.UnlockVertexBuffer();
    for (uint32_t i = 0; i < volume.GetNumFaces() * 3; ++i) out.indices.push_back(volume.IndexAt(i));
    return out;
}

// Moves each vertex as the volume effect does for a light at `light` (object space): away from the
// light by `reach` when its face normal turns from the light, else left in place.
inline std::vector<Vector3> Extrude(const VolumeData& volume, Vector3 light, float reach = 49.9f) {
    std::vector<Vector3> out = volume.positions;
    for (size_t v = 0; v < out.size(); ++v) {
        const Vector3 p = volume.positions[v], n = volume.normals[v];
        Vector3 d{p.x - light.x, p.y - light.y, p.z - light.z};
        if (n.x * d.x + n.y * d.y + n.z * d.z >= 0.0f) {
            Vec3Normalize(&d, &d);
            out[v] = {p.x + d.x * reach, p.y + d.y * reach, p.z + d.z * reach};
        }
    }
    return out;
}

// Directed edges between distinct points whose reverse is missing (0 for a closed surface), with
// points compared exactly. `first` receives the first such edge's two vertices.
inline int UnpairedEdges(const std::vector<Vector3>& positions, const std::vector<uint32_t>& indices,
                         std::pair<uint32_t, uint32_t>* first = nullptr) {
    auto key = [&](uint32_t v) {
        const Vector3& p = positions[v];
        return std::tuple<float, float, float>(p.x, p.y, p.z);
    };
    using Point = std::tuple<float, float, float>;
    std::map<std::pair<Point, Point>, int> count;
    std::map<std::pair<Point, Point>, std::pair<uint32_t, uint32_t>> example;
    for (size_t f = 0; f + 2 < indices.size(); f += 3) {
        for (int e = 0; e < 3; ++e) {
            const uint32_t a = indices[f + e], b = indices[f + (e + 1) % 3];
            if (key(a) == key(b)) continue;
            ++count[{key(a), key(b)}];
            example[{key(a), key(b)}] = {a, b};
        }
    }
    int unpaired = 0;
    for (const auto& [edge, n] : count) {
        auto it = count.find({edge.second, edge.first});
        const int back = it == count.end() ? 0 : it->second;
        if (n > back) {
            if (unpaired == 0 && first != nullptr) *first = example[edge];
            unpaired += n - back;
        }
    }
    return unpaired;
}

// Six times the signed volume enclosed (positive for faces clockwise seen from outside, in
// Direct3D's left-handed space).
inline double SignedVolume6(const std::vector<Vector3>& positions, const std::vector<uint32_t>& indices) {
    double sum = 0;
    for (size_t f = 0; f + 2 < indices.size(); f += 3) {
        const Vector3 &a = positions[indices[f]], &b = positions[indices[f + 1]], &c = positions[indices[f + 2]];
        sum += double(a.x) * (double(b.y) * c.z - double(b.z) * c.y) - double(a.y) * (double(b.x) * c.z - double(b.z) * c.x) +
               double(a.z) * (double(b.x) * c.y - double(b.y) * c.x);
    }
    return sum;
}

}  // namespace velor::demo::test
