#pragma once
// Window 3's four circling translucent images.
namespace velor::demo {

void DrawFourSpriteOverlay();

}  // namespace velor::demo
