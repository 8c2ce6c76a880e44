// velor-xinfo FILE.x — prints the frames, meshes, materials, bones and animation sets that the engine's
// X-file reader makes of a file and exits 0; or prints the reader's error and exits 1.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "engine/math/d3dx_math.h"
#include "engine/mesh/d3dx_mesh.h"
#include "tools/common/path_arguments.h"

namespace {

using namespace velor;

// Keeps what the loader hands over, so it can be printed after the walk.
class ReportingAllocator : public AllocateHierarchy {
public:
    Result CreateFrame(const char* name, Frame** newFrame) override {
        auto* frame = new Frame;
        if (name != nullptr && name[0] != '\0') frame->name = strdup(name);
        MatrixIdentity(&frame->transformationMatrix);
        *newFrame = frame;
        return Result::Ok;
    }

    Result CreateMeshContainer(const char* name, const MeshData* meshData, const XMaterial* materials,
                               const EffectInstance* effectInstances, uint32_t numMaterials, const uint32_t* adjacency,
                               const std::shared_ptr<SkinInfo>& skinInfo, MeshContainer** newMeshContainer) override {
        (void)effectInstances;
        (void)adjacency;
        auto* container = new MeshContainer;
        if (name != nullptr && name[0] != '\0') container->name = strdup(name);
        container->meshData = *meshData;
        container->numMaterials = numMaterials;
        if (numMaterials > 0) {
            container->materials = new XMaterial[numMaterials];
            for (uint32_t i = 0; i < numMaterials; ++i) container->materials[i] = materials[i];
        }
        container->skinInfo = skinInfo;
        *newMeshContainer = container;
        return Result::Ok;
    }

    Result DestroyFrame(Frame* frame) override {
        std::free(frame->name);
        delete frame;
        return Result::Ok;
    }

    Result DestroyMeshContainer(MeshContainer* container) override {
        std::free(container->name);
        delete[] container->materials;
        delete container;
        return Result::Ok;
    }
};

const char* NameOf(const char* name) { return name != nullptr ? name : "(unnamed)"; }

void PrintFrames(const Frame* frame, int depth) {
    for (; frame != nullptr; frame = frame->frameSibling) {
        std::printf("  %*s%s (depth %d)\n", depth * 2, "", NameOf(frame->name), depth);
        PrintFrames(frame->frameFirstChild, depth + 1);
    }
}

void PrintMesh(const MeshContainer& container, const Frame& frame) {
    const Mesh& mesh = *container.meshData.mesh;
    uint32_t subsets = 0;
    mesh.GetAttributeTable(nullptr, &subsets);
    std::printf("  mesh '%s' in frame '%s': %u vertices, %u faces, %u subsets, %u bytes per vertex (FVF 0x%03X)\n",
                container.name != nullptr ? container.name : "", NameOf(frame.name), mesh.GetNumVertices(),
                mesh.GetNumFaces(), subsets, mesh.GetNumBytesPerVertex(), mesh.GetFVF());
    for (uint32_t i = 0; i < container.numMaterials; ++i) {
        const XMaterial& m = container.materials[i];
        std::printf("    material %u: diffuse (%.3f, %.3f, %.3f, %.3f), power %.3f, texture %s%s%s\n", i,
                    m.matD3D.diffuse.r, m.matD3D.diffuse.g, m.matD3D.diffuse.b, m.matD3D.diffuse.a, m.matD3D.power,
                    m.textureFilename.empty() ? "" : "'", m.textureFilename.empty() ? "none" : m.textureFilename.c_str(),
                    m.textureFilename.empty() ? "" : "'");
    }
    if (container.skinInfo == nullptr) return;
    const SkinInfo& skin = *container.skinInfo;
    std::printf("    skin: %u bones\n", skin.GetNumBones());
    for (uint32_t b = 0; b < skin.GetNumBones(); ++b)
        std::printf("      bone '%s': %u vertices\n", NameOf(skin.GetBoneName(b)), skin.GetNumBoneInfluences(b));
}

void PrintMeshes(const Frame* frame) {
    for (; frame != nullptr; frame = frame->frameSibling) {
        for (const MeshContainer* c = frame->meshContainer; c != nullptr; c = c->nextMeshContainer) PrintMesh(*c, *frame);
        PrintMeshes(frame->frameFirstChild);
    }
}

void PrintAnimation(const AnimationController* controller) {
    if (controller == nullptr) {
        std::printf("animation sets: 0\n");
        return;
    }
    std::printf("animation sets: %u\n", controller->GetNumAnimationSets());
    for (uint32_t s = 0; s < controller->GetNumAnimationSets(); ++s) {
        std::shared_ptr<AnimationSet> set;
        controller->GetAnimationSet(s, &set);
        std::printf("  set '%s': %u tracks, %.3f s at %.0f ticks per second\n", set->GetName(), set->GetNumAnimations(),
                    set->GetPeriod(), set->GetSourceTicksPerSecond());
        for (uint32_t a = 0; a < set->GetNumAnimations(); ++a) {
            const char* name = nullptr;
            set->GetAnimationNameByIndex(a, &name);
            std::printf("    track '%s': %u rotation, %u scale, %u position, %u matrix keys\n", name,
                        set->GetNumRotationKeys(a), set->GetNumScaleKeys(a), set->GetNumTranslationKeys(a),
                        set->GetNumMatrixKeys(a));
        }
    }
}

int Run(const char* path) {
    ReportingAllocator allocator;
    Frame* root = nullptr;
    std::shared_ptr<AnimationController> controller;
    std::string error;
    const Result r =
        LoadMeshHierarchyFromX(path, MeshOption::Managed, nullptr, &allocator, nullptr, &root, &controller, &error);
    if (Failed(r)) {
        std::fprintf(stderr, "%s\n", error.empty() ? "velor-xinfo: the file could not be read" : error.c_str());
        return 1;
    }
    std::printf("%s\nframes:\n", path);
    PrintFrames(root, 0);
    std::printf("meshes:\n");
    PrintMeshes(root);
    PrintAnimation(controller.get());
    FrameDestroy(root, &allocator);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<const char*> paths;
    const auto exit = velor::tools::ParsePathArguments(
        "velor-xinfo",
        "usage: velor-xinfo FILE.x\n"
        "Prints the frames, meshes, materials, bones and animation sets the engine's X-file reader makes\n"
        "of FILE.x, or the reader's error.\n",
        argc, argv, 1, 1, &paths);
    if (exit) return *exit;
    try {
        return Run(paths[0]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "velor-xinfo: %s\n", e.what());
        return 1;
    }
}
