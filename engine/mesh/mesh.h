#pragma once
// ID3DXMesh: triangle lists with a vertex buffer, a 16- or 32-bit index buffer, one attribute id per
// face and an attribute table. All data lives on the CPU (the buffers are the device's CPU-side
// buffers), so every algorithm here runs without a GL context; only DrawSubset needs the device.
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/gfx/d3d_types.h"
#include "engine/gfx/resources.h"

namespace velor {

class Device;
class VertexDeclaration;

// D3DXMESH_* creation options, with D3DX's values.
namespace MeshOption {
constexpr uint32_t Use32Bit = 0x001;  // D3DXMESH_32BIT
constexpr uint32_t DoNotClip = 0x002;
constexpr uint32_t Points = 0x004;
constexpr uint32_t RtPatches = 0x008;
constexpr uint32_t VbSystemMem = 0x010;
constexpr uint32_t VbManaged = 0x020;
constexpr uint32_t VbWriteOnly = 0x040;
constexpr uint32_t VbDynamic = 0x080;
constexpr uint32_t IbSystemMem = 0x100;
constexpr uint32_t IbManaged = 0x200;
constexpr uint32_t IbWriteOnly = 0x400;
constexpr uint32_t IbDynamic = 0x800;
constexpr uint32_t VbShare = 0x1000;
constexpr uint32_t UseHwOnly = 0x2000;
constexpr uint32_t NPatches = 0x4000;
constexpr uint32_t VbSoftwareProcessing = 0x8000;
constexpr uint32_t IbSoftwareProcessing = 0x10000;
constexpr uint32_t SystemMem = 0x110;
constexpr uint32_t Managed = 0x220;
constexpr uint32_t WriteOnly = 0x440;
constexpr uint32_t Dynamic = 0x880;
constexpr uint32_t SoftwareProcessing = 0x18000;
}  // namespace MeshOption

// D3DXMESHOPT_* flags of OptimizeInplace. Each of COMPACT, ATTRSORT, VERTEXCACHE builds on the one
// before it, as in D3DX.
namespace MeshOpt {
constexpr uint32_t Compact = 0x01000000;
constexpr uint32_t AttrSort = 0x02000000;
constexpr uint32_t VertexCache = 0x04000000;
constexpr uint32_t StripReorder = 0x08000000;
constexpr uint32_t IgnoreVerts = 0x10000000;
constexpr uint32_t DoNotSplit = 0x20000000;
constexpr uint32_t DeviceIndependent = 0x00400000;
}  // namespace MeshOpt

constexpr uint32_t kUnused32 = 0xFFFFFFFFu;  // UNUSED32: no neighbour across an edge

// D3DXATTRIBUTERANGE: the faces of one subset, and the vertices they use.
struct AttributeRange {
    uint32_t attribId = 0;
    uint32_t faceStart = 0;
    uint32_t faceCount = 0;
    uint32_t vertexStart = 0;
    uint32_t vertexCount = 0;
};

class Mesh {
public:
    // Use CreateMesh / CreateMeshFVF; the declaration must be valid (see CreateMesh).
    Mesh(uint32_t numFaces, uint32_t numVertices, uint32_t options, const std::vector<VertexElement>& elements,
         Device* device);

    uint32_t GetNumFaces() const { return numFaces_; }
    uint32_t GetNumVertices() const { return numVertices_; }
    uint32_t GetNumBytesPerVertex() const { return stride_; }
    uint32_t GetOptions() const { return options_; }
    uint32_t GetFVF() const { return fvf_; }  // 0 when the declaration has no FVF equivalent
    Device* GetDevice() const { return device_; }
    // Declaration must hold kMaxDeclLength entries; the end marker is written.
    Result GetDeclaration(VertexElement declaration[kMaxDeclLength]) const;
    const std::vector<VertexElement>& Elements() const { return elements_; }

    Result GetVertexBuffer(std::shared_ptr<VertexBuffer>* buffer) const;
    Result GetIndexBuffer(std::shared_ptr<IndexBuffer>* buffer) const;
    Result LockVertexBuffer(uint32_t flags, void** data);
    Result UnlockVertexBuffer();
    Result LockIndexBuffer(uint32_t flags, void** data);
    Result UnlockIndexBuffer();
    Result LockAttributeBuffer(uint32_t flags, uint32_t** data);
    // Drops the attribute table, which may no longer match: until OptimizeInplace or SetAttributeTable
    // makes a new one, DrawSubset draws from the attribute buffer itself.
    Result UnlockAttributeBuffer();

    // With table null, *size receives the entry count.
    Result GetAttributeTable(AttributeRange* table, uint32_t* size) const;
    Result SetAttributeTable(const AttributeRange* table, uint32_t size);

    // Draws the faces of one subset: the attribute-table entries with that id, or, for a mesh that
    // has no table yet, the runs of faces whose attribute is that id.
    Result DrawSubset(uint32_t attribId);

    // A copy with another declaration (elements both have are copied, converted between float widths
    // where they differ; the rest are zero) and the index width that options ask for.
    Result CloneMesh(uint32_t options, const VertexElement* declaration, Device* device,
                     std::shared_ptr<Mesh>* cloneMesh) const;
    Result CloneMeshFVF(uint32_t options, uint32_t fvf, Device* device, std::shared_ptr<Mesh>* cloneMesh) const;

    // Three entries per face: the face across edges (v0 v1), (v1 v2), (v2 v0), or kUnused32.
    // Positions closer than epsilon (straight-line distance, strictly) or equal count as one point; with
    // a negative epsilon only shared vertex indices join faces.
    Result GenerateAdjacency(float epsilon, uint32_t* adjacency) const;
    // One entry per vertex: the lowest-numbered vertex that adjacency says is the same point.
    Result ConvertAdjacencyToPointReps(const uint32_t* adjacency, uint32_t* pointReps) const;

    // faceRemap[new face] = old face; (*vertexRemap)[new vertex] = old vertex. Any output may be null.
    Result OptimizeInplace(uint32_t flags, const uint32_t* adjacencyIn, uint32_t* adjacencyOut, uint32_t* faceRemap,
                           std::vector<uint32_t>* vertexRemap);

    // ---- engine side: direct access for loaders and algorithms ----
    uint32_t IndexAt(uint32_t i) const;  // i < 3 × faces
    void SetIndexAt(uint32_t i, uint32_t value);
    uint8_t* VertexData();
    const uint8_t* VertexData() const;
    const std::vector<uint32_t>& Attributes() const { return attributes_; }
    std::vector<uint32_t>& MutableAttributes() { return attributes_; }
    // Replaces the contents of the mesh wholesale (used by OptimizeInplace).
    void Replace(uint32_t numVertices, std::vector<uint8_t> vertices, const std::vector<uint32_t>& indices,
                 std::vector<uint32_t> attributes);

private:
    std::vector<AttributeRange> AttributeRuns(uint32_t attribId) const;

    uint32_t numFaces_;
    uint32_t numVertices_;
    uint32_t options_;
    std::vector<VertexElement> elements_;
    uint32_t stride_;
    uint32_t fvf_ = 0;
    Device* device_;
    std::shared_ptr<VertexBuffer> vertices_;
    std::shared_ptr<IndexBuffer> indices_;
    std::vector<uint32_t> attributes_;
    std::vector<AttributeRange> attributeTable_;
    std::shared_ptr<VertexDeclaration> drawDeclaration_;  // made at the first DrawSubset
};

// D3DXCreateMesh: zero-filled buffers, every attribute 0, no attribute table. Fails for zero faces or
// vertices, a declaration without a stream-0 position or that does not fit in kMaxDeclLength, and
// more than 65535 vertices without MeshOption::Use32Bit.
Result CreateMesh(uint32_t numFaces, uint32_t numVertices, uint32_t options, const VertexElement* declaration,
                  Device* device, std::shared_ptr<Mesh>* mesh);
Result CreateMeshFVF(uint32_t numFaces, uint32_t numVertices, uint32_t options, uint32_t fvf, Device* device,
                     std::shared_ptr<Mesh>* mesh);

// Attribute table built from the attribute buffer of a mesh whose faces are grouped by attribute:
// one entry per run of equal ids, with the range of vertices the run uses.
std::vector<AttributeRange> BuildAttributeTable(const Mesh& mesh);

}  // namespace velor
