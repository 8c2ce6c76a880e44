#include "demo/windows/forest_window.h"

#include "demo/terrain/forest.h"
#include "demo/timeline/camera.h"
#include "demo/windows/scene_calls.h"

namespace velor::demo {

ForestWindowState gForestWindow;

namespace {
constexpr float kFollowersStart = 82.0f;
}  // namespace

void SetUpForestWindow() { PlaceForest(); }

void ForestWindowScene(float demoTime, float frameDelta) {
    gForestWindow.entryCount += 1;
    if (gForestWindow.entryCount == 1) {
        // Undoes the roll of window 3 and every earlier camera move, once.
        gCamera.eye = gCamera.homeEye;
        gCamera.target = gCamera.homeTarget;
        gCamera.up = gCamera.homeUp;
    }
    gSceneCalls.drawForest(frameDelta);
    if (demoTime > kFollowersStart) {
        gSceneCalls.sampleFigureVertices();
        gSceneCalls.drawSkeletonFollowers(frameDelta);
    }
}

}  // namespace velor::demo
