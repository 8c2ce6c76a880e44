#pragma once
// D3DXLoadMeshHierarchyFromX and its records: the loader walks the X file's frames and asks the
// caller's allocator to make every frame and mesh container, so the caller can extend both records
// (derive from Frame or MeshContainer and allocate the larger record).
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/math/math_types.h"
#include "engine/mesh/animation_controller.h"
#include "engine/mesh/material_list.h"
#include "engine/mesh/mesh.h"
#include "engine/mesh/skin_info.h"

namespace velor {

struct MeshContainer;

// D3DXFRAME. The allocator owns name and the record; the loader links the pointers.
struct Frame {
    char* name = nullptr;  // null when the file gives no name
    Matrix transformationMatrix;
    MeshContainer* meshContainer = nullptr;
    Frame* frameSibling = nullptr;
    Frame* frameFirstChild = nullptr;
};

enum class MeshDataType : uint32_t { Mesh = 1, PMesh = 2, PatchMesh = 3 };  // D3DXMESHDATATYPE

// D3DXMESHDATA
struct MeshData {
    MeshDataType type = MeshDataType::Mesh;
    std::shared_ptr<Mesh> mesh;
};

// D3DXMESHCONTAINER. The allocator fills it from CreateMeshContainer's arguments as it sees fit;
// the loader sets nextMeshContainer.
struct MeshContainer {
    char* name = nullptr;
    MeshData meshData;
    XMaterial* materials = nullptr;
    EffectInstance* effects = nullptr;
    uint32_t numMaterials = 0;
    uint32_t* adjacency = nullptr;
    std::shared_ptr<SkinInfo> skinInfo;
    MeshContainer* nextMeshContainer = nullptr;
};

// ID3DXAllocateHierarchy.
class AllocateHierarchy {
public:
    virtual ~AllocateHierarchy() = default;
    virtual Result CreateFrame(const char* name, Frame** newFrame) = 0;
    // materials and effects hold numMaterials entries (none for a mesh without a material list);
    // adjacency three per face; skinInfo is null for a rigid mesh.
    virtual Result CreateMeshContainer(const char* name, const MeshData* meshData, const XMaterial* materials,
                                       const EffectInstance* effectInstances, uint32_t numMaterials,
                                       const uint32_t* adjacency, const std::shared_ptr<SkinInfo>& skinInfo,
                                       MeshContainer** newMeshContainer) = 0;
    virtual Result DestroyFrame(Frame* frameToFree) = 0;
    virtual Result DestroyMeshContainer(MeshContainer* meshContainerToFree) = 0;
};

// ID3DXLoadUserData; accepted for D3DX's signature, never called.
class LoadUserData;

// Frames keep the file's nesting and order, with their FrameTransformMatrix; meshes stay in their
// frame's space (built as LoadMeshFromX builds them, with their skin info). Several top-level frames,
// or meshes outside any frame, are put under an unnamed identity root. *animationController is null
// when the file has no animation set; otherwise every named frame is an output and the first set
// plays on track 0 (see animation_controller.h). On failure everything made so far is handed back to
// the allocator, *frameHierarchy is null, and errorMessage (when given) says what went wrong.
Result LoadMeshHierarchyFromX(const char* filename, uint32_t meshOptions, Device* device, AllocateHierarchy* allocate,
                              LoadUserData* userDataLoader, Frame** frameHierarchy,
                              std::shared_ptr<AnimationController>* animationController,
                              std::string* errorMessage = nullptr);
Result LoadMeshHierarchyFromXInMemory(std::string_view data, std::string_view label, uint32_t meshOptions,
                                      Device* device, AllocateHierarchy* allocate, LoadUserData* userDataLoader,
                                      Frame** frameHierarchy, std::shared_ptr<AnimationController>* animationController,
                                      std::string* errorMessage = nullptr);

// D3DXFrameFind: the first frame of that name in D3DX's order: a frame, then its next sibling's branch,
// then its first child's branch. A null name finds the first frame without a name (a name of "" is a
// name).
Frame* FrameFind(const Frame* frameRoot, const char* name);
// D3DXFrameDestroy: every container and frame under and beside frameRoot, through the allocator.
Result FrameDestroy(Frame* frameRoot, AllocateHierarchy* allocate);
// D3DXFrameRegisterNamedMatrices: every named frame's transformationMatrix as an output.
Result FrameRegisterNamedMatrices(Frame* frameRoot, AnimationController* controller);
uint32_t FrameNumNamedMatrices(const Frame* frameRoot);

}  // namespace velor
