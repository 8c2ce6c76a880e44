// Unpacking and loading the asset pack. The loaders take file names, so each entry is written to a
// file first; the files live in a folder of our own under the system's temporary directory, so a
// user's "tree.x" in the working folder is never overwritten or deleted.
#include "demo/content/asset_pack.h"

#include <cstring>
#include <filesystem>
#include <vector>

#include "demo/content/demo_resources.h"
#include "demo/overlay/text_record.h"
#include "demo/scene/scene_object.h"
#include "demo/scene/skeleton.h"
#include "demo/shell/shell_state.h"
#include "engine/gfx/texture_files.h"
#include "engine/os/folder_cleanup_guard.h"
#include "engine/os/process_files.h"

namespace velor::demo {

const char* const kPackEntryNames[kPackEntryCount] = {
    "fire.png", "skybox.x", "tree.x", "iskelet.x", "duvar.x",
    "sphere.x", "scroll.x", "tunnel.x", "ccube.x", "quad.x",
};

PackState gPack;

namespace {

constexpr const char* kPackFile = "data.xyz";
constexpr int kFireEntry = 0;
constexpr int kSkeletonEntry = 3;
constexpr uint32_t kFireTextureSize = 1024;

// The mesh entries in their load order, with the slot each fills and whether its textures come from
// elsewhere (an effect, or the caller).
struct MeshLoad {
    int entry;
    int slot;
    bool noTextures;
};
constexpr MeshLoad kMeshesBeforeSkeleton[] = {{1, kSkyboxSlot, false}, {2, kTreeSlot, false}};
constexpr MeshLoad kMeshesAfterSkeleton[] = {
    {4, kCasterSlot, false}, {5, kReflectiveSlot, true}, {6, kScrollSlot, false},
    {7, kTunnelSlot, true},  {8, kCubeSlot, false},      {9, kQuadSlot, false},
};

void LoadMesh(const MeshLoad& load) {
    if (!gPack.extracted[load.entry]) return;  // the slot stays empty
    LoadObjectFromX(PackEntryPath(kPackEntryNames[load.entry]).c_str(), load.slot);
    if (load.noTextures) Object(load.slot).noTextures = 1;
}

}  // namespace

std::string PackEntryPath(const char* fileName) {
    if (gPack.folder.empty()) return fileName;
    return (std::filesystem::path(gPack.folder) / fileName).string();
}

void LoadAssets() {
    gPack = PackState{};
    gPack.folder = MakePrivateTempFolder("velor-data.xyz").string();
    if (gPack.folder.empty()) std::fprintf(stderr, "velor: cannot make a temporary folder for %s\n", kPackFile);
    {
        // Until the folder is gone again, an interrupt removes it before the process ends.
        FolderCleanupGuard cleanup(gPack.folder, kPackEntryNames, kPackEntryCount);

        if (std::FILE* pack = gPack.folder.empty() ? nullptr : std::fopen(kPackFile, "rb")) {
            int k = 0;
            bool endsBetween = false;  // the pack ends where an entry would start, not inside one
            for (; k < kPackEntryCount; ++k) {
                const int next = std::fgetc(pack);
                endsBetween = next == EOF;
                if (next != EOF) std::ungetc(next, pack);
                bool written = false;
                if (!ExtractPackEntry(pack, PackEntryPath(kPackEntryNames[k]), &written)) break;
                gPack.extracted[k] = written;
            }
            if (k < kPackEntryCount && endsBetween)
                std::fprintf(stderr, "velor: %s: holds %d of %d entries; %s and those after it are missing\n",
                             kPackFile, k, kPackEntryCount, kPackEntryNames[k]);
            else if (k < kPackEntryCount)
                std::fprintf(stderr, "velor: %s: ends inside entry %d (%s); %d of %d entries read\n", kPackFile, k,
                             kPackEntryNames[k], k, kPackEntryCount);
            std::fclose(pack);
        } else if (!gPack.folder.empty()) {
            std::fprintf(stderr, "velor: %s: %s\n", kPackFile, std::strerror(errno));
        }

        Device* device = CurrentDevice();
        if (gPack.extracted[kFireEntry] && device != nullptr) {
            CreateTextureFromFileEx(device, PackEntryPath(kPackEntryNames[kFireEntry]).c_str(), kFireTextureSize,
                                    kFireTextureSize, 1, 0, Format::A8R8G8B8, Pool::Default, kD3DXDefault, kD3DXDefault,
                                    kOpaqueBlackKey, &gTextureTable[kFireTextureSlot]);
        }
        if (device != nullptr) {
            device->SetSamplerState(0, SamplerState::MinFilter, uint32_t(TextureFilter::Linear));
            device->SetSamplerState(0, SamplerState::MagFilter, uint32_t(TextureFilter::Linear));
        }

        for (const MeshLoad& load : kMeshesBeforeSkeleton) LoadMesh(load);
        if (gPack.extracted[kSkeletonEntry]) LoadSkeleton();
        for (const MeshLoad& load : kMeshesAfterSkeleton) LoadMesh(load);

        // Only what the extraction wrote is deleted, and the folder with it.
        for (int k = 0; k < kPackEntryCount; ++k)
            if (gPack.extracted[k]) std::remove(PackEntryPath(kPackEntryNames[k]).c_str());
        if (!gPack.folder.empty()) {
            std::error_code ec;
            std::filesystem::remove_all(gPack.folder, ec);
        }
        gPack.folder.clear();
    }
}

}  // namespace velor::demo
