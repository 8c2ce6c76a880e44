#pragma once
// Material records that the X-file loaders hand out (D3DXMATERIAL, D3DXEFFECTINSTANCE).
#include <string>
#include <vector>

#include "engine/gfx/d3d_types.h"

namespace velor {

// D3DXMATERIAL. A file's Material has no ambient colour: it loads as (0, 0, 0, 1); specular and
// emissive get alpha 1. The texture file name is used unchanged, relative to the working folder.
struct XMaterial {
    Material matD3D;
    std::string textureFilename;  // empty: no texture
};

// D3DXEFFECTDEFAULTTYPE
namespace EffectDefaultType {
constexpr uint32_t String = 1;  // value: the characters and a terminating 0
constexpr uint32_t Floats = 2;
constexpr uint32_t Dword = 3;
}  // namespace EffectDefaultType

struct EffectDefault {
    std::string paramName;
    uint32_t type = 0;  // EffectDefaultType
    std::vector<uint8_t> value;
};

// D3DXEFFECTINSTANCE: the loaders give one per material, with no effect file.
struct EffectInstance {
    std::string effectFilename;
    std::vector<EffectDefault> defaults;
};

// The instance D3DX gives with a loaded material: the floats of Diffuse (4), Power (1), Specular (4),
// Emissive (4) and Ambient (4), in that order, then Texture0@Name (a string) when there is a texture.
EffectInstance EffectInstanceOf(const XMaterial& material);

}  // namespace velor
