#pragma once
// Window 5: the sky box, seven lit trees and the animated skeleton under a dolly and a rise.
#include <cstdint>
#include <memory>

#include "engine/gfx/resources.h"

namespace velor::demo {

struct ForestState {
    int32_t dollyState = 0;  // 0 while dollying sideways, 1 while rising
    float riseRate = 0;      // the eye rises riseRate / 1.2 per frame; grows toward 1
    std::shared_ptr<VertexBuffer> skeletonVertexBuffer;  // the skinned skeleton's vertices, for the followers
};

extern ForestState gForest;

// Start-up: instances and places the trees, keeps the skinned skeleton's vertex buffer, seeds the
// dolly waypoints and makes room for one follower per skeleton vertex.
void PlaceForest();
// Draws the window and moves the camera for the next ApplyCamera.
void DrawForest(float frameDelta);

}  // namespace velor::demo
