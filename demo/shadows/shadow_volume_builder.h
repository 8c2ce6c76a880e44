#pragma once
// Builds the shadow volume of the caster (slot 1) into the shadow slot (499) at start-up.
#include <cstdint>
#include <memory>

#include "engine/gfx/d3d_types.h"
#include "engine/mesh/mesh.h"

namespace velor::demo {

// One edge of the source mesh, seen from the first face that produced it. Point fields hold point
// representatives; vertex fields hold indices into the volume mesh. -1 marks an unset field, and an
// entry whose two point fields are -1 is empty.
struct EdgeEntry {
    int32_t edgeStart = -1;      // point at the edge's first vertex, in the first face's winding
    int32_t edgeEnd = -1;        // point at its second vertex
    int32_t firstAtStart = -1;   // first face's vertex at edgeStart
    int32_t firstAtEnd = -1;     // first face's vertex at edgeEnd
    int32_t secondAtEnd = -1;    // second face's vertex at edgeEnd; -1 while there is no second face
    int32_t secondAtStart = -1;  // second face's vertex at edgeStart
};
static_assert(sizeof(EdgeEntry) == 24);

// The 24-byte vertex of every mesh the builder makes: position, then the face normal.
inline constexpr VertexElement kShadowVertexDeclaration[] = {
    {0, 0, DeclType::Float3, DeclMethod::Default, DeclUsage::Position, 0},
    {0, 12, DeclType::Float3, DeclMethod::Default, DeclUsage::Normal, 0},
    kDeclEnd,
};
constexpr uint32_t kShadowVertexBytes = 24;

// E_INVALIDARG, which the engine's results do not list.
inline constexpr Result kInvalidArgument = Result(0x80070057u);

// Loads "ShadowVolume.fx" and builds the caster's volume into the shadow slot. A missing caster or
// a failed build leaves the shadow slot without a mesh, and the shadow passes then draw no volume.
void SetUpShadowVolume();

// A volume in which every face of the source has three vertices of its own carrying the face normal,
// each edge shared by two faces has a quad of two zero-area triangles between the faces' copies of
// it, and holes are closed by cap triangles joined in the same way. E_INVALIDARG for a null out; a
// failed build leaves *out null, except that a failed final creation leaves the 32-bit working mesh.
Result BuildShadowVolume(const Mesh& source, std::shared_ptr<Mesh>* out);

// Index of the first entry that is empty or holds the edge b to a, scanning from 0; -1 when none of
// the capacity entries qualifies.
int32_t FindEdgeEntry(const EdgeEntry* table, uint32_t capacity, int32_t a, int32_t b);

}  // namespace velor::demo
