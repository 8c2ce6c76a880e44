#include "demo/windows/sphere_swarm_window.h"

#include "demo/content/demo_effects.h"
#include "demo/content/demo_resources.h"
#include "demo/sprites/point_sprite.h"
#include "demo/sprites/sphere_swarm.h"
#include "demo/windows/scene_calls.h"

namespace velor::demo {

SphereSwarmWindowState gSphereSwarmWindow;

namespace {
constexpr double kSwarmTimeScale = 1.2;  // the swarm's argument per second of demo time
constexpr double kMosaicRate = 0.193;    // per second: a period of about 1.6 s
constexpr float kMosaicPeak = 0.31f;
}  // namespace

void SetUpSphereSwarmWindow() {
    gSprites.sphere = new PointSprite();  // lives until the process ends; textured with the flares
    CreateEmbeddedEffect(kMosaicResource, &gResources.mosaicEffect);
    CopySphereVertices();
}

void SphereSwarmWindowScene(float demoTime, float) {
    gSceneCalls.drawSphereSwarm(float(double(demoTime) * kSwarmTimeScale));
}

void SphereSwarmWindowPost(float, float frameDelta) {
    float& phase = gSphereSwarmWindow.mosaicPhase;
    phase = float(phase + kMosaicRate * frameDelta);
    if (phase > kMosaicPeak) phase = 0;
    SetSpriteColour(gSprites.sphere, 0.3f, phase + 0.3f, phase * 3);
    gSceneCalls.mosaicPass(float((double(phase) + 0.1) * 0.5));
}

}  // namespace velor::demo
