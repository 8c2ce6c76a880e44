// D3DXCreateSphere with D3DX's exact vertex and index order: the sphere swarm reads this vertex
// buffer raw (as 32-byte records over 24-byte vertices), so which float lands where is part of the
// picture. Ring i (1 … stacks − 1) sits at θ = i·π/stacks from +z; slice k at φ = π/2 − k·2π/slices.
#include <cmath>
#include <numbers>

#include "engine/mesh/mesh_shapes.h"

namespace velor {

namespace {

struct SphereVertex {
    Vector3 position;
    Vector3 normal;
};
static_assert(sizeof(SphereVertex) == 24);

// Vertex index of (slice, ring) for rings counted from 0 (the first ring below the top pole).
uint32_t RingVertex(uint32_t slices, uint32_t slice, uint32_t ring) { return ring * slices + slice + 1; }

}  // namespace

Result CreateSphere(Device* device, float radius, uint32_t slices, uint32_t stacks, std::shared_ptr<Mesh>* mesh,
                    std::vector<uint32_t>* adjacency) {
    if (mesh == nullptr) return Result::InvalidCall;
    *mesh = nullptr;
    if (!(radius >= 0.0f) || slices < 2 || stacks < 2) return Result::InvalidCall;
    const uint64_t vertexCount = 2 + uint64_t(slices) * (stacks - 1);
    const uint64_t faceCount = 2 * uint64_t(slices) * (stacks - 1);
    if (vertexCount > 0xFFFF) return Result::InvalidCall;

    std::shared_ptr<Mesh> sphere;
    Result r = CreateMeshFVF(uint32_t(faceCount), uint32_t(vertexCount), MeshOption::Managed, Fvf::XYZ | Fvf::Normal,
                             device, &sphere);
    if (Failed(r)) return r;

    auto* vertices = reinterpret_cast<SphereVertex*>(sphere->VertexData());
    std::vector<uint32_t> indices;
    indices.reserve(faceCount * 3);
    auto face = [&](uint32_t a, uint32_t b, uint32_t c) { indices.insert(indices.end(), {a, b, c}); };

    const float pi = std::numbers::pi_v<float>;
    const float thetaStep = pi / float(stacks);
    const float phiStep = -2.0f * pi / float(slices);
    const float phiStart = pi / 2.0f;

    uint32_t v = 0;
    vertices[v++] = SphereVertex{{0.0f, 0.0f, radius}, {0.0f, 0.0f, 1.0f}};
    for (uint32_t ring = 0; ring < stacks - 1; ++ring) {
        const float theta = thetaStep * float(ring + 1);
        const float sinTheta = std::sin(theta), cosTheta = std::cos(theta);
        for (uint32_t slice = 0; slice < slices; ++slice) {
            const float phi = phiStart + phiStep * float(slice);
            const Vector3 n{sinTheta * std::cos(phi), sinTheta * std::sin(phi), cosTheta};
            vertices[v++] = SphereVertex{{radius * n.x, radius * n.y, radius * n.z}, n};
            if (slice == 0) continue;
            if (ring == 0) {
                face(0, slice + 1, slice);
            } else {
                face(RingVertex(slices, slice - 1, ring - 1), RingVertex(slices, slice, ring - 1),
                     RingVertex(slices, slice - 1, ring));
                face(RingVertex(slices, slice, ring - 1), RingVertex(slices, slice, ring),
                     RingVertex(slices, slice - 1, ring));
            }
        }
        // The seam: the last slice joins slice 0.
        const uint32_t last = slices - 1;
        if (ring == 0) {
            face(0, 1, v - 1);
        } else {
            face(RingVertex(slices, last, ring - 1), RingVertex(slices, 0, ring - 1), RingVertex(slices, last, ring));
            face(RingVertex(slices, 0, ring - 1), RingVertex(slices, 0, ring), RingVertex(slices, last, ring));
        }
    }
    const uint32_t bottom = v;
    vertices[v++] = SphereVertex{{0.0f, 0.0f, -radius}, {0.0f, 0.0f, -1.0f}};
    const uint32_t lastRing = stacks - 2;
    for (uint32_t slice = 1; slice < slices; ++slice)
        face(RingVertex(slices, slice - 1, lastRing), RingVertex(slices, slice, lastRing), bottom);
    face(RingVertex(slices, slices - 1, lastRing), RingVertex(slices, 0, lastRing), bottom);

    void* data = nullptr;
    sphere->LockIndexBuffer(0, &data);
    auto* out = static_cast<uint16_t*>(data);
    for (size_t i = 0; i < indices.size(); ++i) out[i] = uint16_t(indices[i]);
    sphere->UnlockIndexBuffer();

    AttributeRange whole{0, 0, uint32_t(faceCount), 0, uint32_t(vertexCount)};
    sphere->SetAttributeTable(&whole, 1);
    if (adjacency != nullptr) {
        adjacency->resize(faceCount * 3);
        sphere->GenerateAdjacency(0.0f, adjacency->data());
    }
    *mesh = std::move(sphere);
    return Result::Ok;
}

}  // namespace velor
