// iskelet.x: a frame hierarchy of named bones, one skinned mesh whose weights add up, a looping
// keyframed dance, and a pose that stays where the forest scene's followers can reach it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <set>

#include "engine/math/d3dx_math.h"
#include "engine/mesh/frame_hierarchy.h"
#include "tests/content/content_test_support.h"
#include "tests/content/x_text_probe.h"
#include "tools/contentgen/meshes.h"
#include "tools/contentgen/skeleton_pose.h"

namespace velor::content {
namespace {

using probe::XObject;

std::array<double, 16> Multiply(const std::array<double, 16>& a, const std::array<double, 16>& b) {
    std::array<double, 16> r{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k) r[size_t(i * 4 + j)] += a[size_t(i * 4 + k)] * b[size_t(k * 4 + j)];
    return r;
}

std::array<double, 16> IdentityArray() {
    std::array<double, 16> r{};
    r[0] = r[5] = r[10] = r[15] = 1;
    return r;
}

// Bind-pose matrix of every frame below the root, combined as the demo does (the root's own
// transform is never applied).
void CombineFrames(const XObject& frame, const std::array<double, 16>& parent, bool root,
                   std::map<std::string, std::array<double, 16>>& out) {
    std::array<double, 16> local = IdentityArray();
    if (const XObject* m = frame.Child("FrameTransformMatrix")) {
        for (size_t k = 0; k < 16 && k < m->numbers.size(); ++k) local[k] = m->numbers[k];
    }
    const std::array<double, 16> combined = root ? IdentityArray() : Multiply(local, parent);
    out[frame.name] = combined;
    for (const XObject* child : frame.Children("Frame")) CombineFrames(*child, combined, false, out);
}

class SkeletonFile : public ::testing::Test {
protected:
    void SetUp() override {
        text_ = testing::GeneratedText("iskelet.x");
        doc_ = probe::ParseXText(text_);
        ASSERT_TRUE(doc_.error.empty()) << doc_.error;
        const auto meshes = probe::FindAll(doc_, "Mesh");
        ASSERT_EQ(meshes.size(), 1u);
        mesh_ = probe::InterpretMesh(*meshes[0]);
        ASSERT_TRUE(mesh_.error.empty()) << mesh_.error;
        const auto frames = doc_.objects.size() ? probe::FindAll(doc_, "Frame") : std::vector<const XObject*>{};
        ASSERT_FALSE(frames.empty());
        CombineFrames(*frames[0], IdentityArray(), true, bind_);
    }

    std::string text_;
    probe::XDocument doc_;
    probe::ProbeMesh mesh_;
    std::map<std::string, std::array<double, 16>> bind_;
};

TEST_F(SkeletonFile, HasTheBonesOfAFigure) {
    for (const char* bone : {"Pelvis", "Spine", "Chest", "Neck", "Head", "L_UpperArm", "L_Forearm", "L_Hand", "R_UpperArm",
                             "R_Forearm", "R_Hand", "L_Thigh", "L_Shin", "L_Foot", "R_Thigh", "R_Shin", "R_Foot"}) {
        EXPECT_TRUE(bind_.count(bone)) << "no frame " << bone;
    }
}

TEST_F(SkeletonFile, SkinWeightsCoverEveryVertexAndAddUpToOne) {
    ASSERT_TRUE(mesh_.hasSkinHeader);
    EXPECT_EQ(size_t(mesh_.skinHeader[2]), mesh_.skin.size()) << "header bone count";
    // The followers use one table entry per vertex; the demo's point table holds 5000.
    EXPECT_GE(mesh_.positions.size(), 300u);
    EXPECT_LE(mesh_.positions.size(), 5000u);
    std::vector<double> sum(mesh_.positions.size(), 0.0);
    std::vector<int> influences(mesh_.positions.size(), 0);
    for (const probe::ProbeSkin& s : mesh_.skin) {
        ASSERT_TRUE(bind_.count(s.bone)) << "SkinWeights names " << s.bone << ", which is no frame";
        ASSERT_EQ(s.vertices.size(), s.weights.size());
        for (size_t i = 0; i < s.vertices.size(); ++i) {
            ASSERT_LT(s.vertices[i], mesh_.positions.size());
            ASSERT_GT(s.weights[i], 0.0);
            sum[s.vertices[i]] += s.weights[i];
            ++influences[s.vertices[i]];
        }
    }
    int most = 0;
    for (size_t v = 0; v < sum.size(); ++v) {
        ASSERT_NEAR(sum[v], 1.0, 1e-6) << "vertex " << v;
        most = std::max(most, influences[v]);
    }
    EXPECT_EQ(most, mesh_.skinHeader[0]) << "header's weights per vertex";
}

TEST_F(SkeletonFile, OffsetMatricesUndoTheBindPose) {
    for (const probe::ProbeSkin& s : mesh_.skin) {
        const std::array<double, 16> product = Multiply(s.offset, bind_.at(s.bone));
        const std::array<double, 16> identity = IdentityArray();
        for (size_t k = 0; k < 16; ++k) ASSERT_NEAR(product[k], identity[k], 1e-5) << s.bone << " element " << k;
    }
}

TEST_F(SkeletonFile, DanceLoopsWithRotationAndPositionKeys) {
    const auto ticks = probe::FindAll(doc_, "AnimTicksPerSecond");
    ASSERT_EQ(ticks.size(), 1u);
    ASSERT_GT(ticks[0]->numbers.at(0), 0.0);
    const auto sets = probe::FindAll(doc_, "AnimationSet");
    ASSERT_EQ(sets.size(), 1u);
    const auto animations = sets[0]->Children("Animation");
    ASSERT_GE(animations.size(), 10u);
    double period = -1;
    std::set<std::string> animated;
    for (const XObject* a : animations) {
        ASSERT_EQ(a->references.size(), 1u);
        const std::string& frame = a->references[0];
        EXPECT_TRUE(bind_.count(frame)) << "animation of unknown frame " << frame;
        animated.insert(frame);
        std::set<int> types;
        for (const XObject* key : a->Children("AnimationKey")) {
            const std::vector<double>& n = key->numbers;
            ASSERT_GE(n.size(), 2u);
            const int type = int(n[0]);
            types.insert(type);
            const size_t count = size_t(n[1]), width = type == 0 ? 4 : 3;
            ASSERT_EQ(n.size(), 2 + count * (2 + width)) << frame << " key type " << type;
            double previous = -1;
            for (size_t k = 0; k < count; ++k) {
                const double* rec = &n[2 + k * (2 + width)];
                ASSERT_GT(rec[0], previous) << frame << ": key times must increase";
                ASSERT_EQ(size_t(rec[1]), width);
                previous = rec[0];
            }
            // The last key repeats the first: the loop closes without a jump.
            const double* first = &n[2];
            const double* last = &n[2 + (count - 1) * (2 + width)];
            for (size_t c = 0; c < width; ++c) EXPECT_NEAR(first[2 + c], last[2 + c], 1e-6) << frame << " type " << type;
            if (period < 0) period = last[0];
            EXPECT_EQ(last[0], period) << frame << ": every animation ends at the same time";
        }
        EXPECT_TRUE(types.count(0)) << frame << " has no rotation keys";
        EXPECT_TRUE(types.count(2)) << frame << " has no position keys";
    }
    EXPECT_TRUE(animated.count("Pelvis"));
    EXPECT_TRUE(animated.count("L_UpperArm"));
    EXPECT_TRUE(animated.count("R_Thigh"));
}

TEST(Skeleton, PoseStaysWhereTheFollowersCanReachIt) {
    // The followers start at the model origin and crawl 1/15 unit per second for 16 s; their
    // target is each vertex (mirrored), 0.1 higher, over ground at -0.8 - 0.1 in model space.
    const XFile file = MakeSkeletonFile();
    for (int step = 0; step <= 40; ++step) {
        const float t = 0.04f * float(step);
        for (const Vec3& p : PoseSkinnedMesh(file, t)) {
            ASSERT_LT(std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z), 1.05f) << "at " << t << " s";
            ASSERT_GT(p.y, -0.9f) << "at " << t << " s";
        }
    }
}

// ---- Through the engine's hierarchy loader, posed the way the demo poses it ---------------------

class PlainAllocator : public AllocateHierarchy {
public:
    Result CreateFrame(const char* name, ::velor::Frame** newFrame) override {
        auto* f = new ::velor::Frame;
        MatrixIdentity(&f->transformationMatrix);
        if (name && *name) f->name = strdup(name);
        *newFrame = f;
        return Result::Ok;
    }
    Result CreateMeshContainer(const char* name, const ::velor::MeshData* meshData, const XMaterial*, const EffectInstance*,
                               uint32_t numMaterials, const uint32_t*, const std::shared_ptr<SkinInfo>& skinInfo,
                               ::velor::MeshContainer** newMeshContainer) override {
        auto* c = new ::velor::MeshContainer;
        if (name && *name) c->name = strdup(name);
        c->meshData = *meshData;
        c->numMaterials = numMaterials;
        c->skinInfo = skinInfo;
        *newMeshContainer = c;
        return Result::Ok;
    }
    Result DestroyFrame(::velor::Frame* f) override {
        std::free(f->name);
        delete f;
        return Result::Ok;
    }
    Result DestroyMeshContainer(::velor::MeshContainer* c) override {
        std::free(c->name);
        delete c;
        return Result::Ok;
    }
};

void Combine(const ::velor::Frame* f, const Matrix* parent, std::map<std::string, Matrix>& out) {
    for (; f; f = f->frameSibling) {
        Matrix combined;
        if (parent) MatrixMultiply(&combined, &f->transformationMatrix, parent); else MatrixIdentity(&combined);
        if (f->name) out[f->name] = combined;
        Combine(f->frameFirstChild, &combined, out);
    }
}

const ::velor::MeshContainer* FindSkinned(const ::velor::Frame* f) {
    for (; f; f = f->frameSibling) {
        for (const ::velor::MeshContainer* c = f->meshContainer; c; c = c->nextMeshContainer)
            if (c->skinInfo) return c;
        if (const ::velor::MeshContainer* c = FindSkinned(f->frameFirstChild)) return c;
    }
    return nullptr;
}

TEST(Skeleton, LoadsAndDancesThroughTheEngine) {
    const std::string text = testing::GeneratedText("iskelet.x");
    PlainAllocator alloc;
    ::velor::Frame* root = nullptr;
    std::shared_ptr<AnimationController> controller;
    std::string error;
    ASSERT_TRUE(Succeeded(LoadMeshHierarchyFromXInMemory(text, "iskelet.x", 0, nullptr, &alloc, nullptr, &root, &controller,
                                                         &error)))
        << error;
    ASSERT_NE(root, nullptr);
    ASSERT_TRUE(controller);
    const ::velor::MeshContainer* skinned = FindSkinned(root);
    ASSERT_NE(skinned, nullptr);
    const SkinInfo& skin = *skinned->skinInfo;
    ::velor::Mesh& mesh = *skinned->meshData.mesh;
    ASSERT_EQ(mesh.GetNumBytesPerVertex(), 32u);
    const uint32_t n = mesh.GetNumVertices();
    void* source = nullptr;
    ASSERT_TRUE(Succeeded(mesh.LockVertexBuffer(0, &source)));
    std::vector<uint8_t> src(static_cast<uint8_t*>(source), static_cast<uint8_t*>(source) + size_t(n) * 32);
    mesh.UnlockVertexBuffer();
    std::vector<uint8_t> dst(src.size());

    // Half a step of the demo's forest frames at a time, over two cycles.
    for (int step = 0; step < 64; ++step) {
        ASSERT_TRUE(Succeeded(controller->AdvanceTime(0.05)));
        std::map<std::string, Matrix> combined;
        Combine(root, nullptr, combined);
        std::vector<Matrix> bones(skin.GetNumBones());
        for (uint32_t b = 0; b < skin.GetNumBones(); ++b) {
            auto it = combined.find(skin.GetBoneName(b));
            ASSERT_NE(it, combined.end()) << skin.GetBoneName(b);
            MatrixMultiply(&bones[b], skin.GetBoneOffsetMatrix(b), &it->second);
        }
        ASSERT_TRUE(Succeeded(skin.UpdateSkinnedMesh(bones.data(), nullptr, src.data(), dst.data())));
        for (uint32_t v = 0; v < n; ++v) {
            float p[3];
            std::memcpy(p, dst.data() + size_t(v) * 32, sizeof p);
            ASSERT_LT(std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]), 1.05f) << "vertex " << v << " step " << step;
            ASSERT_GT(p[1], -0.9f) << "vertex " << v << " step " << step;
        }
    }
    FrameDestroy(root, &alloc);
}

}  // namespace
}  // namespace velor::content
