#pragma once
// Window 1, below 19.4 s: the sphere swarm drawn into the scene target, shown through the mosaic.

namespace velor::demo {

struct SphereSwarmWindowState {
    float mosaicPhase = 0;  // sawtooth 0..0.31: the mosaic's timer and the swarm's colour
};

extern SphereSwarmWindowState gSphereSwarmWindow;

// Start-up: the sphere sprite, the mosaic effect and the swarm's point snapshot.
void SetUpSphereSwarmWindow();
// Into the scene target: the swarm.
void SphereSwarmWindowScene(float demoTime, float frameDelta);
// On the back buffer: the mosaic phase moves on, colours the sphere sprite and drives the mosaic pass.
void SphereSwarmWindowPost(float demoTime, float frameDelta);

}  // namespace velor::demo
