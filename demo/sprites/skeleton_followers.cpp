// Window 5 after 82 s: one follower per vertex of the skinned skeleton crawls from the origin toward
// a target derived from that vertex, at a fixed 1/30 unit per second per step, and is drawn as two
// layers, dark red then dark green, the green one a step further on.
//
// The vertices are read in the mesh's own space (the skinned copy, without the figure's world), as
// 32-byte records whose first three floats are the position, into the point snapshot's positions.
// The figure's vertex count comes from its file: every loop is bounded by the snapshot and the
// follower table as well, so a larger figure only loses its extra vertices.
//
// Takes the frame delta; reads the skinned mesh of slot 150 and its vertex buffer. Writes: point
// snapshot positions, the follower table, the follower sprites' position and colour.
#include "demo/sprites/skeleton_followers.h"

#include <algorithm>
#include <cstring>

#include "demo/scene/scene_object.h"
#include "demo/scene/skeleton.h"
#include "demo/sprites/point_seeking.h"
#include "demo/sprites/point_sprite.h"
#include "demo/sprites/sphere_swarm.h"
#include "demo/terrain/forest.h"

namespace velor::demo {

namespace {

constexpr uint32_t kFigureVertexStride = 32;  // bytes; the position is the first three floats
constexpr float kStepDivisor = 30.0f;         // step = frame delta / 30
const Vector3 kSpriteOffset{1.5f, 0.1f, 1.5f};
constexpr float kFollowerPointSize = 0.15f;
const Vector4 kLayerAColour{0.5f, 0.0f, 0.0f, 0.4f};  // dark red
const Vector4 kLayerBColour{0.0f, 0.5f, 0.0f, 0.2f};  // dark green

// Vertices of the figure, as the figure mesh reports them.
int FigureVertexCount() {
    const std::shared_ptr<Mesh>& figure = gSkinning.skinnedMeshOfSlot[kSkeletonSlot];
    return figure != nullptr ? int(figure->GetNumVertices()) : 0;
}

// Vertex x mirrored and shrunk by 1/1200, y shrunk by 1/1200, z by a tenth; each component in
// double, then rounded.
Vector3 FollowerTarget(const Vector3& v) {
    const double x = v.x, y = v.y, z = v.z;
    return {float(x / 1200.0 - x), float(y - y / 1200.0), float(z - z / 10.0)};
}

void DrawLayer(int count, float step, PointSprite* sprite, const Vector4& colour) {
    for (int i = 1; i < count; ++i) {  // entry 0 is never used
        SeekPoint3(i, FollowerTarget(gPointSnapshot[i].position), step);
        if (sprite == nullptr) continue;
        const Vector3& p = gSeeking.followers[size_t(i)];
        sprite->diffuse = colour;
        sprite->position = {p.x + kSpriteOffset.x, p.y + kSpriteOffset.y, p.z + kSpriteOffset.z};
        DrawPointSprite(*sprite, kFollowerPointSize);
    }
}

}  // namespace

void SampleFigureVertices() {
    VertexBuffer* buffer = gForest.skeletonVertexBuffer.get();
    if (buffer == nullptr) return;
    const int records = int(buffer->GetLength() / kFigureVertexStride);
    const int count = std::min({FigureVertexCount(), records, kPointSnapshotSize});
    void* data = nullptr;
    if (Failed(buffer->Lock(0, 0, &data, 0)) || data == nullptr) return;
    const auto* bytes = static_cast<const uint8_t*>(data);
    for (int i = 0; i < count; ++i)
        std::memcpy(&gPointSnapshot[i].position, bytes + size_t(i) * kFigureVertexStride, sizeof(Vector3));
    buffer->Unlock();
}

void DrawSkeletonFollowers(float frameDelta) {
    const int count = std::min({FigureVertexCount(), kPointSnapshotSize, int(gSeeking.followers.size())});
    const float step = frameDelta / kStepDivisor;
    DrawLayer(count, step, gSprites.followerA, kLayerAColour);
    DrawLayer(count, step, gSprites.followerB, kLayerBColour);
}

}  // namespace velor::demo
