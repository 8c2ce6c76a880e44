// Face adjacency and point representatives.
//
// Meshes duplicate vertices wherever a corner needs two normals or texture coordinates, so vertex
// indices alone do not say which faces touch. GenerateAdjacency first welds positions that lie
// within epsilon of each other into point representatives, then pairs each edge with an edge running
// the other way between the same two points. ConvertAdjacencyToPointReps goes back: vertices that
// adjacent faces hold at the two ends of their shared edge are one point, and each point is named by
// its lowest vertex index. The shadow-volume builder relies on both to find the edges of a mesh with
// texture seams.
#include <algorithm>
#include <cmath>
#include <numeric>
#include <unordered_map>

#include "engine/mesh/mesh_internal.h"

namespace velor {

namespace mesh_detail {

std::vector<uint32_t> ReadIndices(const Mesh& mesh) {
    std::vector<uint32_t> indices(size_t(mesh.GetNumFaces()) * 3);
    for (uint32_t i = 0; i < indices.size(); ++i) indices[i] = mesh.IndexAt(i);
    return indices;
}

std::vector<uint32_t> AdjacencyFromPointReps(const std::vector<uint32_t>& indices, const std::vector<uint32_t>& reps) {
    const uint32_t faces = uint32_t(indices.size() / 3);
    std::vector<uint32_t> adjacency(size_t(faces) * 3, kUnused32);
    auto rep = [&](uint32_t vertex) { return vertex < reps.size() ? reps[vertex] : vertex; };
    auto key = [](uint32_t a, uint32_t b) { return (uint64_t(a) << 32) | b; };
    // Unpaired edges by (start, end) point, each as face * 3 + edge.
    std::unordered_map<uint64_t, std::vector<uint32_t>> open;
    open.reserve(indices.size());
    for (uint32_t f = 0; f < faces; ++f) {
        for (uint32_t e = 0; e < 3; ++e) {
            const uint32_t a = rep(indices[f * 3 + e]);
            const uint32_t b = rep(indices[f * 3 + (e + 1) % 3]);
            if (a == b) continue;
            auto it = open.find(key(b, a));
            bool paired = false;
            if (it != open.end()) {
                auto& list = it->second;
                for (size_t i = 0; i < list.size(); ++i) {
                    const uint32_t other = list[i];
                    if (other / 3 == f) continue;
                    adjacency[f * 3 + e] = other / 3;
                    adjacency[other] = f;
                    list.erase(list.begin() + ptrdiff_t(i));
                    paired = true;
                    break;
                }
            }
            if (!paired) open[key(a, b)].push_back(f * 3 + e);
        }
    }
    return adjacency;
}

std::vector<uint32_t> PointRepsFromPositions(const Mesh& mesh, float epsilon) {
    const uint32_t count = mesh.GetNumVertices();
    std::vector<uint32_t> reps(count);
    std::iota(reps.begin(), reps.end(), 0u);
    const int offset = FloatElementOffset(mesh, DeclUsage::Position, 0, 3);
    // A negative (or NaN) epsilon joins nothing: only faces sharing vertex indices are adjacent.
    if (offset < 0 || !(epsilon >= 0.0f)) return reps;
    const uint8_t* data = mesh.VertexData();
    const uint32_t stride = mesh.GetNumBytesPerVertex();
    auto position = [&](uint32_t v) { return ReadVec3(data + size_t(v) * stride, offset); };
    // Straight-line distance strictly below epsilon; equal positions always join (so epsilon 0 welds
    // exact duplicates only).
    const double limit = double(epsilon) * double(epsilon);
    auto close = [&](const Vector3& p, const Vector3& q) {
        if (p.x == q.x && p.y == q.y && p.z == q.z) return true;
        const double dx = double(q.x) - p.x, dy = double(q.y) - p.y, dz = double(q.z) - p.z;
        return dx * dx + dy * dy + dz * dz < limit;
    };

    // Grid of cells one epsilon wide: points within epsilon lie in the same or a neighbouring cell.
    const double cell = epsilon > 0.0f ? double(epsilon) : 1.0;
    auto cellOf = [&](float x) {
        double c = std::floor(double(x) / cell);
        return int64_t(std::clamp(c, -4.0e18, 4.0e18));
    };
    struct CellKey {
        int64_t x, y, z;
        bool operator==(const CellKey&) const = default;
    };
    struct CellHash {
        size_t operator()(const CellKey& k) const {
            uint64_t h = uint64_t(k.x) * 0x9E3779B97F4A7C15ull;
            h ^= uint64_t(k.y) * 0xC2B2AE3D27D4EB4Full + (h << 6) + (h >> 2);
            h ^= uint64_t(k.z) * 0x165667B19E3779F9ull + (h << 6) + (h >> 2);
            return size_t(h);
        }
    };
    std::unordered_map<CellKey, std::vector<uint32_t>, CellHash> grid;
    grid.reserve(count);
    std::vector<bool> finite(count);
    for (uint32_t v = 0; v < count; ++v) {
        Vector3 p = position(v);
        finite[v] = std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
        if (finite[v]) grid[CellKey{cellOf(p.x), cellOf(p.y), cellOf(p.z)}].push_back(v);
    }
    std::vector<bool> claimed(count, false);
    for (uint32_t v = 0; v < count; ++v) {
        if (claimed[v] || !finite[v]) continue;
        claimed[v] = true;
        const Vector3 p = position(v);
        const CellKey home{cellOf(p.x), cellOf(p.y), cellOf(p.z)};
        for (int64_t dx = -1; dx <= 1; ++dx)
            for (int64_t dy = -1; dy <= 1; ++dy)
                for (int64_t dz = -1; dz <= 1; ++dz) {
                    auto it = grid.find(CellKey{home.x + dx, home.y + dy, home.z + dz});
                    if (it == grid.end()) continue;
                    for (uint32_t w : it->second) {
                        if (claimed[w] || w < v) continue;
                        if (close(p, position(w))) {
                            reps[w] = v;
                            claimed[w] = true;
                        }
                    }
                }
    }
    return reps;
}

}  // namespace mesh_detail

Result Mesh::GenerateAdjacency(float epsilon, uint32_t* adjacency) const {
    if (adjacency == nullptr) return Result::InvalidCall;
    auto reps = mesh_detail::PointRepsFromPositions(*this, epsilon);
    auto result = mesh_detail::AdjacencyFromPointReps(mesh_detail::ReadIndices(*this), reps);
    std::copy(result.begin(), result.end(), adjacency);
    return Result::Ok;
}

Result Mesh::ConvertAdjacencyToPointReps(const uint32_t* adjacency, uint32_t* pointReps) const {
    if (pointReps == nullptr) return Result::InvalidCall;
    std::vector<uint32_t> generated;
    if (adjacency == nullptr) {
        generated.resize(size_t(numFaces_) * 3);
        GenerateAdjacency(0.0f, generated.data());
        adjacency = generated.data();
    }
    const auto indices = mesh_detail::ReadIndices(*this);
    std::vector<uint32_t> parent(numVertices_);
    std::iota(parent.begin(), parent.end(), 0u);
    auto find = [&](uint32_t v) {
        while (parent[v] != v) {
            parent[v] = parent[parent[v]];
            v = parent[v];
        }
        return v;
    };
    // The lower root wins, so every set ends up named by its lowest vertex.
    auto unite = [&](uint32_t a, uint32_t b) {
        if (a >= numVertices_ || b >= numVertices_) return;
        a = find(a);
        b = find(b);
        if (a < b) parent[b] = a;
        else if (b < a) parent[a] = b;
    };
    for (uint32_t f = 0; f < numFaces_; ++f) {
        for (uint32_t e = 0; e < 3; ++e) {
            const uint32_t g = adjacency[f * 3 + e];
            if (g == kUnused32 || g >= numFaces_ || g == f) continue;
            uint32_t back = 3;
            for (uint32_t j = 0; j < 3; ++j)
                if (adjacency[g * 3 + j] == f) {
                    back = j;
                    break;
                }
            if (back == 3) continue;
            // The neighbour runs the shared edge the other way: our start is its end.
            unite(indices[f * 3 + e], indices[g * 3 + (back + 1) % 3]);
            unite(indices[f * 3 + (e + 1) % 3], indices[g * 3 + back]);
        }
    }
    for (uint32_t v = 0; v < numVertices_; ++v) pointReps[v] = find(v);
    return Result::Ok;
}

}  // namespace velor
