// iskelet.x: the dancing skeleton of the forest scene.
//
// What the demo does with it decides its shape. The figure is drawn at (-200, -200, -200), out of
// sight, except on the window's first frame; what the audience sees are two swarms of points that
// crawl from (1.5, 0.1, 1.5) toward its skinned vertices (mirrored in x, z scaled by 0.9), read in
// the mesh's own space, at 1/15 unit per second for 16 seconds. So the figure is about 1.7 units
// tall and centred on its origin (nothing farther than about one unit), it faces -z (toward the
// forest camera), and it has a moderate number of vertices because every vertex is drawn twice per
// frame as a point sprite.
//
// Rig: a Root frame (the demo never applies the root's own transform), then Pelvis with the spine,
// arms and legs below it, and a sibling frame holding the one skinned mesh. Every bone's rest
// rotation is the identity: the mesh is modelled in the dance's middle pose and the keys only swing
// each joint sinusoidally about it, so the motion stays plausible even if a reader takes the
// stored quaternions as their inverse (that only shifts each swing by half a cycle).
#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <string>

#include "tools/contentgen/canvas.h"
#include "tools/contentgen/content_names.h"
#include "tools/contentgen/mesh_builder.h"
#include "tools/contentgen/meshes.h"

namespace velor::content {
namespace {

constexpr uint32_t kTicksPerSecond = 4800;
constexpr float kCycleSeconds = 1.6f;   // the demo plays it at 0.2x: one cycle per 8 s on screen
constexpr int kKeysPerCycle = 16;
constexpr float kLift = 0.04f;          // added to every height once the figure is built

struct BoneSpec {
    const char* name;
    const char* parent;   // nullptr: child of Root
    Vec3 position;        // bind-pose position in mesh space
};

// Bind pose, mesh space. The figure's left side is +x (it faces -z).
const BoneSpec kBones[] = {
    {"Pelvis", nullptr, {0.0f, 0.03f, 0.0f}},
    {"Spine", "Pelvis", {0.0f, 0.15f, 0.01f}},
    {"Chest", "Spine", {0.0f, 0.36f, 0.02f}},
    {"Neck", "Chest", {0.0f, 0.55f, 0.01f}},
    {"Head", "Neck", {0.0f, 0.62f, 0.0f}},
    {"L_Clavicle", "Chest", {0.03f, 0.50f, -0.03f}},
    {"L_UpperArm", "L_Clavicle", {0.19f, 0.50f, 0.0f}},
    {"L_Forearm", "L_UpperArm", {0.405f, 0.32f, 0.0f}},
    {"L_Hand", "L_Forearm", {0.56f, 0.17f, -0.12f}},
    {"R_Clavicle", "Chest", {-0.03f, 0.50f, -0.03f}},
    {"R_UpperArm", "R_Clavicle", {-0.19f, 0.50f, 0.0f}},
    {"R_Forearm", "R_UpperArm", {-0.405f, 0.32f, 0.0f}},
    {"R_Hand", "R_Forearm", {-0.56f, 0.17f, -0.12f}},
    {"L_Thigh", "Pelvis", {0.1f, -0.02f, 0.0f}},
    {"L_Shin", "L_Thigh", {0.12f, -0.42f, -0.03f}},
    {"L_Foot", "L_Shin", {0.12f, -0.79f, 0.03f}},
    {"R_Thigh", "Pelvis", {-0.1f, -0.02f, 0.0f}},
    {"R_Shin", "R_Thigh", {-0.12f, -0.42f, -0.03f}},
    {"R_Foot", "R_Shin", {-0.12f, -0.79f, 0.03f}},
};
constexpr int kBoneCount = int(sizeof(kBones) / sizeof(kBones[0]));

int BoneIndex(const std::string& name) {
    for (int i = 0; i < kBoneCount; ++i)
        if (name == kBones[i].name) return i;
    return -1;
}

Vec3 BonePos(const char* name) { return kBones[BoneIndex(name)].position; }

// Up to two influences per vertex; weights are rounded to the six decimals the file keeps, and the
// first is 1 minus the second, so the written numbers add up to exactly 1.
struct Influence {
    int bone0 = 0, bone1 = -1;
    float weight1 = 0;   // of bone1
};

Influence Blend(const char* a, const char* b, float weightOfB) {
    Influence in;
    in.bone0 = BoneIndex(a);
    weightOfB = std::round(Clamp01(weightOfB) * 1e6f) / 1e6f;
    if (b && weightOfB > 0) {
        in.bone1 = BoneIndex(b);
        in.weight1 = weightOfB;
    }
    return in;
}

class SkinBuilder {
public:
    explicit SkinBuilder(Mesh& mesh) : mesh_(mesh), builder_(mesh) {}

    MeshBuilder& Builder() { return builder_; }

    // Everything added since the last call gets its influences from rule(position).
    void Bind(const std::function<Influence(const Vec3&)>& rule) {
        for (size_t v = bound_; v < mesh_.vertices.size(); ++v) influences_.push_back(rule(mesh_.vertices[v].position));
        bound_ = mesh_.vertices.size();
    }
    void BindRigid(const char* bone) {
        Bind([bone](const Vec3&) { return Blend(bone, nullptr, 0); });
    }
    // A limb from bone a's joint toward the next joint: near the far end it blends into bone b.
    void BindLimb(const char* a, const char* b, const Vec3& from, const Vec3& to) {
        Bind([=](const Vec3& p) {
            const Vec3 axis = to - from;
            const float t = Dot(p - from, axis) / Dot(axis, axis);
            return Blend(a, b, b ? 0.5f * Smoothstep(0.8f, 1.05f, t) : 0.0f);
        });
    }

    void Finish() {
        mesh_.skin.clear();
        for (int b = 0; b < kBoneCount; ++b) {
            SkinWeights s;
            s.bone = kBones[b].name;
            s.offset = Mat4::Translation(-kBones[b].position);
            for (size_t v = 0; v < influences_.size(); ++v) {
                const Influence& in = influences_[v];
                const float w1 = in.bone1 >= 0 ? in.weight1 : 0.0f;
                // A blend that came out whole on the second bone leaves nothing for the first;
                // zero weights are not written.
                if (in.bone0 == b && w1 < 1.0f) {
                    s.vertices.push_back(uint32_t(v));
                    s.weights.push_back(float(1000000 - int(std::lround(w1 * 1e6f))) / 1e6f);
                } else if (in.bone1 == b) {
                    s.vertices.push_back(uint32_t(v));
                    s.weights.push_back(w1);
                }
            }
            if (!s.vertices.empty()) mesh_.skin.push_back(std::move(s));
        }
    }

private:
    Mesh& mesh_;
    MeshBuilder builder_;
    size_t bound_ = 0;
    std::vector<Influence> influences_;
};

std::vector<Vec3> Segment(const Vec3& a, const Vec3& b, int points) {
    std::vector<Vec3> path;
    for (int i = 0; i < points; ++i) path.push_back(Lerp(a, b, float(i) / float(points - 1)));
    return path;
}

// A long bone: thick rounded ends, slim shaft.
std::vector<float> BoneRadii(int points, float shaft, float knob) {
    std::vector<float> r;
    for (int i = 0; i < points; ++i) {
        const float t = float(i) / float(points - 1);
        const float end = std::max(Smoothstep(0.3f, 0.0f, t), Smoothstep(0.7f, 1.0f, t));
        r.push_back(shaft + (knob - shaft) * end);
    }
    return r;
}

void AddLongBone(SkinBuilder& s, const char* bone, const char* next, const Vec3& from, const Vec3& to, float shaft,
                 float knob) {
    // Stop just short of the joints so neighbouring bones read as separate pieces.
    const Vec3 a = Lerp(from, to, 0.04f), b = Lerp(from, to, 0.96f);
    AddTube(s.Builder(), Segment(a, b, 5), BoneRadii(5, shaft, knob), 6, 1.0f, 2.0f);
    s.BindLimb(bone, next, from, to);
}

void AddBlob(SkinBuilder& s, const Vec3& centre, const Vec3& radii, int slices, int stacks) {
    AddUvSphere(s.Builder(), Mat4::Scaling(radii) * Mat4::Translation(centre), 1.0f, slices, stacks, 1.0f, 1.0f);
}

// The cranium with two eye sockets. The figure is seen mostly as one additive glowing follower per
// vertex, with nothing hiding the back of the head behind the face, so a socket has to be an
// absence of vertices straight through the head along the line of sight: two holes front to back.
// Built apart and copied without the triangles that touch a socket, or the vertices only those used.
void AddSkull(SkinBuilder& s) {
    constexpr Vec3 kCentre{0, 0.735f, 0.005f};
    Mesh cranium;
    MeshBuilder b(cranium);
    AddUvSphere(b, Mat4::Scaling({0.085f, 0.105f, 0.1f}) * Mat4::Translation(kCentre), 1.0f, 18, 12, 1.0f, 1.0f);
    // The face looks toward -z; the holes run along z.
    auto inSocket = [&](const Vec3& p) {
        for (float side : {-1.0f, 1.0f}) {
            const float dx = (p.x - side * 0.033f) / 0.026f, dy = (p.y - 0.728f) / 0.022f;
            if (dx * dx + dy * dy < 1.0f) return true;
        }
        return false;
    };
    std::vector<uint32_t> remap(cranium.vertices.size(), UINT32_MAX);
    for (const Face& f : cranium.faces) {
        const Vertex* v[3] = {&cranium.vertices[f.a], &cranium.vertices[f.b], &cranium.vertices[f.c]};
        if (inSocket(v[0]->position) || inSocket(v[1]->position) || inSocket(v[2]->position)) continue;
        uint32_t index[3];
        const uint32_t source[3] = {f.a, f.b, f.c};
        for (int k = 0; k < 3; ++k) {
            uint32_t& r = remap[source[k]];
            if (r == UINT32_MAX) r = s.Builder().AddVertex(v[k]->position, v[k]->normal, v[k]->uv);
            index[k] = r;
        }
        s.Builder().AddTriangle(index[0], index[1], index[2]);
    }
}

Mesh BuildFigure() {
    Mesh mesh;
    mesh.name = "SkeletonBody";
    Material m;
    m.name = "Bone";
    m.diffuse[0] = 0.96f;
    m.diffuse[1] = 0.93f;
    m.diffuse[2] = 0.86f;
    m.power = 10;
    m.specular[0] = m.specular[1] = m.specular[2] = 0.2f;
    m.emissive[0] = 0.28f;
    m.emissive[1] = 0.27f;
    m.emissive[2] = 0.25f;
    m.texture = names::kBone;
    mesh.materials.push_back(m);
    SkinBuilder s(mesh);

    // Skull and jaw.
    AddSkull(s);
    s.BindRigid("Head");
    AddBlob(s, {0, 0.645f, -0.035f}, {0.058f, 0.028f, 0.05f}, 10, 6);
    s.BindRigid("Head");

    // Spine: one knobbly column from the sacrum to the skull, blended along its height.
    {
        std::vector<Vec3> path;
        std::vector<float> radius;
        for (int i = 0; i <= 14; ++i) {
            const float t = float(i) / 14.0f;
            const float y = -0.02f + 0.64f * t;
            path.push_back({0, y, 0.035f + 0.03f * std::sin(t * 3.0f)});
            radius.push_back(i % 2 == 0 ? 0.026f : 0.018f);
        }
        AddTube(s.Builder(), path, radius, 6, 1.0f, 4.0f);
        s.Bind([](const Vec3& p) {
            const float y = p.y;
            if (y < 0.2f) return Blend("Pelvis", "Spine", Smoothstep(0.06f, 0.2f, y));
            if (y < 0.42f) return Blend("Spine", "Chest", Smoothstep(0.28f, 0.42f, y));
            return Blend("Chest", "Neck", Smoothstep(0.5f, 0.58f, y));
        });
    }

    // Ribs: five pairs of arcs from the spine at the back round to the breastbone, sloping down
    // toward the front, and the breastbone.
    for (int level = 0; level < 5; ++level) {
        const float y = 0.47f - 0.045f * float(level);
        const float halfWidth = 0.1f + 0.018f * float(level < 3 ? level : 5 - level);
        constexpr float kCentreZ = -0.0125f, kDepth = 0.0625f;   // back at z 0.05, front at -0.075
        for (int side = -1; side <= 1; side += 2) {
            std::vector<Vec3> path;
            std::vector<float> radius;
            for (int i = 0; i <= 5; ++i) {
                const float t = float(i) / 5.0f;
                const float a = kPi * (0.1f + 0.8f * t);
                path.push_back({float(side) * halfWidth * std::sin(a), y - 0.04f * t, kCentreZ + kDepth * std::cos(a)});
                radius.push_back(0.011f);
            }
            AddTube(s.Builder(), path, radius, 4, 1.0f, 4.0f);
            s.Bind([](const Vec3& p) { return Blend("Spine", "Chest", Smoothstep(0.33f, 0.42f, p.y)); });
        }
    }
    AddTube(s.Builder(), Segment({0, 0.48f, -0.075f}, {0, 0.32f, -0.07f}, 3), {0.016f, 0.018f, 0.012f}, 5, 1.0f, 4.0f);
    s.BindRigid("Chest");

    // Pelvis: two hip-bone arcs.
    for (int side = -1; side <= 1; side += 2) {
        std::vector<Vec3> path;
        for (int i = 0; i <= 5; ++i) {
            const float a = kPi * float(i) / 5.0f;
            path.push_back({float(side) * (0.02f + 0.11f * std::sin(a)), 0.06f - 0.06f * std::sin(a * 0.5f),
                            0.04f - 0.09f * (1.0f - std::cos(a)) * 0.5f});
        }
        AddTube(s.Builder(), path, {0.02f, 0.03f, 0.035f, 0.035f, 0.03f, 0.02f}, 6, 1.0f, 4.0f);
        s.BindRigid("Pelvis");
    }

    // Arms and legs, both sides.
    for (int side = 0; side < 2; ++side) {
        const std::string p = side == 0 ? "L_" : "R_";
        auto pos = [&](const char* n) { return BonePos((p + n).c_str()); };
        // Bone names live in the table, so the pointers handed out stay valid.
        auto name = [&](const char* n) { return kBones[BoneIndex(p + n)].name; };
        AddTube(s.Builder(), Segment({pos("Clavicle").x, 0.49f, -0.06f}, pos("UpperArm"), 4), {0.012f, 0.013f, 0.013f, 0.016f},
                5, 1.0f, 4.0f);
        s.BindRigid(name("Clavicle"));
        AddLongBone(s, name("UpperArm"), name("Forearm"), pos("UpperArm"), pos("Forearm"), 0.018f, 0.03f);
        AddLongBone(s, name("Forearm"), name("Hand"), pos("Forearm"), pos("Hand"), 0.015f, 0.024f);
        const Vec3 wrist = pos("Hand");
        const Vec3 dir = Normalize(pos("Hand") - pos("Forearm"));
        AddBlob(s, wrist + dir * 0.05f, {0.03f, 0.045f, 0.03f}, 8, 6);
        s.BindRigid(name("Hand"));
        AddLongBone(s, name("Thigh"), name("Shin"), pos("Thigh"), pos("Shin"), 0.022f, 0.036f);
        AddLongBone(s, name("Shin"), name("Foot"), pos("Shin"), pos("Foot"), 0.019f, 0.03f);
        const Vec3 ankle = pos("Foot");
        AddTube(s.Builder(), Segment(ankle + Vec3{0, -0.03f, 0.03f}, ankle + Vec3{0, -0.055f, -0.14f}, 4),
                {0.026f, 0.024f, 0.02f, 0.016f}, 6, 1.0f, 4.0f);
        s.BindRigid(name("Foot"));
    }
    s.Finish();
    return mesh;
}

// The dance: every joint swings about its rest pose; phase runs once round per cycle.
struct Swing {
    Vec3 axis;
    float amplitude;   // radians
    int harmonic;      // 1: once per cycle, 2: twice
    float phase;       // radians
};

std::vector<Swing> SwingsOf(const std::string& bone) {
    const Vec3 X{1, 0, 0}, Y{0, 1, 0}, Z{0, 0, 1};
    if (bone == "Pelvis") return {{Z, 0.09f, 1, 0}, {Y, 0.14f, 1, 0.5f}};
    if (bone == "Spine") return {{Z, -0.06f, 1, 0}, {X, 0.05f, 2, 0}};
    if (bone == "Chest") return {{Y, -0.18f, 1, 0.5f}, {Z, -0.05f, 1, 0}};
    if (bone == "Neck") return {{X, 0.1f, 2, 0.3f}};
    if (bone == "Head") return {{X, 0.12f, 2, 0.6f}, {Z, 0.1f, 1, 0}};
    if (bone == "L_Clavicle") return {{Z, 0.12f, 1, 0}};
    if (bone == "R_Clavicle") return {{Z, 0.12f, 1, 0}};
    // Both arms turn the same way about z: one rises while the other drops.
    if (bone == "L_UpperArm") return {{Z, 0.75f, 1, 0}, {X, 0.25f, 2, 0}};
    if (bone == "R_UpperArm") return {{Z, 0.75f, 1, 0}, {X, -0.25f, 2, 0}};
    if (bone == "L_Forearm") return {{X, 0.35f, 1, 1.2f}};
    if (bone == "R_Forearm") return {{X, -0.35f, 1, 1.2f}};
    if (bone == "L_Hand") return {{Z, 0.3f, 2, 0}};
    if (bone == "R_Hand") return {{Z, -0.3f, 2, 0}};
    // Legs step in turn.
    if (bone == "L_Thigh") return {{X, 0.32f, 1, 0}};
    if (bone == "R_Thigh") return {{X, -0.32f, 1, 0}};
    if (bone == "L_Shin") return {{X, 0.28f, 1, -1.2f}};
    if (bone == "R_Shin") return {{X, -0.28f, 1, -1.2f}};
    if (bone == "L_Foot") return {{X, 0.15f, 1, -0.6f}};
    if (bone == "R_Foot") return {{X, -0.15f, 1, -0.6f}};
    return {};
}

}  // namespace

XFile MakeSkeletonFile() {
    // Frames: translations only, relative to the parent.
    std::map<std::string, Frame> frames;
    for (const BoneSpec& b : kBones) {
        Frame f;
        f.name = b.name;
        const Vec3 parentPos = b.parent ? BonePos(b.parent) : Vec3{};
        f.transform = Mat4::Translation(b.position - parentPos);
        frames.emplace(b.name, std::move(f));
    }
    // Assemble children bottom-up (the table lists parents before children).
    for (int i = kBoneCount - 1; i >= 0; --i) {
        const BoneSpec& b = kBones[i];
        if (!b.parent) continue;
        Frame child = std::move(frames.at(b.name));
        std::vector<Frame>& siblings = frames.at(b.parent).children;
        siblings.insert(siblings.begin(), std::move(child));
    }
    Frame root;
    root.name = "Root";
    root.children.push_back(std::move(frames.at("Pelvis")));
    Frame body;
    body.name = "SkeletonMesh";
    body.meshes.push_back(BuildFigure());
    root.children.push_back(std::move(body));

    AnimationSet dance;
    dance.name = "Dance";
    const uint32_t cycleTicks = uint32_t(std::lround(kCycleSeconds * float(kTicksPerSecond)));
    for (const BoneSpec& b : kBones) {
        AnimationTrack track;
        track.frame = b.name;
        const Vec3 rest = b.position - (b.parent ? BonePos(b.parent) : Vec3{});
        const std::vector<Swing> swings = SwingsOf(b.name);
        for (int k = 0; k <= kKeysPerCycle; ++k) {
            const uint32_t time = cycleTicks * uint32_t(k) / uint32_t(kKeysPerCycle);
            // The last key repeats the first exactly, so the loop has no seam.
            const float phi = 2.0f * kPi * float(k % kKeysPerCycle) / float(kKeysPerCycle);
            Quat q;
            for (const Swing& s : swings) {
                q = Then(q, Quat::FromAxisAngle(s.axis, s.amplitude * std::sin(float(s.harmonic) * phi + s.phase)));
            }
            track.rotations.push_back({time, q});
            Vec3 position = rest;
            if (std::string(b.name) == "Pelvis") {
                // Bob down on each step and sway with the hips.
                position.y += -0.0175f + 0.0175f * std::cos(2.0f * phi);
                position.x += 0.035f * std::sin(phi);
            }
            track.positions.push_back({time, position});
        }
        track.scales.push_back({0, {1, 1, 1}});
        track.scales.push_back({cycleTicks, {1, 1, 1}});
        dance.tracks.push_back(std::move(track));
    }

    // Lift the whole figure so that its lowest point, a toe in mid-step, stays above the ground
    // the followers are drawn over: every position moves up, offsets move the other way.
    const Vec3 lift{0, kLift, 0};
    Frame& pelvis = root.children.front();
    pelvis.transform = pelvis.transform * Mat4::Translation(lift);
    Mesh& figure = root.children.back().meshes.front();
    for (Vertex& v : figure.vertices) v.position += lift;
    for (SkinWeights& w : figure.skin) w.offset = Mat4::Translation(-lift) * w.offset;
    for (AnimationTrack& t : dance.tracks) {
        if (t.frame != "Pelvis") continue;
        for (VectorKey& k : t.positions) k.value += lift;
    }

    XFile file;
    file.ticksPerSecond = kTicksPerSecond;
    file.frames.push_back(std::move(root));
    file.animationSets.push_back(std::move(dance));
    return file;
}

}  // namespace velor::content
