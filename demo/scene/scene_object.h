#pragma once
// The object table: every X-file mesh the demo draws lives in one numbered slot, with its materials,
// textures, placement and the world matrix last composed from it. A slot number is an object's
// identity; nothing allocates or frees slots at run time.
//
// The capacities (10,000 slots, 900 materials per slot) are limits, not storage: a slot's material
// and texture lists grow to its mesh's material count at load, so the table costs a few megabytes.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/gfx/d3d_types.h"
#include "engine/gfx/resources.h"
#include "engine/math/math_types.h"
#include "engine/mesh/animation_controller.h"
#include "engine/mesh/frame_hierarchy.h"
#include "engine/mesh/material_list.h"
#include "engine/mesh/mesh.h"

namespace velor::demo {

constexpr int kObjectCapacity = 10000;
constexpr uint32_t kMaxMaterials = 900;

// Slots in use.
constexpr int kCasterSlot = 1;          // "duvar.x": casts and receives the stencil shadows
constexpr int kSphereMeshSlot = 2;      // the generated sphere; its vertices feed the sphere swarm
constexpr int kReflectiveSlot = 3;      // "sphere.x", drawn through the reflection effect
constexpr int kTunnelSlot = 10;         // "tunnel.x", replaced at start-up by a copy with a tangent frame
constexpr int kCubeSlot = 20;           // "ccube.x": its vertices feed the warped cube cloud
constexpr int kScrollSlot = 50;         // "scroll.x", drawn with one override texture
constexpr int kSkyboxSlot = 130;        // "skybox.x"
constexpr int kSkeletonSlot = 150;      // frame hierarchy and animation of "iskelet.x"; no mesh
constexpr int kTreeSlot = 250;          // "tree.x"
constexpr int kFirstTreeInstanceSlot = 251;
constexpr int kLastTreeInstanceSlot = 256;
constexpr int kShadowSlot = 499;        // the shadow volume built from the caster
constexpr int kQuadSlot = 500;          // "quad.x", the full-screen quad of the post passes

struct SceneObject {
    std::vector<std::shared_ptr<Texture>> textures;  // entry i: texture of material (subset) i, or null
    std::shared_ptr<Texture> overrideTexture;        // replaces every subset's texture when useOverride is 1
    uint32_t overrideStage = 0;                      // stage overrideTexture is bound to
    int32_t noTextures = 0;                          // nonzero: the draw binds no per-subset texture
    int32_t useOverride = 0;                         // 1: every subset draws with overrideTexture
    std::vector<Material> materials;                 // entry i: material i; ambient = diffuse at load
    std::shared_ptr<Mesh> mesh;                      // null for an empty slot or a hierarchy-only slot
    std::vector<XMaterial> materialList;             // the loader's material list (names of texture files)
    std::vector<uint32_t> adjacencyBuffer;           // three entries per face, from the loader
    std::vector<EffectInstance> effectInstanceBuffer;  // from the loader; never read
    uint32_t materialCount = 0;                      // materials, also the number of subsets drawn
    Matrix world;                                    // world of the last composition
    Matrix rotationXMatrix, rotationYMatrix, rotationZMatrix, scalingMatrix, translationMatrix;
    Vector3 position{0, 0, 0};
    Vector3 scale{1, 1, 1};
    Vector3 rotation{0, 0, 0};                       // radians about x, y, z
    float hierarchyAlpha = 0;                        // diffuse alpha given to hierarchy materials at draw
    float animationStep = 0;                         // seconds per draw; 0 becomes 0.0001 at the first draw
    uint32_t loadCount = 0;                          // completed X loads; nonzero: owns mesh and textures
    Frame* rootFrame = nullptr;                      // frame hierarchy, null for plain meshes
    std::shared_ptr<AnimationController> animationController;  // non-null: the draw runs the hierarchy
};

// The table; slots are addressed by the constants above.
SceneObject& Object(int slot);

// Loads an X file into the slot. A file that does not load, or a mesh with more than kMaxMaterials
// materials (refused with a message on stderr), leaves the slot empty: no mesh, materialCount 0.
void LoadObjectFromX(const char* fileName, int slot);
// Makes the slot share slot 250's mesh, materials and textures without owning them.
void InstanceObject(int targetSlot);
// World = RX · RY · RZ · T · S from the placement, stored in the object's matrices.
void ComposeWorld(SceneObject& object);
// Composes, sets and stores the world, runs the hierarchy if there is one, draws every subset.
void DrawObject(int slot);
// Draws with the given world, composing and storing nothing; stored materials are not changed.
void DrawObjectWithWorld(int slot, const Matrix& world);

// Empties every slot (tests; the process's own exit does the same by destruction).
void ResetObjectTable();

}  // namespace velor::demo
