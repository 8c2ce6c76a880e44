// The skeleton. Each draw of its slot advances the animation by the slot's fixed step (not by real
// time), recombines the frames, forms each bone's matrix as offset · combined and skins the source
// mesh into the skinned copy, which is what gets drawn and what the followers read.
//
// NOTE: the root is combined with no parent, so it and its siblings keep the identity `combined`
// they were created with: the root's own (animated or not) transform never reaches a bone.
#include "demo/scene/skeleton.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "demo/content/asset_pack.h"
#include "demo/shell/shell_state.h"
#include "engine/math/d3dx_math.h"

namespace velor::demo {

SkinningState gSkinning;

namespace {

constexpr const char* kSkeletonFile = "iskelet.x";
constexpr uint32_t kManagedMesh = MeshOption::Managed;  // D3DXMESH_MANAGED (0x220)

// A bone whose name matches no frame is driven by this.
const Matrix& IdentityMatrix() {
    static const Matrix identity = [] {
        Matrix m;
        MatrixIdentity(&m);
        return m;
    }();
    return identity;
}

// Frame, then everything reached through its next sibling, then through its first child. A
// declaration that cannot be read stops this branch only; the caller's walk goes on.
void SetUpFrame(int slot, Frame* root, Frame* frame) {
    if (frame == nullptr) return;
    auto* container = static_cast<HierarchyMeshContainer*>(frame->meshContainer);
    if (container != nullptr) {
        gSkinning.meshContainerOfSlot[slot] = container;
        if (container->skinInfo != nullptr && container->meshData.mesh != nullptr) {
            Mesh& mesh = *container->meshData.mesh;
            VertexElement declaration[kMaxDeclLength];
            if (Failed(mesh.GetDeclaration(declaration))) return;
            std::shared_ptr<Mesh> skinned;
            mesh.CloneMesh(kManagedMesh, declaration, CurrentDevice(), &skinned);
            container->skinnedMesh = skinned;
            gSkinning.skinnedMeshOfSlot[slot] = skinned;
            const SkinInfo& skin = *container->skinInfo;
            const uint32_t bones = skin.GetNumBones();
            gSkinning.maxBones = std::max(gSkinning.maxBones, bones);
            for (uint32_t b = 0; b < bones && b < container->boneMatrixRefs.size(); ++b) {
                const auto* bone = static_cast<const HierarchyFrame*>(FrameFind(root, skin.GetBoneName(b)));
                container->boneMatrixRefs[b] = bone != nullptr ? &bone->combined : &IdentityMatrix();
            }
        }
    }
    SetUpFrame(slot, root, frame->frameSibling);
    SetUpFrame(slot, root, frame->frameFirstChild);
}

Mesh* DrawnMesh(const HierarchyMeshContainer& container) {
    // A skinned container the set-up never reached has no skinned copy; it draws unskinned.
    if (container.skinInfo != nullptr && container.skinnedMesh != nullptr) return container.skinnedMesh.get();
    return container.meshData.mesh.get();
}

void DrawFrames(const SceneObject& object, Frame* frame) {
    if (frame == nullptr) return;
    Device* device = CurrentDevice();
    for (MeshContainer* c = frame->meshContainer; c != nullptr; c = c->nextMeshContainer) {
        auto& container = *static_cast<HierarchyMeshContainer*>(c);
        if (container.materials.empty()) continue;
        container.materials[0].diffuse.a = object.hierarchyAlpha;
        Mesh* mesh = DrawnMesh(container);
        if (mesh == nullptr || device == nullptr) continue;
        for (uint32_t i = 0; i < container.numMaterials; ++i) {
            device->SetMaterial(&container.materials[i]);
            device->SetTexture(0, container.textures[i]);
            if (object.overrideTexture != nullptr) device->SetTexture(0, object.overrideTexture);
            mesh->DrawSubset(i);
        }
    }
    DrawFrames(object, frame->frameSibling);
    DrawFrames(object, frame->frameFirstChild);
}

}  // namespace

void LoadSkeleton() {
    // Lives until exit, as the hierarchy it made does.
    static CMeshHierarchy* hierarchy = new CMeshHierarchy();
    SceneObject& object = Object(kSkeletonSlot);
    // Where the asset loader unpacked it; the working folder when no unpacking is under way.
    const std::string file = PackEntryPath(kSkeletonFile);
    std::string error;
    if (Failed(LoadMeshHierarchyFromX(file.c_str(), kManagedMesh, CurrentDevice(), hierarchy, nullptr,
                                      &object.rootFrame, &object.animationController, &error)))
        std::fprintf(stderr, "velor: %s\n", error.empty() ? file.c_str() : error.c_str());
    if (object.rootFrame == nullptr) return;
    SetUpHierarchy(kSkeletonSlot, object.rootFrame);
    gSkinning.boneMatrices.assign(gSkinning.maxBones, Matrix{});
}

void SetUpHierarchy(int slot, Frame* root) { SetUpFrame(slot, root, root); }

void CombineFrameMatrices(Frame* frame, const Matrix* parent) {
    for (; frame != nullptr; frame = frame->frameSibling) {
        auto* f = static_cast<HierarchyFrame*>(frame);
        if (parent != nullptr) MatrixMultiply(&f->combined, &f->transformationMatrix, parent);
        CombineFrameMatrices(f->frameFirstChild, &f->combined);
    }
}

void UpdateHierarchy(int slot) {
    SceneObject& object = Object(slot);
    if (object.animationStep == 0.0f) object.animationStep = kFirstAnimationStep;
    if (object.animationController != nullptr) object.animationController->AdvanceTime(object.animationStep, nullptr);
    CombineFrameMatrices(object.rootFrame, nullptr);

    HierarchyMeshContainer* container = gSkinning.meshContainerOfSlot[slot];
    if (container == nullptr || container->skinInfo == nullptr || container->skinnedMesh == nullptr) return;
    const size_t bones = container->boneMatrixRefs.size();
    if (bones > gSkinning.boneMatrices.size()) return;  // set up without LoadSkeleton's allocation
    for (size_t b = 0; b < bones; ++b)
        MatrixMultiply(&gSkinning.boneMatrices[b], &container->boneOffsets[b], container->boneMatrixRefs[b]);
    Mesh& source = *container->meshData.mesh;
    void* from = nullptr;
    void* to = nullptr;
    source.LockVertexBuffer(Lock::ReadOnly, &from);
    container->skinnedMesh->LockVertexBuffer(0, &to);
    container->skinInfo->UpdateSkinnedMesh(gSkinning.boneMatrices.data(), nullptr, from, to);
    container->skinnedMesh->UnlockVertexBuffer();
    source.UnlockVertexBuffer();
}

void DrawHierarchy(int slot) {
    const SceneObject& object = Object(slot);
    DrawFrames(object, object.rootFrame);
}

}  // namespace velor::demo
