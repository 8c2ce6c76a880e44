// Tangent frames from texture coordinates.
//
// For a triangle with edges e1 = p1 − p0, e2 = p2 − p0 and texture deltas (du1, dv1), (du2, dv2),
// the position changes along u by ∂p/∂u = (e1·dv2 − e2·dv1) / det and along v by
// ∂p/∂v = (e2·du1 − e1·du2) / det, det = du1·dv2 − du2·dv1. Each corner adds its face's
// (normalised) partials to its vertex, weighted by the angle at that corner; the sums are then
// projected onto the plane of the vertex normal and made orthogonal. Faces whose texture mapping is
// degenerate (det = 0) add nothing; a vertex left without a partial gets one perpendicular to the
// other, so every written frame is complete.
//
// With adjacency, vertices that the adjacency joins into one point (split only for their texture
// coordinates or normals) share one computed normal: the faces around the point add to it whichever
// copy of the vertex they use, so a box's corner normal leans into all three of its faces.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/math/d3dx_math.h"
#include "engine/mesh/mesh_internal.h"
#include "engine/mesh/tangent_frame.h"

namespace velor {

namespace {

using mesh_detail::FloatElementOffset;
using mesh_detail::ReadVec2;
using mesh_detail::ReadVec3;
using mesh_detail::WriteVec3;

Vector3 Add(const Vector3& a, const Vector3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vector3 Sub(const Vector3& a, const Vector3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vector3 Scale(const Vector3& a, float s) { return {a.x * s, a.y * s, a.z * s}; }
Vector3 Normalized(const Vector3& v) {
    Vector3 out;
    Vec3Normalize(&out, &v);
    return out;
}
Vector3 Cross(const Vector3& a, const Vector3& b) {
    Vector3 out;
    Vec3Cross(&out, &a, &b);
    return out;
}
float Dot(const Vector3& a, const Vector3& b) { return Vec3Dot(&a, &b); }
float Length(const Vector3& v) { return Vec3Length(&v); }

float CornerAngle(const Vector3& at, const Vector3& a, const Vector3& b) {
    const Vector3 da = Normalized(Sub(a, at)), db = Normalized(Sub(b, at));
    return std::acos(std::clamp(Dot(da, db), -1.0f, 1.0f));
}

// Any unit vector perpendicular to n.
Vector3 Perpendicular(const Vector3& n) {
    const Vector3 axis = std::fabs(n.x) < 0.9f ? Vector3{1, 0, 0} : Vector3{0, 1, 0};
    return Normalized(Cross(n, axis));
}

float Wrapped(float delta, bool wrap) {
    if (!wrap) return delta;
    if (delta > 0.5f) return delta - 1.0f;
    if (delta < -0.5f) return delta + 1.0f;
    return delta;
}

}  // namespace

Result ComputeTangentFrameEx(const std::shared_ptr<Mesh>& mesh, DeclUsage textureInSemantic, uint32_t textureInIndex,
                             DeclUsage uPartialOutSemantic, uint32_t uPartialOutIndex, DeclUsage vPartialOutSemantic,
                             uint32_t vPartialOutIndex, DeclUsage normalOutSemantic, uint32_t normalOutIndex,
                             uint32_t options, const uint32_t* adjacency, float partialEdgeThreshold,
                             float singularPointThreshold, float normalEdgeThreshold, std::shared_ptr<Mesh>* meshOut,
                             std::vector<uint32_t>* vertexMapping) {
    (void)partialEdgeThreshold;
    (void)singularPointThreshold;
    (void)normalEdgeThreshold;
    if (mesh == nullptr) return Result::InvalidCall;
    const bool inPlace = (options & TangentOption::GenerateInPlace) != 0;
    if (!inPlace && meshOut == nullptr) return Result::InvalidCall;

    const Mesh& source = *mesh;
    auto offsetOf = [&](DeclUsage usage, uint32_t index, uint32_t floats) {
        if (usage == kNoDeclUsage) return -2;  // not asked for
        if (index > 0xFF) return -1;
        return FloatElementOffset(source, usage, uint8_t(index), floats);
    };
    const int position = offsetOf(DeclUsage::Position, 0, 3);
    const int texture = offsetOf(textureInSemantic, textureInIndex, 2);
    const int uOut = offsetOf(uPartialOutSemantic, uPartialOutIndex, 3);
    const int vOut = offsetOf(vPartialOutSemantic, vPartialOutIndex, 3);
    const int normalOut = offsetOf(normalOutSemantic, normalOutIndex, 3);
    const bool calculateNormals = (options & TangentOption::CalculateNormals) != 0;
    if (position < 0 || texture == -1 || uOut == -1 || vOut == -1 || normalOut == -1) return Result::InvalidCall;
    if (texture == -2 && !calculateNormals) return Result::InvalidCall;
    // As D3DX: one weighting at a time, and computed normals need somewhere to go.
    if ((options & TangentOption::WeightByArea) && (options & TangentOption::WeightEqual)) return Result::InvalidCall;
    if (calculateNormals && normalOut == -2) return Result::InvalidCall;
    const int normalIn = normalOut >= 0 ? normalOut : FloatElementOffset(source, DeclUsage::Normal, 0, 3);
    // A four-float normal output gets w = 1, as a clone from three floats would give it.
    const bool normalOutHasW =
        normalOut >= 0 && FindElement(source.Elements(), normalOutSemantic, uint8_t(normalOutIndex))->type == DeclType::Float4;

    const auto indices = mesh_detail::ReadIndices(source);
    const uint32_t vertexCount = source.GetNumVertices();
    for (uint32_t index : indices)
        if (index >= vertexCount) return Result::InvalidData;

    std::shared_ptr<Mesh> target = mesh;
    if (!inPlace) {
        VertexElement decl[kMaxDeclLength];
        source.GetDeclaration(decl);
        Result r = source.CloneMesh(source.GetOptions(), decl, source.GetDevice(), &target);
        if (Failed(r)) return r;
    }

    // Each vertex's point: itself, or with adjacency the lowest vertex joined to it.
    std::vector<uint32_t> point(vertexCount);
    for (uint32_t v = 0; v < vertexCount; ++v) point[v] = v;
    if (adjacency != nullptr) source.ConvertAdjacencyToPointReps(adjacency, point.data());

    const uint8_t* in = source.VertexData();
    const uint32_t stride = source.GetNumBytesPerVertex();
    auto vertex = [&](uint32_t v) { return in + size_t(v) * stride; };
    const bool wrapU = (options & TangentOption::WrapU) != 0, wrapV = (options & TangentOption::WrapV) != 0;

    std::vector<Vector3> normals(vertexCount), uSum(vertexCount), vSum(vertexCount);
    std::vector<float> weightSum(vertexCount, 0.0f);
    const bool computeNormals = calculateNormals || normalIn < 0;
    for (size_t f = 0; f + 2 < indices.size(); f += 3) {
        const uint32_t corner[3] = {indices[f], indices[f + 1], indices[f + 2]};
        const Vector3 p[3] = {ReadVec3(vertex(corner[0]), position), ReadVec3(vertex(corner[1]), position),
                              ReadVec3(vertex(corner[2]), position)};
        const Vector3 e1 = Sub(p[1], p[0]), e2 = Sub(p[2], p[0]);
        Vector3 faceNormal = Cross(e1, e2);
        const float area = 0.5f * Length(faceNormal);
        faceNormal = Normalized(faceNormal);
        if (options & TangentOption::WindCW) faceNormal = Scale(faceNormal, -1.0f);

        Vector3 dPdu{}, dPdv{};
        if (texture >= 0) {
            const Vector2 t0 = ReadVec2(vertex(corner[0]), texture), t1 = ReadVec2(vertex(corner[1]), texture),
                          t2 = ReadVec2(vertex(corner[2]), texture);
            const float du1 = Wrapped(t1.x - t0.x, wrapU), dv1 = Wrapped(t1.y - t0.y, wrapV);
            const float du2 = Wrapped(t2.x - t0.x, wrapU), dv2 = Wrapped(t2.y - t0.y, wrapV);
            const float det = du1 * dv2 - du2 * dv1;
            if (det != 0.0f && std::isfinite(det)) {
                dPdu = Scale(Sub(Scale(e1, dv2), Scale(e2, dv1)), 1.0f / det);
                dPdv = Scale(Sub(Scale(e2, du1), Scale(e1, du2)), 1.0f / det);
                if (!(options & TangentOption::DontNormalizePartials)) {
                    dPdu = Normalized(dPdu);
                    dPdv = Normalized(dPdv);
                }
            }
        }
        for (int k = 0; k < 3; ++k) {
            float weight = 1.0f;
            if (options & TangentOption::WeightByArea) weight = area;
            else if (!(options & TangentOption::WeightEqual)) weight = CornerAngle(p[k], p[(k + 1) % 3], p[(k + 2) % 3]);
            if (!std::isfinite(weight)) weight = 0.0f;
            const uint32_t v = corner[k];
            uSum[v] = Add(uSum[v], Scale(dPdu, weight));
            vSum[v] = Add(vSum[v], Scale(dPdv, weight));
            weightSum[v] += weight;
            if (computeNormals) normals[point[v]] = Add(normals[point[v]], Scale(faceNormal, weight));
        }
    }

    uint8_t* out = target->VertexData();
    const bool normalize = !(options & TangentOption::DontNormalizePartials);
    for (uint32_t v = 0; v < vertexCount; ++v) {
        const Vector3 n = Normalized(computeNormals ? normals[point[v]] : ReadVec3(vertex(v), normalIn));
        Vector3 u = uSum[v], w = vSum[v];
        if (!normalize && weightSum[v] > 0.0f) {
            u = Scale(u, 1.0f / weightSum[v]);
            w = Scale(w, 1.0f / weightSum[v]);
        }
        if (!(options & TangentOption::DontOrthogonalize)) {
            const float uLength = Length(u), vLength = Length(w);
            u = Sub(u, Scale(n, Dot(n, u)));
            w = Sub(w, Scale(n, Dot(n, w)));
            const bool haveU = Length(u) > 1e-12f, haveV = Length(w) > 1e-12f;
            if (!haveU && !haveV) {
                u = Perpendicular(n);
                w = Cross(n, u);
            } else if (!haveU || (options & TangentOption::OrthogonalizeFromV)) {
                w = Normalized(w);
                if (!haveU || Length(Sub(u, Scale(w, Dot(w, u)))) <= 1e-12f) u = Cross(w, n);
                else u = Normalized(Sub(u, Scale(w, Dot(w, u))));
            } else if (!haveV || (options & TangentOption::OrthogonalizeFromU)) {
                u = Normalized(u);
                if (!haveV || Length(Sub(w, Scale(u, Dot(u, w)))) <= 1e-12f) w = Cross(n, u);
                else w = Normalized(Sub(w, Scale(u, Dot(u, w))));
            } else {
                // Symmetric: both turn away from their bisector by the same angle until they are 90° apart.
                const Vector3 un = Normalized(u), vn = Normalized(w);
                const Vector3 bisector = Normalized(Add(un, vn));
                Vector3 apart = Normalized(Sub(un, vn));
                if (Length(apart) == 0.0f || Length(bisector) == 0.0f) {
                    u = un;
                    w = Cross(n, u);
                } else {
                    u = Normalized(Add(bisector, apart));
                    w = Normalized(Sub(bisector, apart));
                }
            }
            if (!normalize) {
                u = Scale(u, uLength);
                w = Scale(w, vLength);
            }
        } else if (normalize) {
            u = Normalized(u);
            w = Normalized(w);
        }
        uint8_t* d = out + size_t(v) * stride;
        if (uOut >= 0) WriteVec3(d, uOut, u);
        if (vOut >= 0) WriteVec3(d, vOut, w);
        if (normalOut >= 0) {
            WriteVec3(d, normalOut, n);
            if (normalOutHasW) {
                const float w = 1.0f;
                std::memcpy(d + normalOut + 12, &w, sizeof w);
            }
        }
    }

    if (vertexMapping != nullptr) {
        vertexMapping->resize(vertexCount);
        for (uint32_t v = 0; v < vertexCount; ++v) (*vertexMapping)[v] = v;
    }
    if (meshOut != nullptr) *meshOut = target;
    return Result::Ok;
}

}  // namespace velor
