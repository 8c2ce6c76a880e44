#pragma once
// Window 2, from 19.4 s to 32 s: the shadow-and-reflection scene, straight into the back buffer.

namespace velor::demo {

// Start-up: the four light sprites, the reflection effect and its light, the shadow volume and its
// lights' colours, the environment cube map, the glow layer's texture and offset effect, and the
// camera flight's starting waypoints.
void SetUpShadowReflectionWindow();
// The scene, which also flies the camera.
void ShadowReflectionWindowScene(float demoTime, float frameDelta);

}  // namespace velor::demo
