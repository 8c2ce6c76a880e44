// libFuzzer target for the X-file reader and what runs on its output: any bytes must give either a
// mesh and hierarchy whose counts and indices hold together, or an error naming the file and line —
// never a crash, an out-of-bounds access or a leak.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "engine/math/d3dx_math.h"
#include "engine/mesh/d3dx_mesh.h"

namespace {

using namespace velor;

void Require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "xfile_fuzz: %s\n", what);
    std::abort();
}

void CheckMesh(const Mesh& mesh) {
    for (uint32_t i = 0; i < mesh.GetNumFaces() * 3; ++i) Require(mesh.IndexAt(i) < mesh.GetNumVertices(), "index past the vertices");
    Require(mesh.Attributes().size() == mesh.GetNumFaces(), "one attribute per face");
}

void ExerciseFlatLoader(std::string_view text) {
    std::shared_ptr<Mesh> mesh;
    std::vector<uint32_t> adjacency;
    std::vector<XMaterial> materials;
    std::vector<EffectInstance> effects;
    uint32_t materialCount = 0;
    std::string error;
    const Result r = LoadMeshFromXInMemory(text, "fuzz.x", MeshOption::Managed, nullptr, &adjacency, &materials,
                                           &effects, &materialCount, &mesh, &error);
    if (Failed(r)) {
        Require(mesh == nullptr, "a failed load left a mesh");
        Require(error.rfind("fuzz.x: line ", 0) == 0, "error without file and line");
        return;
    }
    Require(mesh != nullptr, "a load succeeded without a mesh");
    CheckMesh(*mesh);
    Require(materialCount == materials.size() && effects.size() == materials.size(), "material counts disagree");
    for (uint32_t a : mesh->Attributes()) Require(materials.empty() ? a == 0 : a < materials.size(), "attribute past the materials");
    Require(adjacency.size() == size_t(mesh->GetNumFaces()) * 3, "adjacency size");
    for (uint32_t n : adjacency) Require(n == kUnused32 || n < mesh->GetNumFaces(), "adjacency past the faces");

    std::vector<uint32_t> reps(mesh->GetNumVertices());
    Require(Succeeded(mesh->ConvertAdjacencyToPointReps(adjacency.data(), reps.data())), "point reps");
    for (uint32_t v = 0; v < reps.size(); ++v) Require(reps[v] <= v, "a point rep above its vertex");
    if (Succeeded(mesh->OptimizeInplace(MeshOpt::Compact | MeshOpt::AttrSort | MeshOpt::VertexCache, adjacency.data(),
                                        nullptr, nullptr, nullptr)))
        CheckMesh(*mesh);
}

class FuzzAllocator : public AllocateHierarchy {
public:
    Result CreateFrame(const char* name, Frame** newFrame) override {
        auto* frame = new Frame;
        if (name != nullptr && name[0] != '\0') frame->name = strdup(name);
        *newFrame = frame;
        ++live;
        return Result::Ok;
    }
    Result CreateMeshContainer(const char* name, const MeshData* meshData, const XMaterial* materials,
                               const EffectInstance* effectInstances, uint32_t numMaterials, const uint32_t* adjacency,
                               const std::shared_ptr<SkinInfo>& skinInfo, MeshContainer** newMeshContainer) override {
        (void)name;
        (void)effectInstances;
        Require(meshData != nullptr && meshData->mesh != nullptr, "container without a mesh");
        CheckMesh(*meshData->mesh);
        for (uint32_t i = 0; i < numMaterials; ++i) (void)materials[i].textureFilename.size();
        for (uint32_t i = 0; i < meshData->mesh->GetNumFaces() * 3; ++i) (void)adjacency[i];
        auto* container = new MeshContainer;
        container->meshData = *meshData;
        container->skinInfo = skinInfo;
        *newMeshContainer = container;
        ++live;
        return Result::Ok;
    }
    Result DestroyFrame(Frame* frame) override {
        std::free(frame->name);
        delete frame;
        --live;
        return Result::Ok;
    }
    Result DestroyMeshContainer(MeshContainer* container) override {
        delete container;
        --live;
        return Result::Ok;
    }
    int live = 0;
};

void SkinEveryContainer(const Frame* frame) {
    for (; frame != nullptr; frame = frame->frameSibling) {
        for (const MeshContainer* c = frame->meshContainer; c != nullptr; c = c->nextMeshContainer) {
            if (c->skinInfo == nullptr) continue;
            const Mesh& mesh = *c->meshData.mesh;
            Require(c->skinInfo->GetNumVertices() == mesh.GetNumVertices(), "skin and mesh disagree on vertices");
            std::vector<Matrix> bones(c->skinInfo->GetNumBones());
            for (auto& bone : bones) MatrixIdentity(&bone);
            std::vector<uint8_t> out(size_t(mesh.GetNumVertices()) * mesh.GetNumBytesPerVertex());
            c->skinInfo->UpdateSkinnedMesh(bones.data(), nullptr, mesh.VertexData(), out.data());
        }
        SkinEveryContainer(frame->frameFirstChild);
    }
}

void ExerciseHierarchyLoader(std::string_view text) {
    FuzzAllocator allocator;
    Frame* root = nullptr;
    std::shared_ptr<AnimationController> controller;
    std::string error;
    const Result r = LoadMeshHierarchyFromXInMemory(text, "fuzz.x", MeshOption::Managed, nullptr, &allocator, nullptr,
                                                    &root, &controller, &error);
    if (Failed(r)) {
        Require(root == nullptr && controller == nullptr, "a failed load left a hierarchy");
        Require(allocator.live == 0, "a failed load leaked frames or containers");
        Require(error.rfind("fuzz.x: line ", 0) == 0, "error without file and line");
        return;
    }
    if (controller != nullptr) {
        controller->AdvanceTime(0.37);
        controller->AdvanceTime(1e6);
    }
    SkinEveryContainer(root);
    FrameDestroy(root, &allocator);
    Require(allocator.live == 0, "FrameDestroy left frames or containers");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ExerciseFlatLoader(text);
    ExerciseHierarchyLoader(text);
    return 0;
}
