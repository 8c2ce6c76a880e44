#pragma once
// What the generator writes into an X file: triangle meshes whose vertices carry a position, a
// normal and one texture coordinate (32 bytes once loaded), materials that name texture files,
// frame hierarchies, skin weights and keyframed animation.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/contentgen/geom.h"

namespace velor::content {

struct Vertex {
    Vec3 position;
    Vec3 normal;     // unit length
    Vec2 uv;         // texture coordinate 0; v grows downwards in the image
};

// One triangle. Front faces are clockwise on screen in Direct3D's left-handed space, which makes
// Cross(b - a, c - a) point to the side the face is seen from.
struct Face {
    uint32_t a = 0, b = 0, c = 0;
    uint32_t material = 0;   // index into Mesh::materials
};

struct Material {
    std::string name;
    float diffuse[4] = {1, 1, 1, 1};   // faceColor: red, green, blue, alpha
    float power = 0;                   // specular exponent
    float specular[3] = {0, 0, 0};
    float emissive[3] = {0, 0, 0};
    std::string texture;               // relative to the demo's working folder; empty: none
};

// A material of colour (r, g, b), opaque, with a grey specular highlight and emission in proportion
// to its colour; texture may be null for none.
inline Material MakeMaterial(const char* name, const char* texture, float r, float g, float b, float power,
                             float specular, float emissive) {
    Material m;
    m.name = name;
    m.diffuse[0] = r, m.diffuse[1] = g, m.diffuse[2] = b, m.diffuse[3] = 1;
    m.power = power;
    m.specular[0] = m.specular[1] = m.specular[2] = specular;
    m.emissive[0] = r * emissive, m.emissive[1] = g * emissive, m.emissive[2] = b * emissive;
    m.texture = texture ? texture : "";
    return m;
}

struct SkinWeights {
    std::string bone;                  // name of the frame that drives these vertices
    std::vector<uint32_t> vertices;
    std::vector<float> weights;        // one per entry of vertices
    Mat4 offset;                       // mesh space to the bone's space in the bind pose
};

struct Mesh {
    std::string name;
    std::vector<Vertex> vertices;
    std::vector<Face> faces;
    std::vector<Material> materials;
    std::vector<SkinWeights> skin;     // empty for a rigid mesh
};

struct Frame {
    std::string name;
    Mat4 transform;                    // relative to the parent frame
    std::vector<Mesh> meshes;
    std::vector<Frame> children;
};

struct RotationKey {
    uint32_t time = 0;   // ticks
    Quat value;
};
struct VectorKey {
    uint32_t time = 0;   // ticks
    Vec3 value;
};

struct AnimationTrack {
    std::string frame;
    std::vector<RotationKey> rotations;
    std::vector<VectorKey> scales;
    std::vector<VectorKey> positions;
};

struct AnimationSet {
    std::string name;
    std::vector<AnimationTrack> tracks;
};

struct XFile {
    std::vector<Mesh> meshes;              // top-level meshes (a plain mesh file)
    std::vector<Frame> frames;             // top-level frames (a hierarchy)
    uint32_t ticksPerSecond = 0;           // 0: no AnimTicksPerSecond object
    std::vector<AnimationSet> animationSets;
};

}  // namespace velor::content
