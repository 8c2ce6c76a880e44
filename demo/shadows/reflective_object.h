#pragma once
// The environment-mapped sphere of window 2 (slot 3) through the reflection effect.
#include <memory>

#include "engine/fx/effect.h"
#include "engine/gfx/d3d_types.h"
#include "engine/gfx/resources.h"

namespace velor::demo {

// The 60-byte light laid onto the effect's DirLight structure.
struct ReflectionLight {
    float ambient[4];
    float diffuse[4];
    float specular[4];
    float dirW[3];
};
static_assert(sizeof(ReflectionLight) == 60);

// The effect's Mtrl structure, which an object material (68 bytes: diffuse, ambient, specular,
// emissive, power) is laid onto member by member: it has no emissive colour.

struct ReflectionState {
    std::shared_ptr<Effect> effect;                  // "Alpha.fx"
    ReflectionLight light{};
    std::shared_ptr<CubeTexture> environmentCube;    // "textures/Texture1.dds"
};

extern ReflectionState gReflection;

void DrawReflectiveObject();

}  // namespace velor::demo
