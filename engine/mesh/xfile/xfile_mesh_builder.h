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
    uint32_t fvf = 0;
    uint32_t stride = 0;
    uint32_t vertexCount = 0;
    std::vector<uint8_t> vertices;
    std::vector<uint32_t> indices;       // three per triangle
    std::vector<uint32_t> attributes;    // one per triangle
    std::vector<uint32_t> sourceVertex;  // file vertex (of its own X mesh) behind each built vertex
    std::vector<XMaterial> materials;
};

// The layout an X mesh asks for: position, then normal, diffuse and one texture coordinate when the
// file has them.
uint32_t XMeshFvf(const XMeshData& data);

// Appends one X mesh to `out`, whose fvf must already be set (a superset of XMeshFvf(data)).
// The file's vertices come first, in file order; a vertex that needs a second normal value is
// duplicated, the copies appended in the order faces first need them. Polygons become fans
// (v0, vi, vi+1). Positions and normals are transformed when `transform` is given. A mesh without
// a material list takes attribute id materials.size() and adds `fallback` when one is given.
void AppendXMesh(const XMeshData& data, const Matrix* transform, const XMaterial* fallback, BuiltMesh* out);

// The mesh: faces stably sorted by attribute (vertices stay where they are), with its attribute
// table; 32-bit indices when asked or when there are more than 65535 vertices. Adjacency is
// generated with epsilon 0 when asked for.
Result CreateMeshFromBuilt(const BuiltMesh& built, uint32_t options, Device* device, std::shared_ptr<Mesh>* mesh,
                           std::vector<uint32_t>* adjacency);

// The bones of a skinned X mesh built alone; a weight on a file vertex applies to all its copies.
// Null when the mesh has no SkinWeights.
std::shared_ptr<SkinInfo> CreateSkinInfoFromX(const XMeshData& data, const BuiltMesh& built, const Mesh& mesh);

}  // namespace velor
