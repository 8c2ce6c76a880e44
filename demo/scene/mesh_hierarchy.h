#pragma once
// The allocator that the skeleton's hierarchy load calls back into. Frames carry one extra matrix,
// their transform in object space; mesh containers keep their own materials and textures (not the
// loader's material list) and the fields that software skinning needs. Frames and containers live
// until exit; the destroy operations run only when the loader discards part of a failed load.
#include <memory>
#include <vector>

#include "engine/gfx/d3d_types.h"
#include "engine/gfx/resources.h"
#include "engine/math/math_types.h"
#include "engine/mesh/frame_hierarchy.h"

namespace velor::demo {

struct HierarchyFrame : Frame {
    Matrix combined;  // object-space transform, recomputed by CombineFrameMatrices; identity at creation
};

// NOTE: `materials` here hides MeshContainer::materials (the loader's list), which stays null: the
// container draws from its own copies, ambient set to diffuse.
struct HierarchyMeshContainer : MeshContainer {
    std::vector<std::shared_ptr<Texture>> textures;  // numMaterials entries; null where a slot has none
    std::vector<Material> materials;                 // numMaterials entries
    std::shared_ptr<Mesh> skinnedMesh;               // skinning target; null until set-up, always for rigid meshes
    std::vector<Matrix> boneOffsets;                 // one per bone; empty for rigid meshes
    std::vector<const Matrix*> boneMatrixRefs;       // per bone: the driving frame's `combined`; empty when rigid
};

class CMeshHierarchy final : public AllocateHierarchy {
public:
    Result CreateFrame(const char* name, Frame** newFrame) override;
    // Refuses (Result::Fail) mesh data that is not a plain mesh, destroying what it had made.
    Result CreateMeshContainer(const char* name, const MeshData* meshData, const XMaterial* materials,
                               const EffectInstance* effectInstances, uint32_t numMaterials, const uint32_t* adjacency,
                               const std::shared_ptr<SkinInfo>& skinInfo, MeshContainer** newMeshContainer) override;
    Result DestroyFrame(Frame* frameToFree) override;
    Result DestroyMeshContainer(MeshContainer* meshContainerToFree) override;
};

}  // namespace velor::demo
