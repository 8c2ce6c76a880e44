// Face order for the post-transform vertex cache, after Tom Forsyth's "Linear-Speed Vertex Cache
// Optimisation". Each vertex scores by its place in a modelled LRU cache (the last triangle's three
// corners score alike, older entries fall off with a power curve) plus a bonus that grows as the
// vertex has fewer triangles left, so that lone triangles are not stranded. The triangle whose
// corners score highest is emitted next; only triangles around the cache need rescoring, and a
// linear scan picks up the next start when the cache has nothing left to offer.
#include <algorithm>
#include <cmath>

#include "engine/mesh/mesh_internal.h"

namespace velor::mesh_detail {

namespace {

constexpr int kCacheSize = 32;
constexpr float kLastTriangleScore = 0.75f;
constexpr float kCacheDecayPower = 1.5f;
constexpr float kValenceBoostScale = 2.0f;
constexpr float kValenceBoostPower = 0.5f;

float ComputeVertexScore(uint32_t activeTriangles, int cachePosition) {
    if (activeTriangles == 0) return -1.0f;
    float score = 0.0f;
    if (cachePosition >= 0) {
        if (cachePosition < 3) {
            score = kLastTriangleScore;
        } else {
            const float scaler = 1.0f / float(kCacheSize - 3);
            score = std::pow(1.0f - float(cachePosition - 3) * scaler, kCacheDecayPower);
        }
    }
    return score + kValenceBoostScale * std::pow(float(activeTriangles), -kValenceBoostPower);
}

// Scores for the common cases come from a table: the powers are the cost of this loop otherwise.
constexpr uint32_t kTableValence = 32;

struct ScoreTable {
    float score[kTableValence][kCacheSize + 1];  // [active triangles][cache position + 1]
    ScoreTable() {
        for (uint32_t a = 0; a < kTableValence; ++a)
            for (int p = -1; p < kCacheSize; ++p) score[a][p + 1] = ComputeVertexScore(a, p);
    }
};

float VertexScore(uint32_t activeTriangles, int cachePosition) {
    static const ScoreTable table;
    if (activeTriangles < kTableValence && cachePosition < kCacheSize)
        return table.score[activeTriangles][cachePosition + 1];
    return ComputeVertexScore(activeTriangles, cachePosition);
}

}  // namespace

std::vector<uint32_t> VertexCacheOrder(const std::vector<uint32_t>& corners, uint32_t vertexCount) {
    const uint32_t triangles = uint32_t(corners.size() / 3);
    std::vector<uint32_t> order;
    order.reserve(triangles);
    if (triangles == 0) return order;

    // Triangles of each vertex, as offsets into one list.
    std::vector<uint32_t> start(vertexCount + 1, 0);
    for (uint32_t c : corners) ++start[c + 1];
    for (uint32_t v = 0; v < vertexCount; ++v) start[v + 1] += start[v];
    std::vector<uint32_t> fill(start.begin(), start.end() - 1);
    std::vector<uint32_t> trianglesOf(corners.size());
    for (uint32_t t = 0; t < triangles; ++t)
        for (uint32_t k = 0; k < 3; ++k) trianglesOf[fill[corners[t * 3 + k]]++] = t;

    std::vector<uint32_t> active(vertexCount);
    for (uint32_t v = 0; v < vertexCount; ++v) active[v] = start[v + 1] - start[v];
    std::vector<int> cachePosition(vertexCount, -1);
    std::vector<float> vertexScore(vertexCount);
    for (uint32_t v = 0; v < vertexCount; ++v) vertexScore[v] = VertexScore(active[v], -1);
    std::vector<float> triangleScore(triangles);
    std::vector<bool> emitted(triangles, false);
    for (uint32_t t = 0; t < triangles; ++t)
        triangleScore[t] = vertexScore[corners[t * 3]] + vertexScore[corners[t * 3 + 1]] + vertexScore[corners[t * 3 + 2]];

    std::vector<uint32_t> cache, next;
    std::vector<uint32_t> inNext(vertexCount, 0);  // stamp of the last update that put the vertex in next
    uint32_t stamp = 0;
    uint32_t scan = 0;
    int64_t best = 0;
    for (uint32_t t = 1; t < triangles; ++t)
        if (triangleScore[t] > triangleScore[best]) best = t;

    while (order.size() < triangles) {
        if (best < 0) {
            while (emitted[scan]) ++scan;
            best = scan;
        }
        const uint32_t t = uint32_t(best);
        emitted[t] = true;
        order.push_back(t);

        next.clear();
        ++stamp;
        for (uint32_t k = 0; k < 3; ++k) {
            const uint32_t v = corners[t * 3 + k];
            --active[v];
            if (inNext[v] != stamp) {
                inNext[v] = stamp;
                next.push_back(v);
            }
        }
        for (uint32_t v : cache)
            if (inNext[v] != stamp) {
                inNext[v] = stamp;
                next.push_back(v);
            }
        // Vertices pushed out of the modelled cache lose their cache score.
        for (size_t i = kCacheSize; i < next.size(); ++i) {
            cachePosition[next[i]] = -1;
            vertexScore[next[i]] = VertexScore(active[next[i]], -1);
        }
        if (next.size() > size_t(kCacheSize)) next.resize(kCacheSize);
        for (size_t i = 0; i < next.size(); ++i) {
            cachePosition[next[i]] = int(i);
            vertexScore[next[i]] = VertexScore(active[next[i]], int(i));
        }
        cache.swap(next);

        best = -1;
        float bestScore = -1.0f;
        for (uint32_t v : cache) {
            for (uint32_t i = start[v]; i < start[v + 1]; ++i) {
                const uint32_t u = trianglesOf[i];
                if (emitted[u]) continue;
                const float score = vertexScore[corners[u * 3]] + vertexScore[corners[u * 3 + 1]] +
                                    vertexScore[corners[u * 3 + 2]];
                triangleScore[u] = score;
                if (score > bestScore) {
                    bestScore = score;
                    best = u;
                }
            }
        }
    }
    return order;
}

}  // namespace velor::mesh_detail
