#pragma once
// Shared by the skeleton, forest and follower tests: the run folder's pack entries, a scratch
// working folder the demo's loaders read their files from (with the run folder's textures beside
// them, as at start-up), and a reset of the process-wide state these tests touch.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "demo/scene/mesh_hierarchy.h"
#include "demo/scene/scene_object.h"
#include "demo/scene/skeleton.h"
#include "demo/shell/shell_state.h"

namespace velor::demo::fixture {

// Entry numbers of the pack that these tests read.
constexpr size_t kSkyboxEntry = 1;
constexpr size_t kTreeEntry = 2;
constexpr size_t kSkeletonEntry = 3;

// One entry of the run folder's "data.xyz" (length-prefixed entries); empty when unreadable.
inline std::string PackEntry(size_t entry) {
    std::ifstream file(std::filesystem::path(VELOR_RUN_DIR) / "data.xyz", std::ios::binary);
    const std::vector<uint8_t> pack((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    size_t pos = 0;
    for (size_t i = 0;; ++i) {
        if (pack.size() - pos < 4) return {};
        const uint32_t n = uint32_t(pack[pos]) | uint32_t(pack[pos + 1]) << 8 | uint32_t(pack[pos + 2]) << 16 |
                           uint32_t(pack[pos + 3]) << 24;
        pos += 4;
        if (pack.size() - pos < n) return {};
        if (i == entry) return std::string(pack.begin() + std::ptrdiff_t(pos), pack.begin() + std::ptrdiff_t(pos + n));
        pos += n;
    }
}

// A fresh working folder for the test's lifetime, with "textures" linked to the run folder's.
class ScratchFolder {
public:
    ScratchFolder() {
        previous_ = std::filesystem::current_path();
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = std::filesystem::temp_directory_path() /
                  ("velor-" + std::string(info->test_suite_name()) + "-" + info->name() + "-" +
                   std::to_string(uintptr_t(this)));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        std::error_code ignored;
        std::filesystem::create_directory_symlink(std::filesystem::path(VELOR_RUN_DIR) / "textures",
                                                  folder_ / "textures", ignored);
        std::filesystem::current_path(folder_);
    }
    ~ScratchFolder() {
        std::filesystem::current_path(previous_);
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    void Write(const char* name, const std::string& text) const {
        std::ofstream(folder_ / name, std::ios::binary) << text;
    }
    const std::filesystem::path& Previous() const { return previous_; }

private:
    std::filesystem::path previous_, folder_;
};

// Empties the object table and the skinning state (each test loads its own skeleton). The skeleton's
// frames go back through an allocator of the kind that made them: the table only forgets them.
inline void ResetSkinning() {
    if (Frame* root = Object(kSkeletonSlot).rootFrame) {
        CMeshHierarchy hierarchy;
        FrameDestroy(root, &hierarchy);
        Object(kSkeletonSlot).rootFrame = nullptr;
    }
    ResetObjectTable();
    for (auto& c : gSkinning.meshContainerOfSlot) c = nullptr;
    for (auto& m : gSkinning.skinnedMeshOfSlot) m.reset();
    gSkinning.maxBones = 0;
    gSkinning.boneMatrices.clear();
}

// Positions of a mesh's vertices (the first three floats of each).
inline std::vector<Vector3> Positions(Mesh& mesh) {
    std::vector<Vector3> out(mesh.GetNumVertices());
    void* data = nullptr;
    mesh.LockVertexBuffer(Lock::ReadOnly, &data);
    const auto* bytes = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < out.size(); ++i)
        std::memcpy(&out[i], bytes + i * mesh.GetNumBytesPerVertex(), sizeof(Vector3));
    mesh.UnlockVertexBuffer();
    return out;
}

}  // namespace velor::demo::fixture
