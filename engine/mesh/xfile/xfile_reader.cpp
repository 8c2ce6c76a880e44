// Reads an X file into frames, meshes and animation sets: the top-level objects and the frame tree.
// Objects of templates not read here (Header, templates of other tools) are skipped.
#include <fstream>
#include <iterator>
#include <set>

#include "engine/math/d3dx_math.h"
#include "engine/mesh/xfile/xfile_cursor.h"
#include "engine/mesh/xfile/xfile_readers.h"

namespace velor {

namespace {

constexpr std::streamoff kMaxFileBytes = 256 << 20;

bool ReadFrameObject(const XObject& object, const XDocument& document, std::set<const XObject*>* referencedMeshes,
                     XFrameData* frame, std::string* error) {
    frame->name = object.name;
    MatrixIdentity(&frame->transform);
    // The product of the transform blocks read so far: what a mesh or child frame read now is placed by.
    Matrix placement;
    MatrixIdentity(&placement);
    for (const auto& child : object.children) {
        const XObject* target = &child;
        if (child.isReference) {
            target = ResolveReference(child, document, error);
            if (target == nullptr) return false;
            // Only meshes are instanced by reference; a frame reference would make a cycle.
            if (!IsTemplate(*target, "Mesh")) continue;
            referencedMeshes->insert(target);
        }
        if (IsTemplate(*target, "FrameTransformMatrix")) {
            // A second block replaces the first as the frame's matrix, as D3DX keeps the last.
            XCursor in(*target, document.label, error);
            if (!in.Mat(&frame->transform, "a frame transform matrix element")) return false;
            MatrixMultiply(&placement, &frame->transform, &placement);
        } else if (IsTemplate(*target, "Frame")) {
            frame->children.emplace_back();
            frame->childPlacements.push_back(placement);
            if (!ReadFrameObject(*target, document, referencedMeshes, &frame->children.back(), error)) return false;
        } else if (IsTemplate(*target, "Mesh")) {
            frame->meshes.emplace_back();
            frame->meshPlacements.push_back(placement);
            if (!ReadMeshObject(*target, document, &frame->meshes.back(), error)) return false;
        }
    }
    return true;
}

}  // namespace

const XObject* ResolveReference(const XObject& reference, const XDocument& document, std::string* error) {
    const XObject* target = reference.name.empty() ? nullptr : document.Find(reference.name);
    if (target == nullptr && error != nullptr)
        *error = XFileError(document.label, reference.line,
                            reference.name.empty() ? "expected a name in the reference (references by GUID alone are not supported)"
                                                   : "reference to unknown object '" + reference.name + "'");
    return target;
}

Result ReadXFileFromMemory(std::string_view text, std::string_view label, XFileData* data, std::string* error) {
    if (data == nullptr) return Result::InvalidCall;
    *data = XFileData{};
    XDocument document;
    Result r = ParseXDocument(text, label, &document, error);
    if (Failed(r)) return r;

    std::set<const XObject*> referencedMeshes;
    XAnimationSetData looseAnimations;  // Animation objects outside any set
    for (const auto& object : document.objects) {
        bool ok = true;
        if (IsTemplate(object, "Frame")) {
            data->frames.emplace_back();
            ok = ReadFrameObject(object, document, &referencedMeshes, &data->frames.back(), error);
        } else if (IsTemplate(object, "AnimationSet")) {
            data->animationSets.emplace_back();
            ok = ReadAnimationSetObject(object, document, &data->animationSets.back(), error);
        } else if (IsTemplate(object, "Animation")) {
            looseAnimations.animations.emplace_back();
            ok = ReadAnimationObject(object, document, &looseAnimations.animations.back(), error);
        } else if (IsTemplate(object, "AnimTicksPerSecond")) {
            XCursor in(object, document.label, error);
            const uint32_t line = in.Line();
            ok = in.Uint(&data->ticksPerSecond, "the ticks per second");
            if (ok && data->ticksPerSecond == 0) ok = in.Fail(line, "expected a tick rate above 0, found 0");
        }
        if (!ok) return Result::InvalidData;
    }
    // Top-level meshes that no frame instances stand on their own.
    for (const auto& object : document.objects) {
        if (!IsTemplate(object, "Mesh") || referencedMeshes.count(&object) != 0) continue;
        data->meshes.emplace_back();
        if (!ReadMeshObject(object, document, &data->meshes.back(), error)) return Result::InvalidData;
    }
    if (!looseAnimations.animations.empty()) data->animationSets.push_back(std::move(looseAnimations));
    return Result::Ok;
}

Result ReadXFile(const char* path, XFileData* data, std::string* error) {
    if (path == nullptr || data == nullptr) return Result::InvalidCall;
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        if (error != nullptr) *error = std::string(path) + ": cannot open the file";
        return Result::Fail;
    }
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    if (size < 0 || size > kMaxFileBytes) {
        if (error != nullptr) *error = std::string(path) + ": the file is too large to be an X file read here";
        return Result::InvalidData;
    }
    file.seekg(0, std::ios::beg);
    std::string text(size_t(size), '\0');
    if (!file.read(text.data(), size)) {
        if (error != nullptr) *error = std::string(path) + ": cannot read the file";
        return Result::InvalidData;
    }
    return ReadXFileFromMemory(text, path, data, error);
}

}  // namespace velor
