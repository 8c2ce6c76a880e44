// The hierarchy allocator. Every frame and container it hands out is one of its own larger records,
// so the destroy operations cast back before freeing. Names are heap copies, or null for a missing
// or empty name, never an empty string.
#include "demo/scene/mesh_hierarchy.h"

#include <cstring>

#include "engine/gfx/texture_files.h"
#include "engine/math/d3dx_math.h"

namespace velor::demo {

namespace {

char* CopyName(const char* name) {
    if (name == nullptr || name[0] == '\0') return nullptr;
    const size_t length = std::strlen(name);
    char* copy = new char[length + 1];
    std::memcpy(copy, name, length + 1);
    return copy;
}

}  // namespace

Result CMeshHierarchy::CreateFrame(const char* name, Frame** newFrame) {
    *newFrame = nullptr;
    auto* frame = new HierarchyFrame();
    MatrixIdentity(&frame->transformationMatrix);
    MatrixIdentity(&frame->combined);
    *newFrame = frame;
    frame->name = CopyName(name);
    return Result::Ok;
}

Result CMeshHierarchy::CreateMeshContainer(const char* name, const MeshData* meshData, const XMaterial* materials,
                                           const EffectInstance*, uint32_t numMaterials, const uint32_t* adjacency,
                                           const std::shared_ptr<SkinInfo>& skinInfo,
                                           MeshContainer** newMeshContainer) {
    auto* container = new HierarchyMeshContainer();
    *newMeshContainer = nullptr;
    container->name = CopyName(name);
    if (meshData == nullptr || meshData->type != MeshDataType::Mesh || meshData->mesh == nullptr) {
        // Patch and progressive meshes are not drawn by this demo; the loader then fails the load.
        DestroyMeshContainer(container);
        return Result::Fail;
    }
    container->meshData.type = MeshDataType::Mesh;

    Mesh& mesh = *meshData->mesh;
    const uint32_t adjacencyCount = 3 * mesh.GetNumFaces();
    container->adjacency = new uint32_t[adjacencyCount];
    for (uint32_t i = 0; i < adjacencyCount; ++i) container->adjacency[i] = adjacency ? adjacency[i] : kUnused32;

    Device* device = mesh.GetDevice();
    container->meshData.mesh = meshData->mesh;

    // A mesh without materials still gets one slot, zeroed, with no texture.
    const uint32_t slots = numMaterials == 0 ? 1 : numMaterials;
    container->numMaterials = slots;
    container->materials.assign(slots, Material{});
    container->textures.assign(slots, nullptr);
    for (uint32_t i = 0; i < numMaterials; ++i) {
        container->materials[i] = materials[i].matD3D;
        container->materials[i].ambient = container->materials[i].diffuse;
        const std::string& file = materials[i].textureFilename;
        if (!file.empty() && device != nullptr) CreateTextureFromFile(device, file.c_str(), &container->textures[i]);
    }

    if (skinInfo != nullptr) {
        container->skinInfo = skinInfo;
        const uint32_t bones = skinInfo->GetNumBones();
        container->boneOffsets.resize(bones);
        for (uint32_t b = 0; b < bones; ++b) container->boneOffsets[b] = *skinInfo->GetBoneOffsetMatrix(b);
        container->boneMatrixRefs.assign(bones, nullptr);
    }

    *newMeshContainer = container;
    return Result::Ok;
}

Result CMeshHierarchy::DestroyFrame(Frame* frameToFree) {
    if (frameToFree == nullptr) return Result::Ok;
    delete[] frameToFree->name;
    delete static_cast<HierarchyFrame*>(frameToFree);
    return Result::Ok;
}

Result CMeshHierarchy::DestroyMeshContainer(MeshContainer* meshContainerToFree) {
    if (meshContainerToFree == nullptr) return Result::Ok;
    auto* container = static_cast<HierarchyMeshContainer*>(meshContainerToFree);
    delete[] container->name;
    delete[] container->adjacency;
    // Textures, meshes, skin info and the arrays go with the record.
    delete container;
    return Result::Ok;
}

}  // namespace velor::demo
