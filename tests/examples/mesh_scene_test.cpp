// The mesh layer's example: a textured mesh from an .x file, and the skinned skeleton at two
// animation times, rendered headless from the run folder's content and written to PNG files in the
// test's working folder (duvar.png, skeleton_a.png, skeleton_b.png).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <map>

#include "engine/gfx/device_controls.h"
#include "engine/gfx/texture_files.h"
#include "engine/image/image_writer.h"
#include "engine/math/d3dx_math.h"
#include "engine/mesh/frame_hierarchy.h"
#include "engine/mesh/mesh_loader.h"
#include "tests/support/gl_test_device.h"
#include "tools/contentgen/pack_writer.h"

namespace velor {
namespace {

constexpr float kPi = 3.14159265f;

// Frames and containers as plain records; the loader links them, the allocator owns them.
class ExampleAllocator final : public AllocateHierarchy {
public:
    Result CreateFrame(const char* name, Frame** newFrame) override {
        auto* frame = new Frame();
        frame->name = name ? strdup(name) : nullptr;
        MatrixIdentity(&frame->transformationMatrix);
        *newFrame = frame;
        return Result::Ok;
    }
    Result CreateMeshContainer(const char* name, const MeshData* meshData, const XMaterial* materials,
                               const EffectInstance*, uint32_t numMaterials, const uint32_t*,
                               const std::shared_ptr<SkinInfo>& skinInfo, MeshContainer** out) override {
        auto* container = new MeshContainer();
        container->name = name ? strdup(name) : nullptr;
        container->meshData = *meshData;
        container->numMaterials = numMaterials;
        container->materials = numMaterials ? new XMaterial[numMaterials] : nullptr;
        for (uint32_t i = 0; i < numMaterials; ++i) container->materials[i] = materials[i];
        container->skinInfo = skinInfo;
        *out = container;
        return Result::Ok;
    }
    Result DestroyFrame(Frame* frame) override {
        free(frame->name);
        delete frame;
        return Result::Ok;
    }
    Result DestroyMeshContainer(MeshContainer* container) override {
        free(container->name);
        delete[] container->materials;
        delete container;
        return Result::Ok;
    }
};

class MeshScene : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        output_ = previous_;
        std::filesystem::current_path(VELOR_RUN_DIR);  // material textures are named relative to it
        std::string error;
        test_ = test::CreateTestDevice(&error);
        ASSERT_NE(test_.device, nullptr) << error;
        device_ = test_.device.get();
    }
    void TearDown() override { std::filesystem::current_path(previous_); }

    void Camera(Vector3 eye, Vector3 at) {
        Matrix view, projection;
        Vector3 up{0, 1, 0};
        MatrixLookAtLH(&view, &eye, &at, &up);
        MatrixPerspectiveFovLH(&projection, kPi / 4, 4.0f / 3.0f, 0.1f, 200.0f);
        device_->SetTransform(TransformState::View, &view);
        device_->SetTransform(TransformState::Projection, &projection);
        Light sun;
        sun.type = LightType::Directional;
        sun.diffuse = {1.0f, 0.95f, 0.85f, 1};
        sun.direction = {0.5f, -1.0f, 0.7f};
        device_->SetLight(0, &sun);
        device_->LightEnable(0, true);
        device_->SetRenderState(RenderState::Ambient, 0xFF505060u);
        device_->SetSamplerState(0, SamplerState::MinFilter, uint32_t(TextureFilter::Linear));
        device_->SetSamplerState(0, SamplerState::MagFilter, uint32_t(TextureFilter::Linear));
        device_->SetSamplerState(0, SamplerState::MipFilter, uint32_t(TextureFilter::Linear));
    }

    // Subsets with their material, the diffuse copied over the ambient as the demo does, and texture.
    void DrawWithMaterials(Mesh& mesh, const XMaterial* materials, uint32_t count) {
        for (uint32_t i = 0; i < count; ++i) {
            Material m = materials[i].matD3D;
            m.ambient = m.diffuse;
            device_->SetMaterial(&m);
            std::shared_ptr<Texture> texture;
            if (!materials[i].textureFilename.empty()) {
                auto& cached = textures_[materials[i].textureFilename];
                if (cached == nullptr) CreateTextureFromFile(device_, materials[i].textureFilename.c_str(), &cached);
                texture = cached;
            }
            device_->SetTexture(0, texture);
            ASSERT_EQ(mesh.DrawSubset(i), Result::Ok);
        }
    }

    std::vector<uint32_t> Finish(const char* name) {
        auto pixels = ReadBackBuffer(*device_);
        Image image(kBackBufferWidth, kBackBufferHeight);
        image.pixels = pixels;
        EXPECT_TRUE(WritePng((output_ / name).string(), image).ok());
        return pixels;
    }

    std::filesystem::path previous_, output_;
    test::TestDevice test_;
    Device* device_ = nullptr;
    std::map<std::string, std::shared_ptr<Texture>> textures_;
};

// One entry of the run folder's asset pack, by its slot; empty when the pack cannot be read.
std::string PackEntry(size_t slot) {
    std::ifstream file("data.xyz", std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    content::PackContents pack = content::SplitPack(bytes, content::kPackEntryNames.size());
    if (!pack.error.empty() || slot >= pack.entries.size()) return {};
    return std::string(pack.entries[slot].begin(), pack.entries[slot].end());
}

// How many pixels differ from the clear colour.
int Covered(const std::vector<uint32_t>& pixels, uint32_t clear) {
    int n = 0;
    for (uint32_t p : pixels) n += p != clear;
    return n;
}

TEST_F(MeshScene, TexturedMeshFromAnXFile) {
    // The pack's duvar.x is extracted by the demo at start-up; here it is read from the pack directly.
    ASSERT_TRUE(std::filesystem::exists("data.xyz")) << "content not generated in " << VELOR_RUN_DIR;
    const std::string duvar = PackEntry(4);
    ASSERT_FALSE(duvar.empty());
    std::shared_ptr<Mesh> mesh;
    std::vector<XMaterial> materials;
    uint32_t count = 0;
    std::string error;
    ASSERT_EQ(LoadMeshFromXInMemory(duvar, "duvar.x", 0x220, device_, nullptr, &materials, nullptr, &count, &mesh, &error),
              Result::Ok)
        << error;
    ASSERT_GE(count, 1u);
    EXPECT_EQ(mesh->GetNumBytesPerVertex(), 32u);

    device_->Clear(0, nullptr, Clear::Target | Clear::ZBuffer, 0xFF000000u, 1.0f, 0);
    Camera({9, 5, -11}, {0, 0.5f, 0});
    DrawWithMaterials(*mesh, materials.data(), count);
    auto pixels = Finish("duvar.png");
    EXPECT_GT(Covered(pixels, 0xFF000000u), int(kBackBufferWidth * kBackBufferHeight / 6));
    // Textured, not flat: many distinct colours where the mesh is.
    std::map<uint32_t, int> colours;
    for (uint32_t p : pixels)
        if (p != 0xFF000000u) ++colours[p];
    EXPECT_GT(colours.size(), 500u);
}

TEST_F(MeshScene, SkinnedSkeletonMovesBetweenTwoTimes) {
    const std::string skeleton = PackEntry(3);
    ASSERT_FALSE(skeleton.empty()) << "content not generated in " << VELOR_RUN_DIR;
    ExampleAllocator allocator;
    Frame* root = nullptr;
    std::shared_ptr<AnimationController> controller;
    std::string error;
    ASSERT_EQ(LoadMeshHierarchyFromXInMemory(skeleton, "iskelet.x", 0x220, device_, &allocator, nullptr, &root,
                                             &controller, &error),
              Result::Ok)
        << error;
    ASSERT_NE(controller, nullptr);

    // The one skinned container, and a copy of its mesh to skin into.
    MeshContainer* skinned = nullptr;
    std::function<void(Frame*)> find = [&](Frame* f) {
        for (; f != nullptr; f = f->frameSibling) {
            for (MeshContainer* c = f->meshContainer; c != nullptr; c = c->nextMeshContainer)
                if (c->skinInfo != nullptr) skinned = c;
            find(f->frameFirstChild);
        }
    };
    find(root);
    ASSERT_NE(skinned, nullptr);
    Mesh& source = *skinned->meshData.mesh;
    std::shared_ptr<Mesh> target;
    VertexElement decl[kMaxDeclLength];
    source.GetDeclaration(decl);
    ASSERT_EQ(source.CloneMesh(0x220, decl, device_, &target), Result::Ok);
    SkinInfo& skin = *skinned->skinInfo;

    std::vector<uint32_t> frames[2];
    const double times[2] = {0.2, 0.6};
    double now = 0;
    for (int shot = 0; shot < 2; ++shot) {
        controller->AdvanceTime(times[shot] - now);
        now = times[shot];
        std::map<std::string, Matrix> combined;
        std::function<void(Frame*, const Matrix&)> combine = [&](Frame* f, const Matrix& parent) {
            for (; f != nullptr; f = f->frameSibling) {
                Matrix m;
                MatrixMultiply(&m, &f->transformationMatrix, &parent);
                if (f->name) combined[f->name] = m;
                combine(f->frameFirstChild, m);
            }
        };
        Matrix identity;
        MatrixIdentity(&identity);
        combine(root, identity);
        std::vector<Matrix> bones(skin.GetNumBones());
        for (uint32_t b = 0; b < skin.GetNumBones(); ++b)
            MatrixMultiply(&bones[b], skin.GetBoneOffsetMatrix(b), &combined[skin.GetBoneName(b)]);
        void *from = nullptr, *to = nullptr;
        source.LockVertexBuffer(Lock::ReadOnly, &from);
        target->LockVertexBuffer(0, &to);
        ASSERT_EQ(skin.UpdateSkinnedMesh(bones.data(), nullptr, from, to), Result::Ok);
        source.UnlockVertexBuffer();
        target->UnlockVertexBuffer();

        device_->Clear(0, nullptr, Clear::Target | Clear::ZBuffer, 0xFF203040u, 1.0f, 0);
        Camera({0, 0.2f, -3.2f}, {0, 0.1f, 0});
        Matrix world;
        MatrixIdentity(&world);
        device_->SetTransform(TransformState::World, &world);
        DrawWithMaterials(*target, skinned->materials, skinned->numMaterials);
        frames[shot] = Finish(shot == 0 ? "skeleton_a.png" : "skeleton_b.png");
        EXPECT_GT(Covered(frames[shot], 0xFF203040u), 5000) << "the figure is on screen";
    }
    int moved = 0;
    for (size_t i = 0; i < frames[0].size(); ++i) moved += frames[0][i] != frames[1][i];
    EXPECT_GT(moved, 3000) << "the pose changed between the two times";
    FrameDestroy(root, &allocator);
}

}  // namespace
}  // namespace velor
