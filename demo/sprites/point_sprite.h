#pragma once
// Point sprites: one textured point drawn through the shared point-sprite effect and placed by its
// own world transform. The clouds of the demo take one sprite, move it and draw it again, hundreds
// of times a frame.
#include <memory>

#include "engine/fx/effect.h"
#include "engine/gfx/resources.h"
#include "engine/math/math_types.h"

namespace velor::demo {

struct PointSprite {
    Vector3 position{0, 0, 0};
    Vector3 scale{1, 1, 1};
    Vector3 rotation{0, 0, 0};            // radians about x, y, z
    Vector4 diffuse{1, 1, 1, 1};          // red, green, blue, alpha, handed to the effect unchanged
    Matrix rotationMatrix, translationMatrix, scalingMatrix;
    Matrix rotationXMatrix, rotationYMatrix, rotationZMatrix;
    std::shared_ptr<VertexBuffer> vertexBuffer;  // one zeroed 16-byte XYZ | DIFFUSE vertex
    std::shared_ptr<Texture> texture;
};

// The nine instances, each constructed by its start-up step (null before).
struct PointSprites {
    PointSprite* cubeA = nullptr;      // warped cube cloud
    PointSprite* cubeB = nullptr;
    PointSprite* sphere = nullptr;     // sphere swarm
    PointSprite* followerA = nullptr;  // skeleton followers
    PointSprite* followerB = nullptr;
    PointSprite* glowA = nullptr;      // shadow-and-reflection scene
    PointSprite* glowB = nullptr;
    PointSprite* sparkA = nullptr;
    PointSprite* sparkB = nullptr;
    std::shared_ptr<Effect> effect;    // "PointAlpha.fx", created by the first InitPointSprite
};

extern PointSprites gSprites;

void InitPointSprite(PointSprite& sprite, const char* textureFile);
void DrawPointSprite(PointSprite& sprite, float pointSize);
// Sets red, green and blue of a sprite that exists; alpha stays.
void SetSpriteColour(PointSprite* sprite, float red, float green, float blue);
void CreateCubeSprites();
void SetUpLightSprites();
void SetUpFlareSprites();

}  // namespace velor::demo
