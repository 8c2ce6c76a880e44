// The object table. Loading follows D3DX's path (load, optimise in place, copy materials with
// ambient = diffuse, load each material's texture by name from the working folder); drawing sets
// the material and texture of each subset and draws it, restoring nothing.
#include "demo/scene/scene_object.h"

#include <cstdio>
#include <memory>

#include "demo/content/demo_resources.h"
#include "demo/scene/skeleton.h"
#include "demo/shell/shell_state.h"
#include "engine/gfx/texture_files.h"
#include "engine/math/d3dx_math.h"
#include "engine/mesh/mesh_loader.h"

namespace velor::demo {

namespace {

constexpr uint32_t kManagedMesh = MeshOption::Managed;  // D3DXMESH_MANAGED (0x220)
constexpr uint32_t kLoadOptimisation = MeshOpt::Compact | MeshOpt::AttrSort | MeshOpt::VertexCache;

// The table holds its records behind one allocation made at first use, so that the process pays
// for 10,000 small records (a few megabytes), never for 900 materials each.
// NOTE: never destroyed. Records hold GPU resources and the skeleton's frame hierarchy, which live
// until the process ends; tearing the table down among the static destructors would release them
// after the device, and would strand the hierarchy's root frame, which only a record points to.
std::unique_ptr<SceneObject[]>& Table() {
    static auto* table = new std::unique_ptr<SceneObject[]>(std::make_unique<SceneObject[]>(kObjectCapacity));
    return *table;
}

void ClearSlot(SceneObject& object) {
    object.mesh.reset();
    object.materialCount = 0;
    object.materials.clear();
    object.textures.clear();
    object.materialList.clear();
    object.adjacencyBuffer.clear();
    object.effectInstanceBuffer.clear();
}

}  // namespace

SceneObject& Object(int slot) { return Table()[size_t(slot)]; }

void ResetObjectTable() { Table() = std::make_unique<SceneObject[]>(kObjectCapacity); }

void LoadObjectFromX(const char* fileName, int slot) {
    SceneObject& object = Object(slot);
    Device* device = CurrentDevice();
    std::vector<uint32_t> adjacency;
    std::vector<XMaterial> materials;
    std::vector<EffectInstance> effects;
    uint32_t materialCount = 0;
    std::shared_ptr<Mesh> mesh;
    std::string error;
    if (LoadMeshFromX(fileName, kManagedMesh, device, &adjacency, &materials, &effects, &materialCount, &mesh,
                      &error) != Result::Ok ||
        mesh == nullptr) {
        // Nothing draws from an empty slot; the demo goes on without this object.
        std::fprintf(stderr, "velor: %s\n", error.empty() ? fileName : error.c_str());
        ClearSlot(object);
        return;
    }
    if (materialCount > kMaxMaterials) {
        std::fprintf(stderr, "velor: %s: %u materials, more than the %u an object holds; not loaded\n", fileName,
                     materialCount, kMaxMaterials);
        ClearSlot(object);
        return;
    }
    object.mesh = mesh;
    object.materialList = std::move(materials);
    object.adjacencyBuffer = std::move(adjacency);
    object.effectInstanceBuffer = std::move(effects);
    object.materialCount = materialCount;
    object.mesh->OptimizeInplace(kLoadOptimisation, object.adjacencyBuffer.data(), nullptr, nullptr, nullptr);

    object.materials.assign(materialCount, Material{});
    object.textures.assign(materialCount, nullptr);
    for (uint32_t i = 0; i < materialCount; ++i) {
        object.materials[i] = object.materialList[i].matD3D;
        object.materials[i].ambient = object.materials[i].diffuse;
        const std::string& texture = object.materialList[i].textureFilename;
        if (texture.empty() || device == nullptr) continue;
        CreateTextureFromFileEx(device, texture.c_str(), kD3DXDefault, kD3DXDefault, kD3DXDefault, 0, Format::Unknown,
                                Pool::Managed, kD3DXDefault, kD3DXDefault, kOpaqueBlackKey, &object.textures[i]);
    }
    ++object.loadCount;
}

void InstanceObject(int targetSlot) {
    const SceneObject& source = Object(kTreeSlot);
    SceneObject& target = Object(targetSlot);
    // Shares, never owns: loadCount stays 0, so nothing here is released through the instance.
    target.mesh = source.mesh;
    target.materialCount = source.materialCount;
    target.materials.assign(source.materials.begin(), source.materials.begin() + source.materialCount);
    target.textures.assign(source.textures.begin(), source.textures.begin() + source.materialCount);
}

void ComposeWorld(SceneObject& object) {
    MatrixRotationY(&object.rotationYMatrix, object.rotation.y);
    MatrixRotationX(&object.rotationXMatrix, object.rotation.x);
    MatrixRotationZ(&object.rotationZMatrix, object.rotation.z);
    MatrixTranslation(&object.translationMatrix, object.position.x, object.position.y, object.position.z);
    MatrixScaling(&object.scalingMatrix, object.scale.x, object.scale.y, object.scale.z);
    // NOTE: T before S, so the scale also scales the position.
    Matrix world;
    MatrixMultiply(&world, &object.rotationXMatrix, &object.rotationYMatrix);
    MatrixMultiply(&world, &world, &object.rotationZMatrix);
    MatrixMultiply(&world, &world, &object.translationMatrix);
    MatrixMultiply(&world, &world, &object.scalingMatrix);
    object.world = world;
}

namespace {

// Steps shared by both draws: the hierarchy, then every subset with its material and texture.
void DrawSubsets(int slot, bool resetStoredAlpha) {
    SceneObject& object = Object(slot);
    Device* device = CurrentDevice();
    if (object.animationController != nullptr) {
        UpdateHierarchy(slot);
        DrawHierarchy(slot);
    }
    if (object.mesh == nullptr || device == nullptr) return;
    for (uint32_t i = 0; i < object.materialCount; ++i) {
        // NOTE: the device gets the stored alpha first; only later draws see 1.0.
        device->SetMaterial(&object.materials[i]);
        if (resetStoredAlpha) object.materials[i].diffuse.a = 1.0f;
        if (object.useOverride == 1) device->SetTexture(object.overrideStage, object.overrideTexture);
        if (object.noTextures == 0 && object.useOverride == 0) device->SetTexture(0, object.textures[i]);
        object.mesh->DrawSubset(i);
    }
}

}  // namespace

void DrawObject(int slot) {
    SceneObject& object = Object(slot);
    ComposeWorld(object);
    if (Device* device = CurrentDevice()) device->SetTransform(TransformState::World, &object.world);
    DrawSubsets(slot, true);
}

void DrawObjectWithWorld(int slot, const Matrix& world) {
    if (Device* device = CurrentDevice()) device->SetTransform(TransformState::World, &world);
    DrawSubsets(slot, false);
}

}  // namespace velor::demo
