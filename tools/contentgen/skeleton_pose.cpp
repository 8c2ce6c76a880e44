#include "tools/contentgen/skeleton_pose.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <string>

namespace velor::content {
namespace {

Quat Slerp(Quat a, Quat b, float t) {
    float d = a.w * b.w + a.x * b.x + a.y * b.y + a.z * b.z;
    if (d < 0) {
        b = {-b.w, -b.x, -b.y, -b.z};
        d = -d;
    }
    float wa = 1 - t, wb = t;
    if (d < 0.9995f) {
        const float angle = std::acos(d);
        wa = std::sin((1 - t) * angle) / std::sin(angle);
        wb = std::sin(t * angle) / std::sin(angle);
    }
    Quat q{a.w * wa + b.w * wb, a.x * wa + b.x * wb, a.y * wa + b.y * wb, a.z * wa + b.z * wb};
    const float l = std::sqrt(q.w * q.w + q.x * q.x + q.y * q.y + q.z * q.z);
    return {q.w / l, q.x / l, q.y / l, q.z / l};
}

template <class Key, class Value, class Interp>
Value Sample(const std::vector<Key>& keys, float ticks, Value fallback, Interp interp) {
    if (keys.empty()) return fallback;
    if (ticks <= float(keys.front().time)) return keys.front().value;
    for (size_t i = 0; i + 1 < keys.size(); ++i) {
        if (ticks <= float(keys[i + 1].time)) {
            const float span = float(keys[i + 1].time - keys[i].time);
            return interp(keys[i].value, keys[i + 1].value, span > 0 ? (ticks - float(keys[i].time)) / span : 0.0f);
        }
    }
    return keys.back().value;
}

void Combine(const Frame& f, const Mat4& parent, bool isRoot, const std::map<std::string, Mat4>& local,
             std::map<std::string, Mat4>& combined) {
    // The demo never applies the root's own transform: the root stays at the identity.
    const Mat4 own = isRoot ? Mat4::Identity() : local.at(f.name) * parent;
    combined[f.name] = own;
    for (const Frame& c : f.children) Combine(c, own, false, local, combined);
}

void CollectLocal(const Frame& f, std::map<std::string, Mat4>& local) {
    local[f.name] = f.transform;
    for (const Frame& c : f.children) CollectLocal(c, local);
}

const Mesh* FindSkinned(const Frame& f) {
    for (const Mesh& m : f.meshes)
        if (!m.skin.empty()) return &m;
    for (const Frame& c : f.children)
        if (const Mesh* m = FindSkinned(c)) return m;
    return nullptr;
}

}  // namespace

std::vector<Vec3> PoseSkinnedMesh(const XFile& file, float seconds) {
    if (file.frames.empty()) return {};
    const Mesh* mesh = FindSkinned(file.frames[0]);
    if (!mesh) return {};
    std::map<std::string, Mat4> local;
    CollectLocal(file.frames[0], local);
    if (!file.animationSets.empty()) {
        const AnimationSet& set = file.animationSets[0];
        uint32_t period = 0;
        for (const AnimationTrack& t : set.tracks) {
            for (const auto& k : t.rotations) period = std::max(period, k.time);
            for (const auto& k : t.positions) period = std::max(period, k.time);
            for (const auto& k : t.scales) period = std::max(period, k.time);
        }
        const float tps = float(file.ticksPerSecond ? file.ticksPerSecond : 4800);
        float ticks = seconds * tps;
        if (period > 0) ticks = std::fmod(ticks, float(period));
        for (const AnimationTrack& t : set.tracks) {
            auto lerp3 = [](const Vec3& a, const Vec3& b, float k) { return Lerp(a, b, k); };
            const Vec3 s = Sample(t.scales, ticks, Vec3{1, 1, 1}, lerp3);
            const Quat q = Sample(t.rotations, ticks, Quat{}, Slerp);
            const Vec3 p = Sample(t.positions, ticks, Vec3{}, lerp3);
            local[t.frame] = Mat4::Scaling(s) * RotationFromQuat(q) * Mat4::Translation(p);
        }
    }
    std::map<std::string, Mat4> combined;
    Combine(file.frames[0], Mat4::Identity(), true, local, combined);

    std::vector<Vec3> out(mesh->vertices.size());
    for (const SkinWeights& w : mesh->skin) {
        const Mat4 m = w.offset * combined.at(w.bone);
        for (size_t i = 0; i < w.vertices.size(); ++i) {
            out[w.vertices[i]] += m.TransformPoint(mesh->vertices[w.vertices[i]].position) * w.weights[i];
        }
    }
    return out;
}

}  // namespace velor::content
