// LoadMeshHierarchyFromX: frames and mesh containers made through the caller's allocator, and the
// animation controller of the file's animation sets.
//
// Each frame is linked into the tree as soon as the allocator returns it, so that a failure at any
// later point can hand the whole partial tree back through FrameDestroy. Sibling chains are walked
// in loops and only children recurse: nesting depth is bounded by the parser, sibling counts are not.
#include "engine/mesh/frame_hierarchy.h"

#include <cstring>
#include <vector>

#include "engine/math/d3dx_math.h"
#include "engine/mesh/xfile/xfile_mesh_builder.h"
#include "engine/mesh/xfile/xfile_parser.h"
#include "engine/mesh/xfile/xfile_scene.h"

namespace velor {

namespace {

constexpr uint32_t kControllerTracks = 2;
constexpr uint32_t kControllerEvents = 30;

struct LoadContext {
    std::string_view label;
    uint32_t options;
    Device* device;
    AllocateHierarchy* allocate;
    std::string* error;

    Result Fail(Result r, uint32_t line, const std::string& message) const {
        if (error != nullptr) *error = XFileError(label, line, message);
        return Failed(r) ? r : Result::Fail;
    }
};

Result AddMeshContainer(const XMeshData& data, const LoadContext& context, Frame* frame) {
    const std::string title = data.name.empty() ? "a mesh" : "mesh '" + data.name + "'";
    BuiltMesh built;
    if (!XMeshElements({&data}, &built.elements, nullptr))
        return context.Fail(Result::InvalidData, data.line, title + " has more vertex elements than a declaration holds");
    AppendXMesh(data, nullptr, 0, &built);
    if (built.attributes.empty()) return context.Fail(Result::InvalidData, data.line, "expected faces in " + title + ", found none");
    std::shared_ptr<Mesh> mesh;
    std::vector<uint32_t> adjacency;
    Result r = CreateMeshFromBuilt(built, context.options, context.device, &mesh, &adjacency);
    if (Failed(r)) return context.Fail(r, data.line, title + " could not be created");
    const std::shared_ptr<SkinInfo> skin = CreateSkinInfoFromX(data, built, *mesh);
    MeshData meshData{MeshDataType::Mesh, mesh};
    std::vector<EffectInstance> effects;
    for (const auto& material : built.materials) effects.push_back(EffectInstanceOf(material));
    MeshContainer* container = nullptr;
    r = context.allocate->CreateMeshContainer(data.name.c_str(), &meshData,
                                              built.materials.empty() ? nullptr : built.materials.data(),
                                              effects.empty() ? nullptr : effects.data(),
                                              uint32_t(built.materials.size()), adjacency.data(), skin, &container);
    if (Failed(r)) return context.Fail(r, data.line, "the allocator refused the container of " + title);
    if (container == nullptr) return Result::Ok;
    container->nextMeshContainer = nullptr;
    MeshContainer** link = &frame->meshContainer;
    while (*link != nullptr) link = &(*link)->nextMeshContainer;
    *link = container;
    return Result::Ok;
}

// Makes the frame through the allocator and links it at *link before filling it in.
Result AddFrame(const char* name, const LoadContext& context, Frame** link, Frame** made) {
    Frame* frame = nullptr;
    Result r = context.allocate->CreateFrame(name, &frame);
    if (Failed(r) || frame == nullptr)
        return context.Fail(Failed(r) ? r : Result::OutOfMemory, 1, "the allocator refused a frame");
    frame->meshContainer = nullptr;
    frame->frameSibling = nullptr;
    frame->frameFirstChild = nullptr;
    *link = frame;
    *made = frame;
    return Result::Ok;
}

Result BuildFrame(const XFrameData& data, const LoadContext& context, Frame** link) {
    Frame* frame = nullptr;
    Result r = AddFrame(data.name.c_str(), context, link, &frame);
    if (Failed(r)) return r;
    frame->transformationMatrix = data.transform;
    for (const auto& mesh : data.meshes)
        if (Result m = AddMeshContainer(mesh, context, frame); Failed(m)) return m;
    Frame** childLink = &frame->frameFirstChild;
    for (const auto& child : data.children) {
        if (Result c = BuildFrame(child, context, childLink); Failed(c)) return c;
        childLink = &(*childLink)->frameSibling;
    }
    return Result::Ok;
}

Result BuildController(const XFileData& data, Frame* root, std::shared_ptr<AnimationController>* controller) {
    std::shared_ptr<AnimationController> result;
    Result r = CreateAnimationController(FrameNumNamedMatrices(root), uint32_t(data.animationSets.size()),
                                         kControllerTracks, kControllerEvents, &result);
    if (Failed(r)) return r;
    FrameRegisterNamedMatrices(root, result.get());
    const double ticks = data.ticksPerSecond > 0 ? double(data.ticksPerSecond) : kDefaultTicksPerSecond;
    for (const auto& setData : data.animationSets) {
        auto set = std::make_shared<AnimationSet>(setData.name, ticks, PlaybackType::Loop);
        for (const auto& animation : setData.animations) {
            std::vector<KeyVector3> scale, translation;
            std::vector<KeyQuaternion> rotation;
            std::vector<KeyMatrix> matrix;
            for (const auto& k : animation.scaleKeys) scale.push_back({float(k.time), k.value});
            for (const auto& k : animation.positionKeys) translation.push_back({float(k.time), k.value});
            for (const auto& k : animation.rotationKeys) rotation.push_back({float(k.time), k.value});
            for (const auto& k : animation.matrixKeys) matrix.push_back({float(k.time), k.value});
            set->RegisterAnimationKeys(animation.frameName.c_str(), std::move(scale), std::move(rotation),
                                       std::move(translation), std::move(matrix), nullptr);
        }
        result->RegisterAnimationSet(set);
    }
    std::shared_ptr<AnimationSet> first;
    result->GetAnimationSet(0, &first);
    result->SetTrackAnimationSet(0, first);
    result->SetTrackEnable(0, true);
    *controller = std::move(result);
    return Result::Ok;
}

Result LoadFromData(const XFileData& data, const LoadContext& context, Frame** frameHierarchy,
                    std::shared_ptr<AnimationController>* animationController) {
    if (data.frames.empty() && data.meshes.empty())
        return context.Fail(Result::InvalidData, 1, "expected a Frame or a Mesh, the file holds neither");
    Frame* root = nullptr;
    Result r = Result::Ok;
    if (data.frames.size() == 1 && data.meshes.empty()) {
        r = BuildFrame(data.frames.front(), context, &root);
    } else {
        // Several top-level objects share an identity root.
        Frame* made = nullptr;
        r = AddFrame(nullptr, context, &root, &made);
        if (Succeeded(r)) {
            MatrixIdentity(&made->transformationMatrix);
            for (const auto& mesh : data.meshes) {
                r = AddMeshContainer(mesh, context, made);
                if (Failed(r)) break;
            }
            Frame** link = &made->frameFirstChild;
            for (size_t i = 0; Succeeded(r) && i < data.frames.size(); ++i) {
                r = BuildFrame(data.frames[i], context, link);
                if (Succeeded(r)) link = &(*link)->frameSibling;
            }
        }
    }
    if (Succeeded(r) && animationController != nullptr && !data.animationSets.empty())
        r = BuildController(data, root, animationController);
    if (Failed(r)) {
        FrameDestroy(root, context.allocate);
        return r;
    }
    *frameHierarchy = root;
    return Result::Ok;
}

}  // namespace

Result LoadMeshHierarchyFromXInMemory(std::string_view bytes, std::string_view label, uint32_t meshOptions,
                                      Device* device, AllocateHierarchy* allocate, LoadUserData* userDataLoader,
                                      Frame** frameHierarchy, std::shared_ptr<AnimationController>* animationController,
                                      std::string* errorMessage) {
    (void)userDataLoader;
    if (allocate == nullptr || frameHierarchy == nullptr) return Result::InvalidCall;
    *frameHierarchy = nullptr;
    if (animationController != nullptr) *animationController = nullptr;
    XFileData data;
    Result r = ReadXFileFromMemory(bytes, label, &data, errorMessage);
    if (Failed(r)) return r;
    return LoadFromData(data, LoadContext{label, meshOptions, device, allocate, errorMessage}, frameHierarchy,
                        animationController);
}

Result LoadMeshHierarchyFromX(const char* filename, uint32_t meshOptions, Device* device, AllocateHierarchy* allocate,
                              LoadUserData* userDataLoader, Frame** frameHierarchy,
                              std::shared_ptr<AnimationController>* animationController, std::string* errorMessage) {
    (void)userDataLoader;
    if (filename == nullptr || allocate == nullptr || frameHierarchy == nullptr) return Result::InvalidCall;
    *frameHierarchy = nullptr;
    if (animationController != nullptr) *animationController = nullptr;
    XFileData data;
    Result r = ReadXFile(filename, &data, errorMessage);
    if (Failed(r)) return r;
    return LoadFromData(data, LoadContext{filename, meshOptions, device, allocate, errorMessage}, frameHierarchy,
                        animationController);
}

// D3DX's order: a frame, then everything reachable from its next sibling, then its first child's
// branch. Along a sibling chain that means every name of the chain first, then the children of the
// chain's frames from the last frame back to the first; the chain is walked in a loop and only the
// children recurse.
Frame* FrameFind(const Frame* frameRoot, const char* name) {
    auto matches = [name](const Frame* frame) {
        if (name == nullptr) return frame->name == nullptr;
        return frame->name != nullptr && std::strcmp(frame->name, name) == 0;
    };
    std::vector<const Frame*> chain;
    for (const Frame* frame = frameRoot; frame != nullptr; frame = frame->frameSibling) {
        if (matches(frame)) return const_cast<Frame*>(frame);
        chain.push_back(frame);
    }
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        if (Frame* found = FrameFind((*it)->frameFirstChild, name)) return found;
    return nullptr;
}

Result FrameDestroy(Frame* frameRoot, AllocateHierarchy* allocate) {
    if (allocate == nullptr) return Result::InvalidCall;
    Frame* frame = frameRoot;
    while (frame != nullptr) {
        Frame* sibling = frame->frameSibling;
        FrameDestroy(frame->frameFirstChild, allocate);
        MeshContainer* container = frame->meshContainer;
        while (container != nullptr) {
            MeshContainer* next = container->nextMeshContainer;
            allocate->DestroyMeshContainer(container);
            container = next;
        }
        allocate->DestroyFrame(frame);
        frame = sibling;
    }
    return Result::Ok;
}

uint32_t FrameNumNamedMatrices(const Frame* frameRoot) {
    uint32_t count = 0;
    for (const Frame* frame = frameRoot; frame != nullptr; frame = frame->frameSibling) {
        if (frame->name != nullptr && frame->name[0] != '\0') ++count;
        count += FrameNumNamedMatrices(frame->frameFirstChild);
    }
    return count;
}

Result FrameRegisterNamedMatrices(Frame* frameRoot, AnimationController* controller) {
    if (controller == nullptr) return Result::InvalidCall;
    for (Frame* frame = frameRoot; frame != nullptr; frame = frame->frameSibling) {
        if (frame->name != nullptr && frame->name[0] != '\0')
            controller->RegisterAnimationOutput(frame->name, &frame->transformationMatrix, nullptr, nullptr, nullptr);
        FrameRegisterNamedMatrices(frame->frameFirstChild, controller);
    }
    return Result::Ok;
}

}  // namespace velor
