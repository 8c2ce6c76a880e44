// AnimationSet, Animation, AnimationKey and AnimationOptions.
// Rotation keys hold (w, x, y, z) and are kept as that quaternion, unchanged; matrix keys are type 4
// (type 3 is accepted too, as some references list it). Keys are ordered by time.
#include <algorithm>

#include "engine/mesh/xfile/xfile_cursor.h"
#include "engine/mesh/xfile/xfile_readers.h"

namespace velor {

namespace {

enum KeyType : uint32_t { kRotationKey = 0, kScaleKey = 1, kPositionKey = 2, kMatrixKeyOld = 3, kMatrixKey = 4 };

template <typename T>
void SortByTime(std::vector<XKey<T>>* keys) {
    std::stable_sort(keys->begin(), keys->end(), [](const XKey<T>& a, const XKey<T>& b) { return a.time < b.time; });
}

bool ReadKeys(const XObject& object, const XDocument& document, XAnimationData* animation, std::string* error) {
    XCursor in(object, document.label, error);
    uint32_t type = 0, count = 0;
    const uint32_t typeLine = in.Line();
    if (!in.Uint(&type, "the key type")) return false;
    uint32_t valuesPerKey = 0;
    const char* kind = "";
    switch (type) {
    case kRotationKey: valuesPerKey = 4; kind = "rotation"; break;
    case kScaleKey: valuesPerKey = 3; kind = "scale"; break;
    case kPositionKey: valuesPerKey = 3; kind = "position"; break;
    case kMatrixKeyOld:
    case kMatrixKey: valuesPerKey = 16; kind = "matrix"; break;
    default:
        return in.Fail(typeLine, "expected a key type 0 (rotation), 1 (scale), 2 (position) or 4 (matrix), found " +
                                     std::to_string(type));
    }
    if (!in.Uint(&count, "the key count") || !in.Expect(count, 2 + valuesPerKey, std::string(kind) + " keys"))
        return false;
    for (uint32_t k = 0; k < count; ++k) {
        uint32_t time = 0, values = 0;
        const uint32_t line = in.Line();
        if (!in.Uint(&time, "a key time") || !in.Uint(&values, "the value count of a key")) return false;
        if (values != valuesPerKey)
            return in.Fail(line, "key " + std::to_string(k) + ": expected " + std::to_string(valuesPerKey) +
                                     " values for a " + kind + " key, found " + std::to_string(values));
        switch (type) {
        case kRotationKey: {
            XKey<Quaternion> key{time, {}};
            if (!in.Float(&key.value.w, "a quaternion w") || !in.Float(&key.value.x, "a quaternion x") ||
                !in.Float(&key.value.y, "a quaternion y") || !in.Float(&key.value.z, "a quaternion z"))
                return false;
            animation->rotationKeys.push_back(key);
            break;
        }
        case kScaleKey:
        case kPositionKey: {
            XKey<Vector3> key{time, {}};
            if (!in.Vec3(&key.value, type == kScaleKey ? "a scale" : "a position")) return false;
            (type == kScaleKey ? animation->scaleKeys : animation->positionKeys).push_back(key);
            break;
        }
        default: {
            XKey<Matrix> key{time, {}};
            if (!in.Mat(&key.value, "a matrix key")) return false;
            animation->matrixKeys.push_back(key);
            break;
        }
        }
    }
    return true;
}

}  // namespace

bool ReadAnimationObject(const XObject& object, const XDocument& document, XAnimationData* animation,
                         std::string* error) {
    *animation = XAnimationData{};
    animation->name = object.name;
    bool haveTarget = false;
    for (const auto& child : object.children) {
        if (child.isReference) {
            if (haveTarget) continue;
            if (ResolveReference(child, document, error) == nullptr) return false;
            animation->frameName = child.name;
            haveTarget = true;
        } else if (IsTemplate(child, "AnimationKey")) {
            if (!ReadKeys(child, document, animation, error)) return false;
        } else if (IsTemplate(child, "AnimationOptions")) {
            XCursor in(child, document.label, error);
            uint32_t closed = 0, quality = 0;
            if (!in.Uint(&closed, "the open/closed flag") || !in.Uint(&quality, "the position quality")) return false;
            animation->closed = closed != 0;
            animation->positionQuality = quality;
        }
    }
    SortByTime(&animation->rotationKeys);
    SortByTime(&animation->scaleKeys);
    SortByTime(&animation->positionKeys);
    SortByTime(&animation->matrixKeys);
    return true;
}

bool ReadAnimationSetObject(const XObject& object, const XDocument& document, XAnimationSetData* set,
                            std::string* error) {
    *set = XAnimationSetData{};
    set->name = object.name;
    for (const auto& child : object.children) {
        if (!IsTemplate(child, "Animation")) continue;
        set->animations.emplace_back();
        if (!ReadAnimationObject(child, document, &set->animations.back(), error)) return false;
    }
    return true;
}

}  // namespace velor
