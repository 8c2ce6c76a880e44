#pragma once
// Window 3's four circling translucent images, and its fade to dark.
namespace velor::demo {

// The images circle with the terrain clock.
void DrawFourSpriteOverlay(float terrainClock);
// The fade texture over the whole screen, text record 5 at alpha level `fadeLevel`.
void DrawFadeOverlay(float fadeLevel);

}  // namespace velor::demo
