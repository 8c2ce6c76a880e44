#pragma once
// Turns the Mesh records of an X file into meshes laid out as D3DX lays them out.
#include <memory>
#include <string>
#include <vector>

#include "engine/mesh/mesh.h"
#include "engine/mesh/skin_info.h"
#include "engine/mesh/xfile/xfile_scene.h"

namespace velor {

// Vertices, triangles and attributes before they become a Mesh; several X meshes may be appended
// into one (LoadMeshFromX collapses a file into one mesh).
struct BuiltMesh {
    std::vector<VertexElement> elements;  // the declaration, without the end marker
    uint32_t stride = 0;
    uint32_t vertexCount = 0;
    std::vector<uint8_t> vertices;
    std::vector<uint32_t> indices;       // three per triangle
    std::vector<uint32_t> attributes;    // one per triangle
    std::vector<uint32_t> sourceVertex;  // file vertex (of its own X mesh) behind each built vertex
    std::vector<XMaterial> materials;
};

// The layout the standard blocks of an X mesh ask for: position, then normal, diffuse and one texture
// coordinate when the file has them.
uint32_t XMeshFvf(const XMeshData& data);

// The declaration of several X meshes built into one: the standard layout of all of them (in FVF
// order), then the elements of their DeclData and FVFData blocks in file order, each once; when the
// whole set is one an FVF can describe, it takes the FVF's layout. Fails, and names the mesh in
// *conflict, when two meshes give one element different types.
bool XMeshElements(const std::vector<const XMeshData*>& meshes, std::vector<VertexElement>* elements,
                   const XMeshData** conflict);

// Appends one X mesh to `out`, whose elements must already be set (XMeshElements of a list holding
// `data`).
// The file's vertices come first, in file order; a vertex that needs a second normal value is
// duplicated, the copies appended in the order faces first need them. Polygons become fans
// (v0, vi, vi+1). Positions and normals (also tangents and binormals of the DeclData and FVFData
// blocks) are transformed when `transform` is given; the blocks' records follow their file vertex to
// every copy. The faces of a mesh with a material list take ids after the materials already in
// `out`, whose list grows by the mesh's; a mesh without one gives all its faces `noListAttribute`.
void AppendXMesh(const XMeshData& data, const Matrix* transform, uint32_t noListAttribute, BuiltMesh* out);

// The mesh: faces stably sorted by attribute (vertices stay where they are), with its attribute
// table; 32-bit indices when asked or when there are more than 65535 vertices. Adjacency is
// generated with epsilon 0 when asked for.
Result CreateMeshFromBuilt(const BuiltMesh& built, uint32_t options, Device* device, std::shared_ptr<Mesh>* mesh,
                           std::vector<uint32_t>* adjacency);

// The bones of a skinned X mesh built alone; a weight on a file vertex applies to all its copies.
// Null when the mesh has no SkinWeights.
std::shared_ptr<SkinInfo> CreateSkinInfoFromX(const XMeshData& data, const BuiltMesh& built, const Mesh& mesh);

}  // namespace velor
