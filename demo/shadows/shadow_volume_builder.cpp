// The caster's shadow volume, built once at start-up.
//
// The volume is not derived from the silhouette each frame. Instead every face of the caster gets
// three vertices of its own that carry the face normal, and every edge two faces share gets a quad
// of two zero-area triangles joining the two faces' copies of that edge. The volume effect moves
// each vertex by its face normal alone (faces turned away from the light are pushed far away from
// it, the others stay), so the quads on the silhouette open into the volume's sides and the rest stay
// folded flat. Because a vertex's move depends only on its position and on whether its face is lit,
// all copies of one point land on at most two places, and the volume stays closed.
//
// Edges are paired through a compact table: the open edges sit at its front, a match moves the last
// open entry into the freed place, so every scan covers only the edges still open. Edges pair by
// point representative, not vertex index, so texture seams and split normals do not leave gaps.
// Edges no second face claimed (holes) are closed afterwards by cap triangles between two open edges
// that share a point, again joined by quads, until the remaining open edges pair up.
//
// Capacities are fixed from the face count in advance: the first working mesh holds 7 faces per
// source face, the second room for one cap and one quad per open edge.
#include "demo/shadows/shadow_volume_builder.h"

#include <cstring>
#include <new>

#include "demo/content/demo_effects.h"
#include "demo/scene/scene_object.h"
#include "demo/shadows/shadow_volume_scene.h"
#include "demo/shell/shell_state.h"
#include "engine/fx/effect.h"
#include "engine/math/d3dx_math.h"

namespace velor::demo {

namespace {

constexpr float kWeldEpsilon = 0.0001f;           // positions this close count as one point
constexpr uint32_t kFaceVertexBytes = 3 * kShadowVertexBytes;
constexpr uint32_t kIndexBytes = 4;               // the working meshes have 32-bit indices
constexpr uint32_t kWorkingFacesPerFace = 7;      // the face and room for two quads per edge
constexpr uint32_t kHoleIndicesPerOpenEdge = 21;  // one cap of 15 indices and one quad of 6
constexpr uint32_t kLargest16BitVertexCount = 65535;
constexpr const char* kShadowVolumeEffectFile = "ShadowVolume.fx";

Vector3 PositionAt(const uint8_t* vertices, int32_t vertex) {
    Vector3 p;
    std::memcpy(&p, vertices + size_t(vertex) * kShadowVertexBytes, sizeof p);
    return p;
}

void SetPositionAt(uint8_t* vertices, int32_t vertex, const Vector3& position) {
    std::memcpy(vertices + size_t(vertex) * kShadowVertexBytes, &position, sizeof position);
}

void SetNormalAt(uint8_t* vertices, int32_t vertex, const Vector3& normal) {
    std::memcpy(vertices + size_t(vertex) * kShadowVertexBytes + sizeof(Vector3), &normal, sizeof normal);
}

void CopyVertex(uint8_t* to, int32_t toVertex, const uint8_t* from, int32_t fromVertex) {
    std::memmove(to + size_t(toVertex) * kShadowVertexBytes, from + size_t(fromVertex) * kShadowVertexBytes,
                 kShadowVertexBytes);
}

Vector3 Difference(const Vector3& a, const Vector3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

Vector3 Cross(const Vector3& a, const Vector3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

bool IsEmpty(const EdgeEntry& e) { return e.edgeStart == -1 && e.edgeEnd == -1; }

// A mesh's vertex and index buffers, locked for as long as the holder lives (or until Unlock).
class LockedBuffers {
public:
    explicit LockedBuffers(Mesh& mesh) : mesh_(&mesh) {
        vertexLocked_ = Succeeded(mesh.LockVertexBuffer(0, &vertices_));
        indexLocked_ = Succeeded(mesh.LockIndexBuffer(0, &indices_));
    }
    ~LockedBuffers() { Unlock(); }
    LockedBuffers(const LockedBuffers&) = delete;
    LockedBuffers& operator=(const LockedBuffers&) = delete;

    bool Usable() const { return vertexLocked_ && indexLocked_ && vertices_ != nullptr && indices_ != nullptr; }
    uint8_t* Vertices() const { return static_cast<uint8_t*>(vertices_); }
    uint32_t* Indices32() const { return static_cast<uint32_t*>(indices_); }
    uint16_t* Indices16() const { return static_cast<uint16_t*>(indices_); }
    void Unlock() {
        if (vertexLocked_) mesh_->UnlockVertexBuffer();
        if (indexLocked_) mesh_->UnlockIndexBuffer();
        vertexLocked_ = indexLocked_ = false;
    }

private:
    Mesh* mesh_;
    void* vertices_ = nullptr;
    void* indices_ = nullptr;
    bool vertexLocked_ = false;
    bool indexLocked_ = false;
};

// The state the face loop and the hole closing share: the edge table and the working mesh's
// buffers with the count of indices written so far.
struct VolumeBuild {
    EdgeEntry* table = nullptr;
    uint32_t capacity = 0;
    uint32_t openCount = 0;      // n: entries in use at the front of the table
    uint8_t* vertices = nullptr;
    uint32_t* indices = nullptr;
    uint32_t indexCount = 0;     // k
};

void WriteIndex(VolumeBuild& b, int32_t vertex) { b.indices[b.indexCount++] = uint32_t(vertex); }

// The quad between the two faces' copies of an edge whose four vertex fields are set.
void WriteEdgeQuad(VolumeBuild& b, const EdgeEntry& e) {
    WriteIndex(b, e.firstAtEnd);
    WriteIndex(b, e.firstAtStart);
    WriteIndex(b, e.secondAtEnd);
    WriteIndex(b, e.secondAtStart);
    WriteIndex(b, e.secondAtEnd);
    WriteIndex(b, e.firstAtStart);
}

// Records edge a→b of a face, whose copies of the two ends are va and vb. A face running the same
// edge the other way closes it with a quad and frees its entry. False when no entry is free.
bool RecordEdge(VolumeBuild& b, int32_t a, int32_t bPoint, int32_t va, int32_t vb) {
    const int32_t j = FindEdgeEntry(b.table, b.capacity, a, bPoint);
    if (j < 0) return false;
    EdgeEntry& entry = b.table[j];
    if (IsEmpty(entry)) {
        entry = EdgeEntry{a, bPoint, va, vb, -1, -1};
        ++b.openCount;
        return true;
    }
    entry.secondAtEnd = va;
    entry.secondAtStart = vb;
    WriteEdgeQuad(b, entry);
    // Keep the table compact: the last open entry takes the freed place.
    const uint32_t last = b.openCount - 1;
    b.table[j] = b.table[last];
    b.table[last] = EdgeEntry{};
    --b.openCount;
    return true;
}

// Copies every face of the clone to vertices of its own with the face normal, and pairs its edges.
Result FaceLoop(VolumeBuild& b, uint32_t faceCount, const uint8_t* sourceVertices, const uint32_t* sourceIndices,
                const uint32_t* pointReps) {
    for (uint32_t f = 0; f < faceCount; ++f) {
        const int32_t v0 = int32_t(3 * f), v1 = v0 + 1, v2 = v0 + 2;
        const uint32_t i0 = sourceIndices[3 * f], i1 = sourceIndices[3 * f + 1], i2 = sourceIndices[3 * f + 2];
        const int32_t r0 = int32_t(pointReps[i0]), r1 = int32_t(pointReps[i1]), r2 = int32_t(pointReps[i2]);
        CopyVertex(b.vertices, v0, sourceVertices, int32_t(i0));
        CopyVertex(b.vertices, v1, sourceVertices, int32_t(i1));
        CopyVertex(b.vertices, v2, sourceVertices, int32_t(i2));
        // NOTE: every copy of a point takes its representative's position. Copies that are only
        // within the weld distance of each other would leave slivers open between the faces once
        // the volume is extruded, and a pixel seen through one counts the volume wrongly.
        SetPositionAt(b.vertices, v0, PositionAt(sourceVertices, r0));
        SetPositionAt(b.vertices, v1, PositionAt(sourceVertices, r1));
        SetPositionAt(b.vertices, v2, PositionAt(sourceVertices, r2));
        WriteIndex(b, v0);
        WriteIndex(b, v1);
        WriteIndex(b, v2);

        const Vector3 p0 = PositionAt(b.vertices, v0), p1 = PositionAt(b.vertices, v1), p2 = PositionAt(b.vertices, v2);
        const Vector3 cross = Cross(Difference(p1, p0), Difference(p2, p1));
        Vector3 normal;
        Vec3Normalize(&normal, &cross);
        SetNormalAt(b.vertices, v0, normal);
        SetNormalAt(b.vertices, v1, normal);
        SetNormalAt(b.vertices, v2, normal);

        if (!RecordEdge(b, r0, r1, v0, v1) || !RecordEdge(b, r1, r2, v1, v2) || !RecordEdge(b, r2, r0, v2, v0))
            return kInvalidArgument;
    }
    return Result::Ok;
}

// Closes the edges the face loop left open. openCount is the n of the face loop and stays as it is;
// nextVertex is the first free vertex slot behind the faces' copies.
void CloseHoles(VolumeBuild& b, int32_t nextVertex) {
    const uint32_t n = b.openCount;
    for (uint32_t i = 0; i < n; ++i) {
        EdgeEntry& ei = b.table[i];
        if (ei.edgeStart == -1 || ei.edgeEnd == -1) continue;
        if (ei.secondAtEnd != -1 && ei.secondAtStart != -1) {
            WriteEdgeQuad(b, ei);
            continue;
        }
        // The first later open edge that shares a point with this one.
        uint32_t j = i + 1;
        int matches = 0;
        for (; j < n; ++j) {
            const EdgeEntry& ej = b.table[j];
            if (ej.edgeStart == -1 || ej.edgeEnd == -1) continue;
            if (ej.secondAtEnd != -1 && ej.secondAtStart != -1) continue;
            matches = (ej.edgeStart == ei.edgeEnd ? 1 : 0) + (ej.edgeEnd == ei.edgeStart ? 1 : 0);
            if (matches >= 1) break;
        }
        if (j >= n) continue;  // stays open
        EdgeEntry& ej = b.table[j];
        if (matches == 2) {
            // The same edge run the other way: it is closed when the loop reaches j.
            ej.secondAtEnd = ei.firstAtStart;
            ej.secondAtStart = ei.firstAtEnd;
            continue;
        }
        // One shared point: B ends where A starts, and a cap spans A's end, the shared point and
        // B's start.
        const bool jIsA = ej.edgeStart == ei.edgeEnd;
        const EdgeEntry a = jIsA ? ej : ei;
        const EdgeEntry bEdge = jIsA ? ei : ej;
        const int32_t p = nextVertex;
        CopyVertex(b.vertices, p, b.vertices, a.firstAtEnd);
        CopyVertex(b.vertices, p + 1, b.vertices, bEdge.firstAtEnd);
        CopyVertex(b.vertices, p + 2, b.vertices, bEdge.firstAtStart);
        const Vector3 q0 = PositionAt(b.vertices, p), q1 = PositionAt(b.vertices, p + 1), q2 = PositionAt(b.vertices, p + 2);
        Vector3 u = Difference(q1, q0), w = Difference(q2, q1);
        Vec3Normalize(&u, &u);
        Vec3Normalize(&w, &w);
        // NOTE: not normalised again: the cap normal's length is the sine of the angle between the edges.
        const Vector3 capNormal = Cross(u, w);
        SetNormalAt(b.vertices, p, capNormal);
        SetNormalAt(b.vertices, p + 1, capNormal);
        SetNormalAt(b.vertices, p + 2, capNormal);

        WriteIndex(b, p);
        WriteIndex(b, p + 1);
        WriteIndex(b, p + 2);
        WriteIndex(b, bEdge.firstAtEnd);
        WriteIndex(b, bEdge.firstAtStart);
        WriteIndex(b, p + 1);
        WriteIndex(b, p + 2);
        WriteIndex(b, p + 1);
        WriteIndex(b, bEdge.firstAtStart);
        WriteIndex(b, a.firstAtEnd);
        WriteIndex(b, a.firstAtStart);
        WriteIndex(b, p);
        WriteIndex(b, p + 1);
        WriteIndex(b, p);
        WriteIndex(b, a.firstAtStart);

        // Entry j now stands for the cap's open side, from B's start to A's end.
        if (jIsA) ej.edgeStart = ei.edgeStart;
        else ej.edgeEnd = ei.edgeEnd;
        ej.firstAtStart = p + 2;
        ej.firstAtEnd = p;
        nextVertex += 3;
    }
}

// Everything after the clone and its point representatives exist.
Result BuildFromClone(Mesh& clone, const uint32_t* pointReps, Device* device, std::shared_ptr<Mesh>* out) {
    LockedBuffers cloneBuffers(clone);
    if (!cloneBuffers.Usable()) return Result::Fail;
    const uint32_t faceCount = clone.GetNumFaces();

    const size_t capacity = size_t(3) * faceCount;
    std::unique_ptr<EdgeEntry[]> table(new (std::nothrow) EdgeEntry[capacity]);
    if (table == nullptr) return Result::OutOfMemory;
    VolumeBuild b;
    b.table = table.get();
    b.capacity = uint32_t(capacity);

    // First working mesh: the faces' copies, with room for a quad on each of their edges.
    std::shared_ptr<Mesh> first;
    Result r = CreateMesh(kWorkingFacesPerFace * faceCount, 3 * faceCount, MeshOption::Use32Bit,
                          kShadowVertexDeclaration, device, &first);
    if (Failed(r)) return r;
    uint32_t k = 0;
    {
        LockedBuffers firstBuffers(*first);
        if (!firstBuffers.Usable()) return Result::Fail;
        std::memset(firstBuffers.Vertices(), 0, size_t(first->GetNumBytesPerVertex()) * first->GetNumVertices());
        std::memset(firstBuffers.Indices32(), 0, size_t(first->GetNumFaces()) * 3 * kIndexBytes);
        b.vertices = firstBuffers.Vertices();
        b.indices = firstBuffers.Indices32();
        r = FaceLoop(b, faceCount, cloneBuffers.Vertices(), cloneBuffers.Indices32(), pointReps);
        if (Failed(r)) return r;
        k = b.indexCount;
    }
    const uint32_t n = b.openCount;

    // Second working mesh: room for one cap and one quad per open edge, made even when none is open.
    const uint32_t slotCount = (faceCount + n) * 3;
    std::shared_ptr<Mesh> working;
    r = CreateMesh(k / 3 + kWorkingFacesPerFace * n, slotCount, MeshOption::Use32Bit, kShadowVertexDeclaration, device,
                   &working);
    if (Failed(r)) return r;
    {
        LockedBuffers to(*working);
        LockedBuffers from(*first);
        if (!to.Usable() || !from.Usable()) return Result::Fail;
        std::memset(to.Vertices(), 0, size_t(faceCount + n) * kFaceVertexBytes);
        std::memset(to.Indices32(), 0, (size_t(k) + size_t(kHoleIndicesPerOpenEdge) * n) * kIndexBytes);
        std::memcpy(to.Vertices(), from.Vertices(), size_t(faceCount) * kFaceVertexBytes);
        std::memcpy(to.Indices32(), from.Indices32(), size_t(k) * kIndexBytes);
        from.Unlock();
        first.reset();
        if (n > 0) {
            b.vertices = to.Vertices();
            b.indices = to.Indices32();
            CloseHoles(b, int32_t(3 * faceCount));
            k = b.indexCount;
        }
    }

    // The result: 16-bit indices unless the vertex slots need more.
    uint32_t options = MeshOption::WriteOnly;
    if (slotCount > kLargest16BitVertexCount) options |= MeshOption::Use32Bit;
    std::shared_ptr<Mesh> volume;
    r = CreateMesh(k / 3, slotCount, options, kShadowVertexDeclaration, device, &volume);
    if (Failed(r)) {
        *out = working;  // complete, with 32-bit indices
        return r;
    }
    {
        LockedBuffers from(*working);
        LockedBuffers to(*volume);
        if (!from.Usable() || !to.Usable()) return Result::Fail;
        std::memcpy(to.Vertices(), from.Vertices(), size_t(slotCount) * kShadowVertexBytes);
        if (options & MeshOption::Use32Bit) {
            std::memcpy(to.Indices32(), from.Indices32(), size_t(k) * kIndexBytes);
        } else {
            for (uint32_t i = 0; i < k; ++i) to.Indices16()[i] = uint16_t(from.Indices32()[i]);
        }
    }
    *out = volume;
    return Result::Ok;
}

}  // namespace

int32_t FindEdgeEntry(const EdgeEntry* table, uint32_t capacity, int32_t a, int32_t b) {
    for (uint32_t i = 0; i < capacity; ++i) {
        const EdgeEntry& e = table[i];
        if (IsEmpty(e) || (e.edgeStart == b && e.edgeEnd == a)) return int32_t(i);
    }
    return -1;
}

Result BuildShadowVolume(const Mesh& source, std::shared_ptr<Mesh>* out) {
    if (out == nullptr) return kInvalidArgument;
    out->reset();
    Device* device = CurrentDevice();

    // Position and normal only, with 32-bit indices: what every later step reads.
    std::shared_ptr<Mesh> clone;
    Result r = source.CloneMesh(MeshOption::Use32Bit, kShadowVertexDeclaration, device, &clone);
    if (Failed(r)) return r;
    if (clone == nullptr) return Result::Fail;

    const uint32_t faceCount = clone->GetNumFaces(), vertexCount = clone->GetNumVertices();
    std::unique_ptr<uint32_t[]> adjacency(new (std::nothrow) uint32_t[size_t(3) * faceCount]);
    std::unique_ptr<uint32_t[]> pointReps(new (std::nothrow) uint32_t[vertexCount]);
    if (adjacency == nullptr || pointReps == nullptr) return Result::OutOfMemory;
    r = clone->GenerateAdjacency(kWeldEpsilon, adjacency.get());
    if (Failed(r)) return r;
    clone->ConvertAdjacencyToPointReps(adjacency.get(), pointReps.get());
    adjacency.reset();

    return BuildFromClone(*clone, pointReps.get(), device, out);
}

void SetUpShadowVolume() {
    CreateFileEffect(kShadowVolumeEffectFile, &gShadow.effect);
    const SceneObject& caster = Object(kCasterSlot);
    SceneObject& shadow = Object(kShadowSlot);
    shadow.mesh.reset();
    if (caster.mesh == nullptr) return;  // no caster, no volume: the shadow passes draw none
    BuildShadowVolume(*caster.mesh, &shadow.mesh);
}

}  // namespace velor::demo
