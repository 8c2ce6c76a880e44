// PLACEHOLDER: empty bodies until this file's owner fills it in.
#include "demo/sprites/point_sprite.h"

namespace velor::demo {

PointSprites gSprites;

void InitPointSprite(PointSprite&, const char*) {}
void DrawPointSprite(PointSprite&, float) {}
void CreateCubeSprites() {}
void SetUpLightSprites() {}
void SetUpFlareSprites() {}

}  // namespace velor::demo
