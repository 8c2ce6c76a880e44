#include "engine/mesh/mesh_loader.h"

#include "engine/math/d3dx_math.h"
#include "engine/mesh/xfile/xfile_mesh_builder.h"
#include "engine/mesh/xfile/xfile_parser.h"
#include "engine/mesh/xfile/xfile_scene.h"

namespace velor {

namespace {

struct PlacedMesh {
    const XMeshData* mesh;
    Matrix world;
};

void CollectMeshes(const XFrameData& frame, const Matrix& parent, std::vector<PlacedMesh>* out) {
    Matrix world;
    MatrixMultiply(&world, &frame.transform, &parent);
    for (const auto& mesh : frame.meshes) out->push_back({&mesh, world});
    for (const auto& child : frame.children) CollectMeshes(child, world, out);
}

XMaterial FallbackMaterial() {
    XMaterial material;
    material.matD3D.diffuse = ColorValue{1.0f, 1.0f, 1.0f, 1.0f};
    material.matD3D.ambient = ColorValue{0.0f, 0.0f, 0.0f, 1.0f};
    material.matD3D.specular = ColorValue{0.0f, 0.0f, 0.0f, 1.0f};
    material.matD3D.emissive = ColorValue{0.0f, 0.0f, 0.0f, 1.0f};
    return material;
}

Result LoadFromData(const XFileData& data, std::string_view label, uint32_t options, Device* device,
                    std::vector<uint32_t>* adjacency, std::vector<XMaterial>* materials,
                    std::vector<EffectInstance>* effectInstances, uint32_t* materialCount,
                    std::shared_ptr<Mesh>* mesh, std::string* errorMessage) {
    Matrix identity;
    MatrixIdentity(&identity);
    std::vector<PlacedMesh> placed;
    for (const auto& frame : data.frames) CollectMeshes(frame, identity, &placed);
    for (const auto& loose : data.meshes) placed.push_back({&loose, identity});
    if (placed.empty()) {
        if (errorMessage != nullptr) *errorMessage = XFileError(label, 1, "expected a Mesh, the file holds none");
        return Result::InvalidData;
    }

    BuiltMesh built;
    bool anyMaterialList = false;
    for (const auto& p : placed) {
        built.fvf |= XMeshFvf(*p.mesh);
        anyMaterialList = anyMaterialList || p.mesh->hasMaterialList;
    }
    const XMaterial fallback = FallbackMaterial();
    for (const auto& p : placed) {
        const Matrix* transform = MatrixIsIdentity(&p.world) ? nullptr : &p.world;
        AppendXMesh(*p.mesh, transform, anyMaterialList ? &fallback : nullptr, &built);
    }
    if (built.attributes.empty()) {
        if (errorMessage != nullptr)
            *errorMessage = XFileError(label, placed.front().mesh->line, "expected at least one face, the file's meshes have none");
        return Result::InvalidData;
    }

    std::shared_ptr<Mesh> result;
    Result r = CreateMeshFromBuilt(built, options, device, &result, adjacency);
    if (Failed(r)) {
        if (errorMessage != nullptr)
            *errorMessage = XFileError(label, placed.front().mesh->line, "the collapsed mesh could not be created");
        return r;
    }
    if (materials != nullptr) *materials = built.materials;
    if (materialCount != nullptr) *materialCount = uint32_t(built.materials.size());
    if (effectInstances != nullptr) effectInstances->assign(built.materials.size(), EffectInstance{});
    *mesh = std::move(result);
    return Result::Ok;
}

}  // namespace

Result LoadMeshFromXInMemory(std::string_view bytes, std::string_view label, uint32_t options, Device* device,
                             std::vector<uint32_t>* adjacency, std::vector<XMaterial>* materials,
                             std::vector<EffectInstance>* effectInstances, uint32_t* materialCount,
                             std::shared_ptr<Mesh>* mesh, std::string* errorMessage) {
    if (mesh == nullptr) return Result::InvalidCall;
    *mesh = nullptr;
    XFileData data;
    Result r = ReadXFileFromMemory(bytes, label, &data, errorMessage);
    if (Failed(r)) return r;
    return LoadFromData(data, label, options, device, adjacency, materials, effectInstances, materialCount, mesh,
                        errorMessage);
}

Result LoadMeshFromX(const char* filename, uint32_t options, Device* device, std::vector<uint32_t>* adjacency,
                     std::vector<XMaterial>* materials, std::vector<EffectInstance>* effectInstances,
                     uint32_t* materialCount, std::shared_ptr<Mesh>* mesh, std::string* errorMessage) {
    if (mesh == nullptr || filename == nullptr) return Result::InvalidCall;
    *mesh = nullptr;
    XFileData data;
    Result r = ReadXFile(filename, &data, errorMessage);
    if (Failed(r)) return r;
    return LoadFromData(data, filename, options, device, adjacency, materials, effectInstances, materialCount, mesh,
                        errorMessage);
}

}  // namespace velor
