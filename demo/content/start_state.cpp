// One copy of everything the frames change, taken when start-up ends. A state struct added to a
// window must be listed here too, or a player going back in the schedule sees it as the later frames
// left it (the render test that runs the schedule, goes back and compares a frame guards this).
#include "demo/content/start_state.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <memory>
#include <optional>
#include <vector>

#include "demo/content/device_state_copy.h"
#include "demo/overlay/scroller.h"
#include "demo/overlay/text_record.h"
#include "demo/scene/scene_object.h"
#include "demo/shadows/reflective_object.h"
#include "demo/shadows/shadow_reflection_scene.h"
#include "demo/shadows/shadow_volume_scene.h"
#include "demo/shell/shell_state.h"
#include "demo/sprites/point_seeking.h"
#include "demo/sprites/point_sprite.h"
#include "demo/sprites/sphere_swarm.h"
#include "demo/sprites/warped_cube.h"
#include "demo/terrain/forest.h"
#include "demo/timeline/camera.h"
#include "demo/timeline/demo_timeline.h"
#include "demo/windows/forest_window.h"
#include "demo/windows/sphere_swarm_window.h"
#include "demo/windows/tunnel_window.h"
#include "demo/windows/warped_cube_window.h"

namespace velor::demo {

namespace {

// What a text record's draws change: everything but its sprite and font.
struct TextTint {
    int32_t textAlpha, textRed, textGreen, textBlue;
    float alphaLevel, angle, x, y, scaleX, scaleY, redCut, greenCut, blueCut;
    int32_t defaultScaleX, defaultScaleY;
    Rect screenRect;
};

TextTint TintOf(const TextRecord& r) {
    return {r.textAlpha, r.textRed,  r.textGreen, r.textBlue, r.alphaLevel,    r.angle,         r.x,         r.y,
            r.scaleX,    r.scaleY,   r.redCut,    r.greenCut, r.blueCut,       r.defaultScaleX, r.defaultScaleY,
            r.screenRect};
}

void ApplyTint(const TextTint& t, TextRecord& r) {
    r.textAlpha = t.textAlpha, r.textRed = t.textRed, r.textGreen = t.textGreen, r.textBlue = t.textBlue;
    r.alphaLevel = t.alphaLevel, r.angle = t.angle, r.x = t.x, r.y = t.y, r.scaleX = t.scaleX, r.scaleY = t.scaleY;
    r.redCut = t.redCut, r.greenCut = t.greenCut, r.blueCut = t.blueCut;
    r.defaultScaleX = t.defaultScaleX, r.defaultScaleY = t.defaultScaleY, r.screenRect = t.screenRect;
}

struct StartState {
    TimelineState timeline;
    CameraState camera;
    SphereSwarmWindowState sphereSwarmWindow;
    ShadowReflectionState shadowReflection;
    ShadowState shadow;
    ReflectionState reflection;
    TunnelWindowState tunnelWindow;
    WarpedCubeWindowState warpedCubeWindow;
    std::unique_ptr<WarpedCubeState> warpedCube;  // 1.2 MB of snapshot
    ForestWindowState forestWindow;
    ForestState forest;
    SeekingState seeking;
    // NOTE: the sphere swarm's snapshot, taken at start-up, is overwritten by the skeleton followers
    // of window 5 with the figure's vertices: window 1 after them would draw the figure.
    std::vector<SnapshotEntry> pointSnapshot;
    ScrollerState scroller;
    std::vector<std::pair<PointSprite*, PointSprite>> sprites;
    std::vector<TextTint> tints;
    std::vector<std::pair<int, SceneObject>> objects;  // the slots in use
    std::vector<std::pair<AnimationController*, AnimationController>> animations;
    DeviceStateCopy device;
};

std::optional<StartState> gStart;

bool SlotInUse(const SceneObject& o) { return o.mesh || o.rootFrame != nullptr || o.loadCount != 0; }

}  // namespace

void RecordStartState() {
    StartState& s = gStart.emplace();
    s.timeline = gTimeline;
    s.camera = gCamera;
    s.sphereSwarmWindow = gSphereSwarmWindow;
    s.shadowReflection = gShadowReflection;
    s.shadow = gShadow;
    s.reflection = gReflection;
    s.tunnelWindow = gTunnelWindow;
    s.warpedCubeWindow = gWarpedCubeWindow;
    s.warpedCube = std::make_unique<WarpedCubeState>(gWarpedCube);
    s.forestWindow = gForestWindow;
    s.forest = gForest;
    s.seeking = gSeeking;
    s.pointSnapshot.assign(std::begin(gPointSnapshot), std::end(gPointSnapshot));
    s.scroller = gScroller;
    for (PointSprite* sprite : {gSprites.cubeA, gSprites.cubeB, gSprites.sphere, gSprites.followerA, gSprites.followerB,
                                gSprites.glowA, gSprites.glowB, gSprites.sparkA, gSprites.sparkB})
        if (sprite != nullptr) s.sprites.emplace_back(sprite, *sprite);
    for (const TextRecord& record : gTextRecords) s.tints.push_back(TintOf(record));
    for (int slot = 0; slot < kObjectCapacity; ++slot) {
        const SceneObject& object = Object(slot);
        if (!SlotInUse(object)) continue;
        s.objects.emplace_back(slot, object);
        if (object.animationController) s.animations.emplace_back(object.animationController.get(), *object.animationController);
    }
    if (Device* device = CurrentDevice()) s.device = CopyDeviceState(*device);
}

void ReturnToStartState() {
    if (!gStart) return;
    const StartState& s = *gStart;
    gTimeline = s.timeline;
    gCamera = s.camera;
    gSphereSwarmWindow = s.sphereSwarmWindow;
    gShadowReflection = s.shadowReflection;
    gShadow = s.shadow;
    gReflection = s.reflection;
    gTunnelWindow = s.tunnelWindow;
    gWarpedCubeWindow = s.warpedCubeWindow;
    gWarpedCube = *s.warpedCube;
    gForestWindow = s.forestWindow;
    gForest = s.forest;
    gSeeking = s.seeking;
    std::copy(s.pointSnapshot.begin(), s.pointSnapshot.end(), std::begin(gPointSnapshot));
    gScroller = s.scroller;
    for (const auto& [sprite, start] : s.sprites) *sprite = start;
    for (size_t i = 0; i < gTextRecords.size(); ++i) ApplyTint(s.tints[i], gTextRecords[i]);
    for (const auto& [slot, start] : s.objects) Object(slot) = start;
    for (const auto& [controller, start] : s.animations) *controller = start;
    if (Device* device = CurrentDevice()) ApplyDeviceState(*device, s.device);
}

}  // namespace velor::demo
