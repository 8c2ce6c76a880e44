#include "demo/windows/scene_calls.h"

#include "demo/overlay/image_overlay.h"
#include "demo/overlay/scroller.h"
#include "demo/shadows/shadow_reflection_scene.h"
#include "demo/sprites/skeleton_followers.h"
#include "demo/sprites/sphere_swarm.h"
#include "demo/sprites/warped_cube.h"
#include "demo/terrain/forest.h"
#include "demo/terrain/post_effects.h"
#include "demo/terrain/terrain.h"

namespace velor::demo {

const SceneCalls& RealSceneCalls() {
    static const SceneCalls calls{
        DrawSphereSwarm, MosaicPass,     DrawShadowReflectionScene, DrawTerrain,
        RadialBlurPass,  DrawFourSpriteOverlay, DrawFadeOverlay,    DrawWarpedCube,
        DrawForest,      SampleFigureVertices,  DrawSkeletonFollowers, DrawScroller,
    };
    return calls;
}

SceneCalls gSceneCalls = RealSceneCalls();

}  // namespace velor::demo
