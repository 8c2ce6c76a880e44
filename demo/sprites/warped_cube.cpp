// Window 4's warped cube cloud. Every frame the vertices of the cube mesh (slot 20) are copied out of
// its vertex buffer, pushed through one of four trigonometric warps whose phase grows with the warp
// clock, and drawn as two additive clouds of point sprites, each point offset outward along its
// normal. Both clouds turn about the world origin: the sprite is translated first and then rotated
// (see DrawPointSprite), so one rotation turns the whole cloud.
//
// Takes the warp window 4 chose and the frame delta; reads the cube's vertex buffer (never written)
// and the sprite colours window 4 sets. Writes the snapshot, the warp clock, slot 20's rotation and
// the two cube sprites' position, rotation and diffuse alpha.
#include "demo/sprites/warped_cube.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "demo/content/demo_resources.h"
#include "demo/scene/scene_object.h"
#include "demo/sprites/point_sprite.h"

namespace velor::demo {

WarpedCubeState gWarpedCube;

namespace {

constexpr float kWarpClockRate = 0.6f;
constexpr float kTurnPerClock = 0.25f;
constexpr float kPointSize = 2.0f;
constexpr float kLayerAOffset = 5.0f, kLayerAAlpha = 0.3f;
constexpr float kLayerBOffset = 4.8f, kLayerBAlpha = 0.15f;

// NOTE: every sine, cosine and product is a 32-bit float before it is used further; the
// intermediate float variables below keep the products rounded in the formulas' order.
float Sin(float x) { return float(std::sin(double(x))); }
float Cos(float x) { return float(std::cos(double(x))); }

void Warp(Vector3& p, float t, int mode) {
    const float X = p.x, Y = p.y, Z = p.z;
    switch (mode) {
    case 0: {
        const float z = Z + 3.0f * Sin(Y) * Cos(2.0f * Y * Cos(t));
        const float x = X + 6.0f * Sin(Y) * Cos(2.0f * z * Sin(t));
        const float y = Y - 6.0f * Cos(x) * Sin(2.0f * x * Cos(t));
        p = {x, y, z};
        break;
    }
    case 1: {
        const float z = Z + 7.0f * Sin(Y) * Sin(2.0f * Y * Cos(t));
        const float x = X + 7.0f * Sin(Y) * Sin(5.0f * z * Sin(t));
        const float y = Y - 7.0f * Cos(x) * Cos(5.0f * x * Cos(t));
        p = {x, y, z};
        break;
    }
    case 2: {
        // NOTE: this warp scales Y instead of adding an offset to it.
        const float y = 4.0f * Y * Cos(Y) * Sin(2.0f * Z * Sin(t));
        const float x = X + 6.0f * Cos(y) * Sin(2.0f * Z * Sin(t));
        const float z = Z + 7.0f * Sin(y) * Cos(2.0f * y * Cos(t));
        p = {x, y, z};
        break;
    }
    case 3: {
        const float x = X + 4.0f * Sin(Y) * Cos(5.0f * Z * Sin(t));
        const float z = Z + 6.0f * Cos(Y) * Sin(5.0f * Z * Sin(t));
        const float y = Y - 6.0f * Cos(3.0f * x) * Cos(2.0f * x * Cos(t));
        p = {x, y, z};
        break;
    }
    default: break;  // unwarped
    }
}

// The cube mesh's vertex count, bounded by the snapshot and by the records the buffer holds.
int CubeVertexCount(const VertexBuffer& buffer) {
    const SceneObject& cube = Object(kCubeSlot);
    if (cube.mesh == nullptr) return 0;
    const uint32_t records = buffer.GetLength() / kCubeVertexStride;
    return int(std::min({cube.mesh->GetNumVertices(), records, uint32_t(kCubeSnapshotCapacity)}));
}

void DrawLayer(PointSprite* sprite, float offset, float alpha, float turn) {
    if (sprite == nullptr) return;
    for (int i = 0; i < gWarpedCube.count; ++i) {
        const CubeSnapshotEntry& e = gWarpedCube.snapshot[size_t(i)];
        // NOTE: y is mirrored (offset · ny − Y), so the cloud shows the warped cube upside down.
        sprite->position = {e.position.x + offset * e.normal.x, offset * e.normal.y - e.position.y,
                            e.position.z + offset * e.normal.z};
        sprite->rotation = {turn, 0, turn};
        sprite->diffuse.w = alpha;
        DrawPointSprite(*sprite, kPointSize);
    }
}

}  // namespace

void WarpCubeVertices(float t, int mode) {
    gWarpedCube.count = 0;
    VertexBuffer* buffer = gResources.cubeVertexBuffer.get();
    if (buffer == nullptr) return;
    const int n = CubeVertexCount(*buffer);
    void* data = nullptr;
    if (Failed(buffer->Lock(0, 0, &data, 0)) || data == nullptr) return;
    const auto* bytes = static_cast<const uint8_t*>(data);
    for (int i = 0; i < n; ++i) {
        CubeSnapshotEntry& e = gWarpedCube.snapshot[size_t(i)];
        float record[6];
        std::memcpy(record, bytes + size_t(i) * kCubeVertexStride, sizeof(record));
        e.position = {record[0], record[1], record[2]};
        e.normal = {record[3], record[4], record[5]};
        Warp(e.position, t, mode);
    }
    buffer->Unlock();
    gWarpedCube.count = n;
}

void DrawWarpedCube(const CubeWarp& warp, float frameDelta) {
    gWarpedCube.warpClock += kWarpClockRate * frameDelta;
    const float phase = warp.rate * gWarpedCube.warpClock;
    WarpCubeVertices(phase, warp.mode);
    const float turn = kTurnPerClock * gWarpedCube.warpClock;
    Object(kCubeSlot).rotation = {turn, 0, turn};
    DrawLayer(gSprites.cubeA, kLayerAOffset, kLayerAAlpha, turn);
    DrawLayer(gSprites.cubeB, kLayerBOffset, kLayerBAlpha, turn);
}

}  // namespace velor::demo
