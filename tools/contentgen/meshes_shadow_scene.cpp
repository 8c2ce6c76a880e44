// The three meshes of the shadow-and-reflection scene. The camera flies around the origin at 13 to
// 27 units, eye height from about -3 to +1, and on its second leg passes within 4.6 units of the
// origin at height -3; the three lights circle at radius 10 to 11 and heights 3 to 6.
//
// duvar.x is the stencil-shadow caster, so it is built only from closed, outward-wound solids (boxes
// and prisms that may overlap one another): every edge of every piece has exactly two faces. Large
// faces are split into grids so that per-vertex lighting has points to work with. Everything stays
// within 4.3 units of the vertical axis and below the camera's lowest pass except the floor, whose
// top lies half a unit under it.
#include <algorithm>
#include <cmath>

#include "tools/contentgen/content_names.h"
#include "tools/contentgen/mesh_builder.h"
#include "tools/contentgen/meshes.h"

namespace velor::content {
namespace {

constexpr float kFloorTop = -3.5f;        // walking level of the colonnade
constexpr float kColumnRing = 3.0f;       // radius of the pillar circle
constexpr int kColumnCount = 8;
constexpr float kCapitalTop = 1.55f;
constexpr float kSphereRadius = 1.2f;     // the reflective orb at the origin
constexpr float kShellRadius = 2.3f;      // between the orb and the pillars
// Pieces that meet are pushed this far into each other, so no two faces lie in one plane (which
// would make the lit passes flicker between them).
constexpr float kSink = 0.05f;

Material SceneMaterial(const char* name, float r, float g, float b, const char* texture) {
    return MakeMaterial(name, texture, r, g, b, 16, 0.2f, 0);
}

// A box given by its centre, half extents and a turn about y.
void Block(MeshBuilder& b, const Vec3& centre, const Vec3& half, float yaw, int nx, int ny, int nz, const PlanarUv& uv) {
    AddGridBox(b, Mat4::RotationY(yaw) * Mat4::Translation(centre), half, nx, ny, nz, uv);
}

Vec3 OnRing(float radius, float angle, float y) { return {radius * std::cos(angle), y, radius * std::sin(angle)}; }

// Direct3D's RotationY turns +x toward -z, so the yaw that points local +x along the direction
// (cos a, 0, sin a) is -a.
float YawTowards(float angle) { return -angle; }

}  // namespace

XFile MakeCasterMesh() {
    Mesh mesh;
    mesh.name = "Duvar";
    mesh.materials.push_back(SceneMaterial("FloorStone", 0.86f, 0.83f, 0.78f, names::kFloorTiles));
    mesh.materials.push_back(SceneMaterial("ColumnStone", 0.95f, 0.92f, 0.86f, names::kWallStone));
    MeshBuilder b(mesh);
    const PlanarUv stone{0.5f, {}};

    // Stepped floor: a wide base slab and an upper slab sunk slightly into it.
    b.SetMaterial(0);
    Block(b, {0, -4.15f, 0}, {4.3f, 0.25f, 4.3f}, 0, 8, 1, 8, stone);
    constexpr float kUpperSlabBottom = -3.95f;
    Block(b, {0, (kFloorTop + kUpperSlabBottom) * 0.5f, 0}, {3.8f, (kFloorTop - kUpperSlabBottom) * 0.5f, 3.8f}, 0, 8, 1,
          8, stone);

    b.SetMaterial(1);
    // Pillars: plinth, octagonal shaft, capital; each turned to face the centre.
    float pillarAngle[kColumnCount];
    for (int k = 0; k < kColumnCount; ++k) {
        const float a = kPi / 8.0f + 2.0f * kPi * float(k) / float(kColumnCount);
        pillarAngle[k] = a;
        const Vec3 foot = OnRing(kColumnRing, a, 0);
        Block(b, {foot.x, kFloorTop + 0.1f, foot.z}, {0.38f, 0.15f, 0.38f}, YawTowards(a), 2, 1, 2, stone);
        AddPrism(b, Mat4::Translation({foot.x, kFloorTop + 0.2f, foot.z}), 0.28f, kCapitalTop - 0.25f - (kFloorTop + 0.2f),
                 8, 5, stone, a);
        Block(b, {foot.x, kCapitalTop - 0.15f, foot.z}, {0.4f, 0.15f, 0.4f}, YawTowards(a), 2, 1, 2, stone);
    }

    // Architrave: one beam over each pair of neighbouring pillars, overlapping the capitals.
    for (int k = 0; k < kColumnCount; ++k) {
        const float a0 = pillarAngle[k], a1 = pillarAngle[(k + 1) % kColumnCount];
        const Vec3 p0 = OnRing(kColumnRing, a0, 0), p1 = OnRing(kColumnRing, a1, 0);
        const Vec3 mid = (p0 + p1) * 0.5f;
        const float along = std::atan2(p1.z - p0.z, p1.x - p0.x);
        const float halfLength = Length(p1 - p0) * 0.5f + 0.3f;
        Block(b, {mid.x, kCapitalTop + 0.2f - kSink, mid.z}, {halfLength, 0.2f, 0.26f}, YawTowards(along), 4, 1, 1, stone);
    }

    // Walls between pillars: a tall apse on the north side (+z), the middle bay with a window
    // slot, and low parapets to the west and south-west. The bays to the east, south and
    // south-east stay open so the lights reach the inside and the camera's low pass, which comes
    // by the south-east bay, looks in.
    struct Bay {
        int first;          // pillar index; the bay runs to the next pillar
        float bottom, top;  // y extent of one wall piece
    };
    const Bay bays[] = {
        {0, kFloorTop - kSink, kCapitalTop + kSink},
        {1, kFloorTop - kSink, -1.0f},
        {1, 0.25f, kCapitalTop + kSink},
        {2, kFloorTop - kSink, kCapitalTop + kSink},
        {3, kFloorTop - kSink, kFloorTop + 1.3f},
        {4, kFloorTop - kSink, kFloorTop + 1.3f},
    };
    for (const Bay& bay : bays) {
        const Vec3 p0 = OnRing(kColumnRing, pillarAngle[bay.first], 0);
        const Vec3 p1 = OnRing(kColumnRing, pillarAngle[(bay.first + 1) % kColumnCount], 0);
        const Vec3 mid = (p0 + p1) * 0.5f;
        const float along = std::atan2(p1.z - p0.z, p1.x - p0.x);
        const float halfLength = Length(p1 - p0) * 0.5f - 0.1f;
        const float halfHeight = (bay.top - bay.bottom) * 0.5f;
        const int rows = std::max(1, int(halfHeight * 2.0f / 0.7f));
        Block(b, {mid.x, bay.bottom + halfHeight, mid.z}, {halfLength, halfHeight, 0.14f}, YawTowards(along), 4, rows, 1,
              stone);
    }

    // The orb's pedestal.
    Block(b, {0, kFloorTop + 0.1f, 0}, {0.62f, 0.15f, 0.62f}, kPi / 4, 2, 1, 2, stone);
    AddPrism(b, Mat4::Translation({0, kFloorTop + 0.2f, 0}), 0.34f, -1.7f - (kFloorTop + 0.2f), 8, 3, stone, kPi / 8);
    Block(b, {0, -1.65f, 0}, {0.5f, 0.1f, 0.5f}, kPi / 4, 2, 1, 2, stone);

    XFile file;
    file.meshes.push_back(std::move(mesh));
    return file;
}

XFile MakeSphereMesh() {
    Mesh mesh;
    mesh.name = "Sphere";
    Material m = SceneMaterial("Chrome", 0.9f, 0.92f, 0.96f, nullptr);
    m.power = 48;
    m.specular[0] = m.specular[1] = m.specular[2] = 1.0f;
    mesh.materials.push_back(m);
    MeshBuilder b(mesh);
    AddUvSphere(b, Mat4::Identity(), kSphereRadius, 48, 32, 1.0f, 1.0f);
    XFile file;
    file.meshes.push_back(std::move(mesh));
    return file;
}

XFile MakeGlowShellMesh() {
    Mesh mesh;
    mesh.name = "GlowShell";
    // The demo replaces this texture with its own override; the name keeps the file self-contained.
    mesh.materials.push_back(SceneMaterial("Glow", 1, 1, 1, names::kLight1));
    MeshBuilder b(mesh);
    // Twelve texture repeats around and six from pole to pole keep the glow spots round at the
    // equator: about 1.2 units per repeat either way.
    AddUvSphere(b, Mat4::Identity(), kShellRadius, 48, 24, 12.0f, 6.0f);
    XFile file;
    file.meshes.push_back(std::move(mesh));
    return file;
}

}  // namespace velor::content
