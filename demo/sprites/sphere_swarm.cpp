// The sphere swarm of window 1: about nine hundred glowing points taken once from the sphere mesh's
// vertex data, pushed out along their normals as time passes and tumbling about the world origin,
// while the camera creeps forward along z.
//
// Reads the point snapshot (written here at start-up), the sphere mesh's vertex count and the sphere
// sprite; writes the sprite's placement and the camera's eye and target z.
#include "demo/sprites/sphere_swarm.h"

#include <cstring>

#include "demo/content/demo_resources.h"
#include "demo/sprites/point_sprite.h"
#include "demo/timeline/camera.h"

namespace velor::demo {

SnapshotEntry gPointSnapshot[kPointSnapshotSize];

namespace {
constexpr uint32_t kRecordBytes = 32;
constexpr float kCameraCreepDivisor = 3890.0f;
constexpr int kUndrawnTail = 350;         // the last vertices' worth of entries are never drawn
constexpr float kSwarmPointSize = 1.0f;
}  // namespace

void CopySphereVertices() {
    const std::shared_ptr<VertexBuffer>& buffer = gResources.sphereVertexBuffer;
    if (buffer == nullptr) return;
    void* data = nullptr;
    if (Failed(buffer->Lock(0, 0, &data, 0))) return;
    // NOTE: the vertices are 24 bytes (position, normal) but are walked in 32-byte records, so only
    // every third entry is a true vertex; the others mix neighbours' components and scatter two
    // thirds of the swarm off the sphere. The picture depends on it.
    uint32_t records = buffer->GetLength() / kRecordBytes;
    if (records > uint32_t(kPointSnapshotSize)) records = kPointSnapshotSize;
    const auto* bytes = static_cast<const uint8_t*>(data);
    for (uint32_t j = 0; j < records; ++j) {
        float f[6];
        std::memcpy(f, bytes + size_t(j) * kRecordBytes, sizeof f);
        gPointSnapshot[j].position = {f[0], f[1], f[2]};
        gPointSnapshot[j].normal = {f[3], f[4], f[5]};
    }
    buffer->Unlock();
}

void DrawSphereSwarm(float s) {
    gCamera.eye.z -= s / kCameraCreepDivisor;
    gCamera.target.z -= s / kCameraCreepDivisor;

    int vertexCount = gResources.sphereMesh ? int(gResources.sphereMesh->GetNumVertices()) : 0;
    if (vertexCount <= kUndrawnTail) return;
    PointSprite* sprite = gSprites.sphere;
    if (sprite == nullptr) return;

    float a = s * 0.25f;
    int last = vertexCount - kUndrawnTail;
    if (last > kPointSnapshotSize - 1) last = kPointSnapshotSize - 1;
    const long double ls = s;  // the offsets are worked out in extended precision, then stored
    // Entry 0 is skipped.
    for (int i = 1; i <= last; ++i) {
        const SnapshotEntry& entry = gPointSnapshot[i];
        sprite->rotation = {a, a, a};
        sprite->position = {float(entry.position.x + ls * entry.normal.x / 12),
                            float(entry.position.y + ls * entry.normal.y / 10),
                            float(entry.position.z + ls * entry.normal.z / 12)};
        DrawPointSprite(*sprite, kSwarmPointSize);
    }
}

}  // namespace velor::demo
