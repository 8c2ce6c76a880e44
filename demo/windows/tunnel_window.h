#pragma once
// Window 3, from 32 s to 57 s: the turning tunnel drawn into the scene target and shown through the
// radial blur, under a rolling camera; the four images from 49.5 s and the fade from 53.5 s.

namespace velor::demo {

struct TunnelWindowState {
    float terrainClock = 0;  // 0.5 per second: the tunnel's turn, the blur and the images
    float fadeLevel = 0;     // after 53.5 s: up to its first value >= 1
};

extern TunnelWindowState gTunnelWindow;

// Start-up: the terrain's effect, textures and tangent frame, and the radial blur effect.
void SetUpTunnelWindow();
// Into the scene target: the clock moves on, the camera rolls, the tunnel draws.
void TunnelWindowScene(float demoTime, float frameDelta);
// On the back buffer: the blur pass with this frame's view, then the images and the fade.
void TunnelWindowPost(float demoTime, float frameDelta);

}  // namespace velor::demo
