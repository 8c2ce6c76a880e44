#pragma once
// Helpers that append closed, consistently wound primitives to a mesh. Every primitive computes the
// positions it shares along an edge from the same numbers, so neighbouring faces meet exactly (the
// shadow-volume builder and the closed-ness check both weld by position).

#include <cstdint>
#include <functional>

#include "tools/contentgen/mesh_types.h"

namespace velor::content {

class MeshBuilder {
public:
    explicit MeshBuilder(Mesh& mesh) : mesh_(mesh) {}

    void SetMaterial(uint32_t material) { material_ = material; }
    uint32_t AddVertex(const Vec3& p, const Vec3& n, const Vec2& uv);
    // Adds (a, b, c) as given: Cross(b - a, c - a) must point to the visible side.
    void AddTriangle(uint32_t a, uint32_t b, uint32_t c);
    Mesh& Target() { return mesh_; }

private:
    Mesh& mesh_;
    uint32_t material_ = 0;
};

// How a primitive maps texture coordinates: planar world projection, scale texture repeats per unit.
struct PlanarUv {
    float repeatsPerUnit = 0.5f;
    Vec2 offset;
};

// A box of half extents `half`, placed by xf, each face a grid (nx, ny, nz cells along x, y, z), flat
// normals, faces outward. Side faces map u along their horizontal axis and v downwards, top and
// bottom map x and z; coordinates come from the transformed positions so pieces tile seamlessly.
void AddGridBox(MeshBuilder& b, const Mat4& xf, const Vec3& half, int nx, int ny, int nz, const PlanarUv& uv);

// A closed prism with `sides` flat sides around the y axis, from y = 0 to y = height, outward.
void AddPrism(MeshBuilder& b, const Mat4& xf, float radius, float height, int sides, int rings, const PlanarUv& uv,
              float twist = 0.0f);

// A UV sphere; u runs repeatU times around, v repeatV times from top to bottom. inward = true winds
// it to be seen from inside (normals inward too). radiusScale, when given, scales the radius by a
// function of the unit direction (lumpy shapes); normals are then smoothed from the faces.
void AddUvSphere(MeshBuilder& b, const Mat4& xf, float radius, int slices, int stacks, float repeatU, float repeatV,
                 bool inward = false, const std::function<float(const Vec3& dir)>& radiusScale = nullptr);

// A closed tube along a path (at least two points) with a radius per point and rounded ends that
// close in a single point each; smooth normals, u around (repeatU times), v along the path
// (repeatV per unit of length).
void AddTube(MeshBuilder& b, const std::vector<Vec3>& path, const std::vector<float>& radii, int slices, float repeatU,
             float repeatV);

// Recomputes vertex normals in [firstVertex, end) from the faces in [firstFace, end), area-weighted,
// sharing normals between vertices at the same position.
void SmoothNormals(Mesh& mesh, size_t firstVertex, size_t firstFace);

}  // namespace velor::content
