// Keyframed animation sets: key lookup and interpolation (see animation_controller.h for the rules).
#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/math/d3dx_math.h"
#include "engine/mesh/animation_controller.h"

namespace velor {

namespace {

// The two keys around `ticks` and how far between them: both the same key outside the key range.
template <typename Key>
const Key* Bracket(const std::vector<Key>& keys, float ticks, const Key** next, float* t) {
    *t = 0.0f;
    if (ticks <= keys.front().time) {
        *next = &keys.front();
        return &keys.front();
    }
    if (ticks >= keys.back().time) {
        *next = &keys.back();
        return &keys.back();
    }
    auto after = std::upper_bound(keys.begin(), keys.end(), ticks, [](float v, const Key& k) { return v < k.time; });
    const Key* b = &*after;
    const Key* a = &*(after - 1);
    *next = b;
    const float span = b->time - a->time;
    *t = span > 0.0f ? (ticks - a->time) / span : 0.0f;
    return a;
}

Vector3 Lerp(const std::vector<KeyVector3>& keys, float ticks, const Vector3& fallback) {
    if (keys.empty()) return fallback;
    const KeyVector3* b = nullptr;
    float t = 0;
    const KeyVector3* a = Bracket(keys, ticks, &b, &t);
    return Vector3{a->value.x + (b->value.x - a->value.x) * t, a->value.y + (b->value.y - a->value.y) * t,
                   a->value.z + (b->value.z - a->value.z) * t};
}

Quaternion Slerp(const std::vector<KeyQuaternion>& keys, float ticks) {
    if (keys.empty()) return Quaternion{};
    const KeyQuaternion* b = nullptr;
    float t = 0;
    const KeyQuaternion* a = Bracket(keys, ticks, &b, &t);
    Quaternion q;
    QuaternionSlerp(&q, &a->value, &b->value, t);
    return q;
}

template <typename Keys>
float LastTime(const Keys& keys) {
    return keys.empty() ? 0.0f : keys.back().time;
}

}  // namespace

AnimationSet::AnimationSet(std::string name, double ticksPerSecond, PlaybackType playback)
    : name_(std::move(name)), ticksPerSecond_(ticksPerSecond > 0.0 ? ticksPerSecond : kDefaultTicksPerSecond),
      playback_(playback) {}

double AnimationSet::GetPeriod() const { return double(lastKeyTime_) / ticksPerSecond_; }

double AnimationSet::GetPeriodicPosition(double position) const {
    const double period = GetPeriod();
    if (!(period > 0.0) || !std::isfinite(position)) return 0.0;
    switch (playback_) {
    case PlaybackType::Once: return std::clamp(position, 0.0, period);
    case PlaybackType::PingPong: {
        double p = std::fmod(std::fabs(position), 2.0 * period);
        return p > period ? 2.0 * period - p : p;
    }
    case PlaybackType::Loop:
    default: {
        double p = std::fmod(position, period);
        return p < 0.0 ? p + period : p;
    }
    }
}

Result AnimationSet::GetAnimationNameByIndex(uint32_t index, const char** name) const {
    if (name == nullptr || index >= animations_.size()) return Result::InvalidCall;
    *name = animations_[index].name.c_str();
    return Result::Ok;
}

Result AnimationSet::GetAnimationIndexByName(const char* name, uint32_t* index) const {
    if (name == nullptr || index == nullptr) return Result::InvalidCall;
    for (uint32_t i = 0; i < animations_.size(); ++i)
        if (animations_[i].name == name) {
            *index = i;
            return Result::Ok;
        }
    return Result::NotAvailable;
}

uint32_t AnimationSet::GetNumScaleKeys(uint32_t a) const {
    return a < animations_.size() ? uint32_t(animations_[a].scale.size()) : 0;
}
uint32_t AnimationSet::GetNumRotationKeys(uint32_t a) const {
    return a < animations_.size() ? uint32_t(animations_[a].rotation.size()) : 0;
}
uint32_t AnimationSet::GetNumTranslationKeys(uint32_t a) const {
    return a < animations_.size() ? uint32_t(animations_[a].translation.size()) : 0;
}
uint32_t AnimationSet::GetNumMatrixKeys(uint32_t a) const {
    return a < animations_.size() ? uint32_t(animations_[a].matrix.size()) : 0;
}

Result AnimationSet::GetSRT(double periodicPosition, uint32_t animation, Vector3* scale, Quaternion* rotation,
                            Vector3* translation) const {
    if (animation >= animations_.size()) return Result::InvalidCall;
    const Animation& a = animations_[animation];
    const float ticks = float(periodicPosition * ticksPerSecond_);
    if (scale != nullptr) *scale = Lerp(a.scale, ticks, Vector3{1.0f, 1.0f, 1.0f});
    if (rotation != nullptr) *rotation = Slerp(a.rotation, ticks);
    if (translation != nullptr) *translation = Lerp(a.translation, ticks, Vector3{});
    return Result::Ok;
}

Result AnimationSet::GetTransform(double periodicPosition, uint32_t animation, Matrix* transform) const {
    if (transform == nullptr || animation >= animations_.size()) return Result::InvalidCall;
    const Animation& a = animations_[animation];
    const float ticks = float(periodicPosition * ticksPerSecond_);
    if (!a.matrix.empty()) {
        const KeyMatrix* next = nullptr;
        float t = 0;
        const KeyMatrix* key = Bracket(a.matrix, ticks, &next, &t);
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c)
                transform->m[r][c] = key->value.m[r][c] + (next->value.m[r][c] - key->value.m[r][c]) * t;
        return Result::Ok;
    }
    Vector3 scale, translation;
    Quaternion rotation;
    GetSRT(periodicPosition, animation, &scale, &rotation, &translation);
    Matrix s, r;
    MatrixScaling(&s, scale.x, scale.y, scale.z);
    MatrixRotationQuaternion(&r, &rotation);
    MatrixMultiply(transform, &s, &r);
    transform->m[3][0] += translation.x;
    transform->m[3][1] += translation.y;
    transform->m[3][2] += translation.z;
    return Result::Ok;
}

Result AnimationSet::RegisterAnimationKeys(const char* name, std::vector<KeyVector3> scaleKeys,
                                           std::vector<KeyQuaternion> rotationKeys,
                                           std::vector<KeyVector3> translationKeys, std::vector<KeyMatrix> matrixKeys,
                                           uint32_t* index) {
    if (name == nullptr) return Result::InvalidCall;
    auto sorted = [](const auto& keys) {
        return std::is_sorted(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.time < b.time; });
    };
    if (!sorted(scaleKeys) || !sorted(rotationKeys) || !sorted(translationKeys) || !sorted(matrixKeys))
        return Result::InvalidCall;
    lastKeyTime_ = std::max({lastKeyTime_, LastTime(scaleKeys), LastTime(rotationKeys), LastTime(translationKeys),
                             LastTime(matrixKeys)});
    animations_.push_back(Animation{name, std::move(scaleKeys), std::move(rotationKeys), std::move(translationKeys),
                                    std::move(matrixKeys)});
    if (index != nullptr) *index = uint32_t(animations_.size() - 1);
    return Result::Ok;
}

}  // namespace velor
