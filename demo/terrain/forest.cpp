// Window 5: the sky box, seven trees (one mesh in slot 250, instanced into 251 to 256) and the
// skeleton of slot 150, lit by the two directional lights the shadow-and-reflection scene left on.
// The camera first dollies sideways with waypoint 10, then rises ever faster.
//
// NOTE: the tree rotations and the skeleton's placement are written after their draws, so they show
// from the window's second frame on; the first frame draws the skeleton at the origin (that is the
// only frame it is on screen) and the three turned trees unturned. The skeleton is drawn at all so
// that its animation advances and its skinned copy, which the followers read, follows the dance.
//
// Takes the frame delta; reads the object table and the waypoint table. Writes: camera eye x and
// y, target x, slots 250 to 256's placement, slot 150's position and animation step, the forest state.
#include "demo/terrain/forest.h"

#include "demo/scene/scene_object.h"
#include "demo/scene/skeleton.h"
#include "demo/shell/shell_state.h"
#include "demo/sprites/point_seeking.h"
#include "demo/timeline/camera.h"

namespace velor::demo {

ForestState gForest;

namespace {

constexpr int kDollyWaypoint = 10;
constexpr int kSpareWaypoint = 11;  // seeded here, read by nothing
const Vector2 kDollyStart{5.0f, 0.0f};
const Vector2 kDollyTarget{1.5f, -1.0f};
const Vector2 kSpareWaypointStart{1.5f, -1.0f};
constexpr float kDollySpeed = 0.5f;       // units per second of frame delta
constexpr float kDollyEndDistance = 0.5f;
constexpr float kDollyTargetX = 2.0f;     // the camera looks along this x while dollying
constexpr float kRiseAcceleration = 0.0001f;  // rise rate gained per second of frame delta
constexpr float kRiseRateLimit = 1.0f;
constexpr float kRiseDivisor = 1.2f;
constexpr float kSkeletonAnimationRate = 0.2f;  // animation seconds per second of frame delta
const Vector3 kSkeletonPosition{-200.0f, -200.0f, -200.0f};
const Vector3 kTurnedTreeRotation{0.0f, 1.7f, 0.0f};
constexpr int kFirstTurnedTree = 252;
constexpr int kLastTurnedTree = 254;

// D3DRS_CULLMODE 0 is none of the D3DCULL modes: the device culls nothing, so both faces of the
// trees and the skeleton are drawn.
constexpr uint32_t kNoCullMode = 0;

const Vector3 kTreePositions[] = {
    {-2.0f, 0.0f, 5.0f},   // 250
    {3.0f, -0.2f, 0.7f},   // 251
    {1.0f, -0.2f, -3.0f},  // 252
    {2.0f, -0.2f, 4.0f},   // 253
    {-3.0f, -0.2f, -1.0f}, // 254
    {-4.0f, -0.2f, -4.0f}, // 255
    {4.0f, -0.2f, 4.0f},   // 256
};

void MoveCamera(float frameDelta) {
    if (gForest.dollyState == 0) {
        const float d = SeekPoint2(kDollyWaypoint, kDollyTarget, kDollySpeed * frameDelta);
        if (d > kDollyEndDistance) {
            gCamera.eye.x = gSeeking.waypoints[kDollyWaypoint].x;
            gCamera.target.x = kDollyTargetX;
        } else {
            gForest.dollyState = 1;  // this frame leaves the camera where it is
        }
    } else {
        // Per frame, so the rise speeds up with the frame rate.
        if (gForest.riseRate < kRiseRateLimit) gForest.riseRate += kRiseAcceleration * frameDelta;
        gCamera.eye.y += gForest.riseRate / kRiseDivisor;
    }
}

}  // namespace

void PlaceForest() {
    for (int slot = kFirstTreeInstanceSlot; slot <= kLastTreeInstanceSlot; ++slot) InstanceObject(slot);
    for (int slot = kTreeSlot; slot <= kLastTreeInstanceSlot; ++slot)
        Object(slot).position = kTreePositions[slot - kTreeSlot];

    gForest.skeletonVertexBuffer.reset();
    if (const std::shared_ptr<Mesh>& skinned = gSkinning.skinnedMeshOfSlot[kSkeletonSlot]) {
        skinned->GetVertexBuffer(&gForest.skeletonVertexBuffer);
        ReserveFollowers(int(skinned->GetNumVertices()));
    }

    gSeeking.waypoints[kDollyWaypoint] = kDollyStart;
    gSeeking.waypoints[kSpareWaypoint] = kSpareWaypointStart;
}

void DrawForest(float frameDelta) {
    Device* device = CurrentDevice();

    if (device != nullptr) {
        device->SetRenderState(RenderState::Lighting, 0);
        device->SetRenderState(RenderState::CullMode, uint32_t(Cull::CW));
    }
    DrawObject(kSkyboxSlot);

    if (device != nullptr) {
        device->SetRenderState(RenderState::CullMode, kNoCullMode);
        device->SetRenderState(RenderState::Lighting, 1);
    }
    for (int slot = kTreeSlot; slot <= kLastTreeInstanceSlot; ++slot) DrawObject(slot);
    for (int slot = kFirstTurnedTree; slot <= kLastTurnedTree; ++slot) Object(slot).rotation = kTurnedTreeRotation;

    DrawObject(kSkeletonSlot);
    SceneObject& skeleton = Object(kSkeletonSlot);
    skeleton.position = kSkeletonPosition;
    skeleton.animationStep = kSkeletonAnimationRate * frameDelta;

    MoveCamera(frameDelta);
}

}  // namespace velor::demo
