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

// Each mesh with the product of the transform blocks before it in its frames, innermost first.
void CollectMeshes(const XFrameData& frame, const Matrix& parent, std::vector<PlacedMesh>* out) {
    for (size_t i = 0; i < frame.meshes.size(); ++i) {
        Matrix world;
        MatrixMultiply(&world, &frame.meshPlacements[i], &parent);
        out->push_back({&frame.meshes[i], world});
    }
    for (size_t i = 0; i < frame.children.size(); ++i) {
        Matrix world;
        MatrixMultiply(&world, &frame.childPlacements[i], &parent);
        CollectMeshes(frame.children[i], world, out);
    }
}

// D3DX's material for faces the file gives none: grey diffuse and specular with alpha 0, power 0.
XMaterial DefaultMaterial() {
    XMaterial material;
    material.matD3D.diffuse = ColorValue{0.5f, 0.5f, 0.5f, 0.0f};
    material.matD3D.specular = ColorValue{0.5f, 0.5f, 0.5f, 0.0f};
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
    std::vector<const XMeshData*> meshes;
    for (const auto& p : placed) meshes.push_back(p.mesh);
    const XMeshData* conflict = nullptr;
    if (!XMeshElements(meshes, &built.elements, &conflict)) {
        if (errorMessage != nullptr)
            *errorMessage = XFileError(label, conflict->line,
                                       "the vertex elements of this mesh do not fit those of the file's other meshes "
                                       "(one element with two types, or more than a declaration holds)");
        return Result::InvalidData;
    }
    // Meshes without a material list share one default material, placed where the first of them comes.
    uint32_t defaultMaterial = kUnused32;
    for (const auto& p : placed) {
        if (!p.mesh->hasMaterialList && defaultMaterial == kUnused32) {
            defaultMaterial = uint32_t(built.materials.size());
            built.materials.push_back(DefaultMaterial());
        }
        const Matrix* transform = MatrixIsIdentity(&p.world) ? nullptr : &p.world;
        AppendXMesh(*p.mesh, transform, defaultMaterial, &built);
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
    if (effectInstances != nullptr) {
        effectInstances->clear();
        for (const auto& material : built.materials) effectInstances->push_back(EffectInstanceOf(material));
    }
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
