// OptimizeInplace: the face and vertex reordering D3DX applies to loaded meshes.
//
// The flags build on each other: VERTEXCACHE (and STRIPREORDER, which is served by the same cache
// order) implies ATTRSORT, which implies COMPACT.
// - ATTRSORT groups faces by attribute id (stable, ascending) and writes the attribute table, so each
//   subset draws as one range.
// - VERTEXCACHE reorders the faces within each group for the post-transform cache.
// - Unless IGNOREVERTS, vertices are then renumbered in the order the new faces first use them;
//   a vertex shared by two attribute groups is split into one copy per group (unless DONOTSPLIT),
//   so every subset's vertices form one contiguous range. Unused vertices disappear (COMPACT).
// Each face keeps its corners in their order, so geometry and winding are unchanged.
#include <algorithm>
#include <cstring>
#include <numeric>

#include "engine/mesh/mesh_internal.h"

namespace velor {

Result Mesh::OptimizeInplace(uint32_t flags, const uint32_t* adjacencyIn, uint32_t* adjacencyOut, uint32_t* faceRemap,
                             std::vector<uint32_t>* vertexRemap) {
    const bool cacheOrder = (flags & (MeshOpt::VertexCache | MeshOpt::StripReorder)) != 0;
    const bool attrSort = cacheOrder || (flags & MeshOpt::AttrSort) != 0;
    const bool compact = attrSort || (flags & MeshOpt::Compact) != 0;
    const bool ignoreVerts = (flags & MeshOpt::IgnoreVerts) != 0;
    const bool split = (flags & MeshOpt::DoNotSplit) == 0;

    const auto indices = mesh_detail::ReadIndices(*this);
    for (uint32_t index : indices)
        if (index >= numVertices_) return Result::InvalidData;
    if (adjacencyIn != nullptr)
        for (uint32_t i = 0; i < numFaces_ * 3; ++i)
            if (adjacencyIn[i] != kUnused32 && adjacencyIn[i] >= numFaces_) return Result::InvalidCall;

    // ---- faces ----
    std::vector<uint32_t> order(numFaces_);
    std::iota(order.begin(), order.end(), 0u);
    if (attrSort)
        std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return attributes_[a] < attributes_[b]; });
    if (cacheOrder) {
        std::vector<uint32_t> local(numVertices_, kUnused32);
        for (uint32_t begin = 0; begin < numFaces_;) {
            uint32_t end = begin;
            while (end < numFaces_ && attributes_[order[end]] == attributes_[order[begin]]) ++end;
            std::vector<uint32_t> corners, global;
            corners.reserve(size_t(end - begin) * 3);
            for (uint32_t i = begin; i < end; ++i)
                for (uint32_t c = 0; c < 3; ++c) {
                    uint32_t v = indices[order[i] * 3 + c];
                    if (local[v] == kUnused32) {
                        local[v] = uint32_t(global.size());
                        global.push_back(v);
                    }
                    corners.push_back(local[v]);
                }
            const auto groupOrder = mesh_detail::VertexCacheOrder(corners, uint32_t(global.size()));
            std::vector<uint32_t> reordered(groupOrder.size());
            for (size_t i = 0; i < groupOrder.size(); ++i) reordered[i] = order[begin + groupOrder[i]];
            std::copy(reordered.begin(), reordered.end(), order.begin() + begin);
            for (uint32_t v : global) local[v] = kUnused32;
            begin = end;
        }
    }

    // ---- vertices: remap[new] = old ----
    std::vector<uint32_t> remap;
    std::vector<uint32_t> newIndices(indices.size());
    if (ignoreVerts || !compact) {
        remap.resize(numVertices_);
        std::iota(remap.begin(), remap.end(), 0u);
        for (uint32_t f = 0; f < numFaces_; ++f)
            for (uint32_t c = 0; c < 3; ++c) newIndices[f * 3 + c] = indices[order[f] * 3 + c];
    } else if (attrSort) {
        std::vector<uint32_t> mapped(numVertices_, kUnused32);
        std::vector<uint32_t> mappedGroup(numVertices_, kUnused32);
        uint32_t group = 0;
        for (uint32_t f = 0; f < numFaces_; ++f) {
            if (f > 0 && attributes_[order[f]] != attributes_[order[f - 1]]) ++group;
            for (uint32_t c = 0; c < 3; ++c) {
                const uint32_t v = indices[order[f] * 3 + c];
                if (mapped[v] == kUnused32 || (split && mappedGroup[v] != group)) {
                    mapped[v] = uint32_t(remap.size());
                    mappedGroup[v] = group;
                    remap.push_back(v);
                }
                newIndices[f * 3 + c] = mapped[v];
            }
        }
    } else {
        std::vector<bool> used(numVertices_, false);
        for (uint32_t v : indices) used[v] = true;
        std::vector<uint32_t> mapped(numVertices_, kUnused32);
        for (uint32_t v = 0; v < numVertices_; ++v)
            if (used[v]) {
                mapped[v] = uint32_t(remap.size());
                remap.push_back(v);
            }
        for (uint32_t f = 0; f < numFaces_; ++f)
            for (uint32_t c = 0; c < 3; ++c) newIndices[f * 3 + c] = mapped[indices[order[f] * 3 + c]];
    }
    if (remap.empty()) return Result::InvalidData;  // a mesh without faces has nothing to keep
    if (!(options_ & MeshOption::Use32Bit) && remap.size() > 0xFFFF) return Result::InvalidCall;

    // ---- adjacency, computed before the faces move ----
    std::vector<uint32_t> oldAdjacency;
    if (adjacencyOut != nullptr) {
        if (adjacencyIn == nullptr) {
            oldAdjacency.resize(size_t(numFaces_) * 3);
            GenerateAdjacency(0.0f, oldAdjacency.data());
            adjacencyIn = oldAdjacency.data();
        }
        std::vector<uint32_t> newFaceOf(numFaces_);
        for (uint32_t f = 0; f < numFaces_; ++f) newFaceOf[order[f]] = f;
        std::vector<uint32_t> result(size_t(numFaces_) * 3);
        for (uint32_t f = 0; f < numFaces_; ++f)
            for (uint32_t e = 0; e < 3; ++e) {
                const uint32_t n = adjacencyIn[order[f] * 3 + e];
                result[f * 3 + e] = n == kUnused32 ? kUnused32 : newFaceOf[n];
            }
        std::copy(result.begin(), result.end(), adjacencyOut);
    }

    std::vector<uint8_t> vertices(remap.size() * stride_);
    const uint8_t* old = VertexData();
    for (size_t v = 0; v < remap.size(); ++v)
        std::memcpy(vertices.data() + v * stride_, old + size_t(remap[v]) * stride_, stride_);
    std::vector<uint32_t> attributes(numFaces_);
    for (uint32_t f = 0; f < numFaces_; ++f) attributes[f] = attributes_[order[f]];

    const bool hadTable = !attributeTable_.empty();
    Replace(uint32_t(remap.size()), std::move(vertices), newIndices, std::move(attributes));
    if (attrSort || hadTable) attributeTable_ = BuildAttributeTable(*this);

    if (faceRemap != nullptr) std::copy(order.begin(), order.end(), faceRemap);
    if (vertexRemap != nullptr) *vertexRemap = std::move(remap);
    return Result::Ok;
}

}  // namespace velor
