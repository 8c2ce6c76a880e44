#pragma once
// The scenes and passes the windows run, called through one table so that a test can run the
// schedule on a scripted clock with a recording in place of the scenes; the real ones by default.
#include "demo/sprites/warped_cube.h"
#include "engine/math/math_types.h"

namespace velor::demo {

struct SceneCalls {
    void (*drawSphereSwarm)(float s);
    void (*mosaicPass)(float musicTimer);
    void (*drawShadowReflectionScene)(float demoTime, float frameDelta);
    void (*drawTerrain)(float angle);
    void (*radialBlurPass)(const Matrix& view, const Matrix& projection);
    void (*drawFourSpriteOverlay)(float terrainClock);
    void (*drawFadeOverlay)(float fadeLevel);
    void (*drawWarpedCube)(const CubeWarp& warp, float frameDelta);
    void (*drawForest)(float frameDelta);
    void (*sampleFigureVertices)();
    void (*drawSkeletonFollowers)(float frameDelta);
    void (*drawScroller)(float frameDelta);
};

extern SceneCalls gSceneCalls;
const SceneCalls& RealSceneCalls();

}  // namespace velor::demo
