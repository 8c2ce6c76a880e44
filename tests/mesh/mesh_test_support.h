#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/mesh/d3dx_mesh.h"

namespace velor::test {

inline std::string DataPath(const char* name) { return std::string(VELOR_TEST_DATA_DIR) + "/" + name; }

inline Vector3 Vec3At(const Mesh& mesh, uint32_t vertex, uint32_t offset) {
    Vector3 v;
    std::memcpy(&v, mesh.VertexData() + size_t(vertex) * mesh.GetNumBytesPerVertex() + offset, sizeof v);
    return v;
}
inline Vector3 PositionAt(const Mesh& mesh, uint32_t vertex) { return Vec3At(mesh, vertex, 0); }

inline float Length(const Vector3& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

inline void ExpectVec3Near(const Vector3& actual, const Vector3& expected, float tolerance = 1e-5f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

inline bool SameVec3(const Vector3& a, const Vector3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

// A position-only mesh (or position + normal + texture coordinate when uvs are given).
inline std::shared_ptr<Mesh> MakeMesh(const std::vector<Vector3>& positions, const std::vector<uint32_t>& indices,
                                      const std::vector<uint32_t>& attributes = {},
                                      const std::vector<Vector2>& uvs = {}, uint32_t options = MeshOption::Managed) {
    const uint32_t fvf = uvs.empty() ? Fvf::XYZ : (Fvf::XYZ | Fvf::Normal | Fvf::Tex1);
    std::shared_ptr<Mesh> mesh;
    EXPECT_EQ(CreateMeshFVF(uint32_t(indices.size() / 3), uint32_t(positions.size()), options, fvf, nullptr, &mesh),
              Result::Ok);
    uint8_t* data = mesh->VertexData();
    const uint32_t stride = mesh->GetNumBytesPerVertex();
    for (size_t v = 0; v < positions.size(); ++v) {
        std::memcpy(data + v * stride, &positions[v], 12);
        if (!uvs.empty()) {
            const Vector3 up{0, 0, -1};
            std::memcpy(data + v * stride + 12, &up, 12);
            std::memcpy(data + v * stride + 24, &uvs[v], 8);
        }
    }
    for (uint32_t i = 0; i < indices.size(); ++i) mesh->SetIndexAt(i, indices[i]);
    if (!attributes.empty()) mesh->MutableAttributes() = attributes;
    return mesh;
}

// Records every call and owns what it made, as the demo's allocator would.
class TestAllocator : public AllocateHierarchy {
public:
    struct ContainerCall {
        std::string name;
        std::shared_ptr<Mesh> mesh;
        std::vector<XMaterial> materials;
        std::vector<EffectInstance> effects;
        uint32_t numMaterials = 0;
        std::vector<uint32_t> adjacency;
        std::shared_ptr<SkinInfo> skin;
    };

    Result CreateFrame(const char* name, Frame** newFrame) override {
        auto* frame = new Frame;
        if (name != nullptr && name[0] != '\0') frame->name = strdup(name);
        for (int i = 0; i < 4; ++i) frame->transformationMatrix.m[i][i] = 1.0f;
        frameNames.push_back(name == nullptr ? "" : name);
        ++liveFrames;
        *newFrame = frame;
        return Result::Ok;
    }
    Result CreateMeshContainer(const char* name, const MeshData* meshData, const XMaterial* materials,
                               const EffectInstance* effectInstances, uint32_t numMaterials, const uint32_t* adjacency,
                               const std::shared_ptr<SkinInfo>& skinInfo, MeshContainer** newMeshContainer) override {
        if (refuseContainers) return Result::Fail;
        ContainerCall call;
        call.name = name == nullptr ? "" : name;
        call.mesh = meshData->mesh;
        call.materials.assign(materials, materials + numMaterials);
        if (effectInstances != nullptr) call.effects.assign(effectInstances, effectInstances + numMaterials);
        call.numMaterials = numMaterials;
        call.adjacency.assign(adjacency, adjacency + meshData->mesh->GetNumFaces() * 3);
        call.skin = skinInfo;
        containers.push_back(call);
        auto* container = new MeshContainer;
        container->meshData = *meshData;
        container->skinInfo = skinInfo;
        container->numMaterials = numMaterials;
        ++liveContainers;
        *newMeshContainer = container;
        return Result::Ok;
    }
    Result DestroyFrame(Frame* frame) override {
        free(frame->name);
        delete frame;
        --liveFrames;
        return Result::Ok;
    }
    Result DestroyMeshContainer(MeshContainer* container) override {
        delete container;
        --liveContainers;
        return Result::Ok;
    }

    bool refuseContainers = false;
    int liveFrames = 0, liveContainers = 0;
    std::vector<std::string> frameNames;
    std::vector<ContainerCall> containers;
};

}  // namespace velor::test
