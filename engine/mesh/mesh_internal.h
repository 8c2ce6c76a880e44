#pragma once
// Helpers shared by the mesh algorithms: element access by usage, and edge matching by points.
#include <cstring>
#include <vector>

#include "engine/gfx/vertex_format.h"
#include "engine/math/math_types.h"
#include "engine/mesh/mesh.h"

namespace velor::mesh_detail {

// Byte offset of a float element of at least `minFloats` components, or -1.
inline int FloatElementOffset(const Mesh& mesh, DeclUsage usage, uint8_t index, uint32_t minFloats) {
    const VertexElement* e = FindElement(mesh.Elements(), usage, index);
    if (e == nullptr) return -1;
    if (e->type != DeclType::Float1 && e->type != DeclType::Float2 && e->type != DeclType::Float3 &&
        e->type != DeclType::Float4)
        return -1;
    if (DeclTypeSize(e->type) / 4 < minFloats) return -1;
    return e->offset;
}

inline Vector3 ReadVec3(const uint8_t* vertex, int offset) {
    Vector3 v;
    std::memcpy(&v, vertex + offset, sizeof v);
    return v;
}

inline void WriteVec3(uint8_t* vertex, int offset, const Vector3& v) { std::memcpy(vertex + offset, &v, sizeof v); }

inline Vector2 ReadVec2(const uint8_t* vertex, int offset) {
    Vector2 v;
    std::memcpy(&v, vertex + offset, sizeof v);
    return v;
}

// Face adjacency from the face corners' point representatives: an edge (a, b) of one face pairs
// with the first still-unpaired edge (b, a) of another face, faces and edges taken in order.
// Edges whose ends are one point have no neighbour.
std::vector<uint32_t> AdjacencyFromPointReps(const std::vector<uint32_t>& indices, const std::vector<uint32_t>& reps);

// Point representatives by position: each vertex maps to the lowest-numbered vertex at the same
// position or closer than epsilon in straight-line distance (claimed in index order, so a chain of
// near points does not merge through). A negative epsilon joins no vertices.
std::vector<uint32_t> PointRepsFromPositions(const Mesh& mesh, float epsilon);

std::vector<uint32_t> ReadIndices(const Mesh& mesh);

// A vertex-cache friendly order of triangles; corners are vertex ids below vertexCount, three per
// triangle. Returns triangle numbers in drawing order.
std::vector<uint32_t> VertexCacheOrder(const std::vector<uint32_t>& corners, uint32_t vertexCount);

}  // namespace velor::mesh_detail
