#pragma once
// D3DXComputeTangentFrameEx: per-vertex partial derivatives of the position along the texture
// coordinates (tangent and binormal), and optionally normals, written into the elements named.
#include <memory>
#include <vector>

#include "engine/mesh/mesh.h"

namespace velor {

// D3DXTANGENT_* options, with D3DX's values.
namespace TangentOption {
constexpr uint32_t WrapU = 0x01;
constexpr uint32_t WrapV = 0x02;
constexpr uint32_t WrapUV = 0x03;
constexpr uint32_t DontNormalizePartials = 0x04;
constexpr uint32_t DontOrthogonalize = 0x08;
constexpr uint32_t OrthogonalizeFromV = 0x010;
constexpr uint32_t OrthogonalizeFromU = 0x020;
constexpr uint32_t WeightByArea = 0x040;
constexpr uint32_t WeightEqual = 0x080;
constexpr uint32_t WindCW = 0x0100;
constexpr uint32_t CalculateNormals = 0x0200;
constexpr uint32_t GenerateInPlace = 0x0400;
}  // namespace TangentOption

// D3DX_DEFAULT as a semantic: the output is not stored.
constexpr DeclUsage kNoDeclUsage = DeclUsage(0xFF);

// Faces contribute to their corners' frames weighted by the corner angle (default), the face area or
// equally. With adjacency (three entries per face), computed normals are shared by the vertices the
// adjacency joins into one point (ConvertAdjacencyToPointReps), as D3DX merges them; the partials stay
// per vertex. A four-float normal output gets w = 1. The partials are projected onto the plane of the
// vertex normal, normalised and made orthogonal to each other symmetrically (or from u or v alone when
// asked). The output mesh has the
// input's vertices, faces and declaration: the thresholds are accepted for D3DX's signature, but no
// vertex is ever split, so *vertexMapping (when asked) is the identity. Options 0 give a new mesh in
// *meshOut; GenerateInPlace writes into `mesh` and stores it in *meshOut. Fails with InvalidCall when
// the mesh lacks one of the named elements (three floats for partials, normals and the position, two
// for the texture coordinates), for WeightByArea with WeightEqual, and for CalculateNormals without a
// normal output.
Result ComputeTangentFrameEx(const std::shared_ptr<Mesh>& mesh, DeclUsage textureInSemantic, uint32_t textureInIndex,
                             DeclUsage uPartialOutSemantic, uint32_t uPartialOutIndex, DeclUsage vPartialOutSemantic,
                             uint32_t vPartialOutIndex, DeclUsage normalOutSemantic, uint32_t normalOutIndex,
                             uint32_t options, const uint32_t* adjacency, float partialEdgeThreshold,
                             float singularPointThreshold, float normalEdgeThreshold, std::shared_ptr<Mesh>* meshOut,
                             std::vector<uint32_t>* vertexMapping);

}  // namespace velor
