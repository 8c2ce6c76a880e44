// The director on a scripted clock, with a recording in place of the scenes: which window runs,
// the parameters it animates, and the camera moves it makes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "demo/sprites/point_sprite.h"
#include "demo/timeline/camera.h"
#include "demo/timeline/demo_timeline.h"
#include "demo/windows/forest_window.h"
#include "demo/windows/scene_calls.h"
#include "demo/windows/sphere_swarm_window.h"
#include "demo/windows/tunnel_window.h"
#include "demo/windows/warped_cube_window.h"

namespace velor::demo {
namespace {

std::vector<std::string> gCalls;
float gMusicTimer = -1;
// What the cube cloud saw when it drew.
int32_t gSeenMode = -1;
float gSeenRate = -1;
float gSeenRedA = -1;
// The camera's view as the post passes saw it.
Matrix gMosaicView;
Matrix gBlurView;

SceneCalls Recording() {
    SceneCalls calls{};
    calls.drawSphereSwarm = [](float) { gCalls.push_back("swarm"); };
    calls.mosaicPass = [](float timer) {
        gCalls.push_back("mosaic");
        gMusicTimer = timer;
        gMosaicView = gCamera.view;
    };
    calls.drawShadowReflectionScene = [](float, float) { gCalls.push_back("shadows"); };
    calls.drawTerrain = [](float) { gCalls.push_back("terrain"); };
    calls.radialBlurPass = [](const Matrix& view, const Matrix&) {
        gCalls.push_back("blur");
        gBlurView = view;
    };
    calls.drawFourSpriteOverlay = [](float) { gCalls.push_back("images"); };
    calls.drawFadeOverlay = [](float) { gCalls.push_back("fade"); };
    calls.drawWarpedCube = [](const CubeWarp& warp, float) {
        gCalls.push_back("cube");
        gSeenMode = warp.mode;
        gSeenRate = warp.rate;
        gSeenRedA = gSprites.cubeA->diffuse.x;
    };
    calls.drawForest = [](float) { gCalls.push_back("forest"); };
    calls.sampleFigureVertices = [] { gCalls.push_back("sample"); };
    calls.drawSkeletonFollowers = [](float) { gCalls.push_back("followers"); };
    calls.drawScroller = [](float) { gCalls.push_back("scroller"); };
    return calls;
}

class Timeline : public ::testing::Test {
protected:
    void SetUp() override {
        gSceneCalls = Recording();
        gTimeline = TimelineState{};
        gSphereSwarmWindow = SphereSwarmWindowState{};
        gTunnelWindow = TunnelWindowState{};
        gWarpedCubeWindow = WarpedCubeWindowState{};
        gForestWindow = ForestWindowState{};
        gCamera = CameraState{};
        gCalls.clear();
        gSprites.cubeA = &cubeA_;
        gSprites.cubeB = &cubeB_;
        gSprites.sphere = &sphere_;
    }
    void TearDown() override {
        gSceneCalls = RealSceneCalls();
        gSprites = PointSprites{};
    }
    // One frame of the given length; returns the scenes it ran.
    std::vector<std::string> Frame(float delta) {
        gCalls.clear();
        DemoTimeline(delta);
        return gCalls;
    }
    PointSprite cubeA_, cubeB_, sphere_;
};

using Calls = std::vector<std::string>;

TEST_F(Timeline, EachWindowRunsItsScenesInsideItsInterval) {
    struct Case {
        float time;
        Calls calls;
    };
    const Case cases[] = {
        {1.0f, {"swarm", "mosaic"}},
        {19.3f, {"swarm", "mosaic"}},
        {19.5f, {"shadows"}},
        {40.0f, {"terrain", "blur"}},
        {50.0f, {"terrain", "blur", "images"}},
        {54.0f, {"terrain", "blur", "images", "fade"}},
        {60.0f, {"cube"}},
        {80.0f, {"forest"}},
        {83.0f, {"forest", "sample", "followers"}},
        {99.0f, {"scroller"}},
        {5000.0f, {"scroller"}},
        // Boundaries are open: a frame landing exactly on one draws nothing.
        {32.0f, {}},
        {57.0f, {}},
        {76.0f, {}},
        {98.0f, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.time);
        gTimeline.demoTime = 0;
        EXPECT_EQ(Frame(c.time), c.calls);
    }
}

// Each window from just inside its start to just inside its end: a window that ended early or
// began late leaves a gap where only the clear shows, which the boundaries alone would not notice.
TEST_F(Timeline, EachWindowRunsRightUpToBothOfItsEnds) {
    struct Case {
        float time;
        Calls calls;
    };
    const Calls swarm = {"swarm", "mosaic"}, shadows = {"shadows"}, cube = {"cube"}, forest = {"forest"};
    const Case cases[] = {
        {0.01f, swarm},
        {19.39f, swarm},
        {19.41f, shadows},
        {31.99f, shadows},
        {32.01f, {"terrain", "blur"}},
        {56.99f, {"terrain", "blur", "images", "fade"}},
        {57.01f, cube},
        {75.99f, cube},
        {76.01f, forest},
        {97.99f, {"forest", "sample", "followers"}},
        {98.01f, {"scroller"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.time);
        gTimeline = TimelineState{};
        EXPECT_EQ(Frame(c.time), c.calls);
    }
}

TEST_F(Timeline, BoundaryOf19Point4IsComparedInDoublePrecision) {
    // 19.4f is slightly below the double 19.4: a frame there still belongs to window 1, where a
    // single-precision comparison would find it on the boundary and draw nothing.
    ASSERT_LT(double(19.4f), 19.4);
    EXPECT_EQ(WindowAt(19.4f), 1);
    EXPECT_EQ(WindowAt(19.41f), 2);
    EXPECT_EQ(WindowAt(32.0f), 0);
}

TEST_F(Timeline, MosaicPhaseIsASawtoothNeverAbove0Point31) {
    float highest = 0;
    int wraps = 0;
    float previous = 0;
    for (int frame = 0; frame < 1000; ++frame) {
        Frame(1.0f / 60);
        highest = std::max(highest, gSphereSwarmWindow.mosaicPhase);
        if (gSphereSwarmWindow.mosaicPhase < previous) ++wraps;
        previous = gSphereSwarmWindow.mosaicPhase;
        EXPECT_FLOAT_EQ(gMusicTimer, (gSphereSwarmWindow.mosaicPhase + 0.1f) * 0.5f);
        EXPECT_FLOAT_EQ(sphere_.diffuse.y, gSphereSwarmWindow.mosaicPhase + 0.3f);
    }
    EXPECT_LE(highest, 0.31f);
    EXPECT_GT(highest, 0.30f);
    EXPECT_EQ(wraps, 10);  // 1000 frames of 1/60 s: 16.7 s over a period of about 1.6 s
}

TEST_F(Timeline, FadeStopsAtItsFirstValueOfOneOrMore) {
    gTimeline.demoTime = 53.5f;
    for (int frame = 0; frame < 400 && gTimeline.demoTime < 56.95f; ++frame) Frame(1.0f / 60);
    EXPECT_GE(gTunnelWindow.fadeLevel, 1.0f);
    EXPECT_LT(gTunnelWindow.fadeLevel, 1.0f + 0.3f / 60 + 1e-6f);
    float stopped = gTunnelWindow.fadeLevel;
    Frame(1.0f / 60);
    EXPECT_EQ(gTunnelWindow.fadeLevel, stopped);
}

TEST_F(Timeline, CubeSettingsTakeEffectOneFrameLate) {
    gTimeline.demoTime = 69.6f;  // inside both the first row (below 70) and the second (above 69.5)
    Frame(0.01f);
    EXPECT_EQ(gSeenMode, 0);             // the cloud drew with the settings of before
    EXPECT_EQ(gWarpedCubeWindow.warp.mode, 1);  // the later row wins
    EXPECT_FLOAT_EQ(cubeA_.diffuse.x, 0.5f);
    Frame(0.01f);
    EXPECT_EQ(gSeenMode, 1);
    EXPECT_FLOAT_EQ(gSeenRedA, 0.5f);

    struct Row {
        float time;
        int32_t mode;
        float rate;
        float redA, redB;
    };
    const Row rows[] = {
        {60.0f, 1, 1.0f, 0.1f, 0.3f},   // mode unchanged (1 from above), first row's colours
        {71.5f, 2, 0.8f, 0.7f, 0.5f},
        {73.0f, 3, 1.0f, 0.5f, 0.3f},
        {74.5f, 1, 1.0f, 0.2f, 0.1f},
        {75.8f, 1, 1.0f, 0.2f, 0.1f},   // after 75.5 the last settings stay
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.time);
        gTimeline.demoTime = row.time - 0.01f;
        Frame(0.01f);
        EXPECT_EQ(gWarpedCubeWindow.warp.mode, row.mode);
        EXPECT_FLOAT_EQ(gWarpedCubeWindow.warp.rate, row.rate);
        EXPECT_FLOAT_EQ(cubeA_.diffuse.x, row.redA);
        EXPECT_FLOAT_EQ(cubeB_.diffuse.x, row.redB);
    }
}

TEST_F(Timeline, CubeWindowTakesTheHomeCameraAfter75Point6) {
    gCamera.homeEye = {1, 2, 3};
    gCamera.homeTarget = {4, 5, 6};
    gTimeline.demoTime = 70.0f;
    Frame(0.01f);
    EXPECT_FLOAT_EQ(gCamera.eye.z, -13.0f);
    EXPECT_FLOAT_EQ(gCamera.target.z, -12.0f);
    gTimeline.demoTime = 75.7f;
    Frame(0.01f);
    EXPECT_FLOAT_EQ(gCamera.eye.z, 3.0f);
    EXPECT_FLOAT_EQ(gCamera.target.z, 6.0f);
}

TEST_F(Timeline, ForestRestoresTheHomeCameraOnceOnItsFirstFrame) {
    gCamera.homeUp = {0, 1, 0};
    gCamera.up = {1, 0, 0};  // rolled by the tunnel
    gCamera.eye = {9, 9, 9};
    gTimeline.demoTime = 76.5f;
    Frame(0.01f);
    EXPECT_EQ(gForestWindow.entryCount, 1);
    EXPECT_FLOAT_EQ(gCamera.up.y, 1.0f);
    EXPECT_FLOAT_EQ(gCamera.eye.z, -1.0f);
    gCamera.eye = {9, 9, 9};  // as the forest's dolly would move it
    Frame(0.01f);
    EXPECT_EQ(gForestWindow.entryCount, 2);
    EXPECT_FLOAT_EQ(gCamera.eye.x, 9.0f);
}

TEST_F(Timeline, JumpFromWindowOnePast98RunsOnlyTheScroller) {
    Frame(1.0f);
    EXPECT_EQ(gCalls, (Calls{"swarm", "mosaic"}));
    EXPECT_EQ(Frame(100.0f), (Calls{"scroller"}));
    EXPECT_EQ(gForestWindow.entryCount, 0);  // the forest's one-shot restore never happened
}

bool SameMatrix(const Matrix& a, const Matrix& b) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (a.m[r][c] != b.m[r][c]) return false;
    return true;
}

// The mosaic shows the swarm with the camera of the previous frame; the blur shows the tunnel with
// the view built inside this frame's target pass.
TEST_F(Timeline, OnlyTheTunnelBuildsItsCameraBeforeItsPostPass) {
    const Matrix stale = gCamera.view;  // never built: all zero
    gTimeline.demoTime = 10.0f;
    Frame(0.01f);
    EXPECT_TRUE(SameMatrix(gMosaicView, stale));
    EXPECT_FALSE(SameMatrix(gCamera.view, stale)) << "the window ends with ApplyCamera";

    gCamera.view = stale;
    gTimeline.demoTime = 40.0f;
    Frame(0.01f);
    EXPECT_FALSE(SameMatrix(gBlurView, stale));
    EXPECT_TRUE(SameMatrix(gBlurView, gCamera.view));
}

TEST_F(Timeline, TunnelRollsTheUpVectorButRebuildsTheEye) {
    gTimeline.demoTime = 50.0f;  // past 49.5: the eye is not pushed along x
    for (int frame = 0; frame < 60; ++frame) Frame(1.0f / 60);
    // The eye trembles by one frame's angle only; the up vector has turned 0.1 rad in the second.
    EXPECT_NEAR(gCamera.eye.x, 0.0f, 1e-3);
    EXPECT_NEAR(gCamera.eye.z, -1.0f, 1e-2);
    float turned = std::acos(std::min(1.0f, gCamera.up.y));
    EXPECT_GT(turned, 0.01f);
    EXPECT_FLOAT_EQ(gCamera.target.x, 5.0f);
}

}  // namespace
}  // namespace velor::demo
