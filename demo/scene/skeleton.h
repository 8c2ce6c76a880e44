#pragma once
// The animated, software-skinned skeleton of slot 150: loaded as a frame hierarchy with an animation
// controller, advanced by a fixed step at every draw, skinned on the processor into a copy of its
// mesh, and drawn from that copy. The copy of slot 150 is also what the skeleton followers read.
#include <cstdint>
#include <memory>
#include <vector>

#include "demo/scene/mesh_hierarchy.h"
#include "demo/scene/scene_object.h"
#include "engine/math/math_types.h"
#include "engine/mesh/mesh.h"

namespace velor::demo {

constexpr float kFirstAnimationStep = 0.0001f;  // seconds; replaces a zero animationStep at a draw

struct SkinningState {
    HierarchyMeshContainer* meshContainerOfSlot[kObjectCapacity] = {};  // last container the set-up registered
    std::shared_ptr<Mesh> skinnedMeshOfSlot[kObjectCapacity];           // skinned copy made for the slot
    uint32_t maxBones = 0;                                              // largest bone count set up
    std::vector<Matrix> boneMatrices;  // maxBones skinning matrices, shared by every slot's update
};

extern SkinningState gSkinning;

// Loads "iskelet.x" (where the asset loader unpacked it) into slot 150 and sets up its skinning.
void LoadSkeleton();
// Registers the first container of every frame under root for the slot and gives each skinned one a
// skinned copy of its mesh and its bones' matrices. Frames are visited frame, siblings, then children.
void SetUpHierarchy(int slot, Frame* root);
// combined = TransformationMatrix · parent for the frame and its siblings, each passing its own
// combined to its children; with no parent the frame and its siblings keep their combined as it is.
void CombineFrameMatrices(Frame* frame, const Matrix* parent);
// Advances the slot's animation, combines its frames and skins its meshes (run by DrawObject).
void UpdateHierarchy(int slot);
// Draws every mesh container of the slot's hierarchy (run by DrawObject after UpdateHierarchy).
void DrawHierarchy(int slot);

}  // namespace velor::demo
