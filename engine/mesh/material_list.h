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

struct EffectDefault {
    std::string paramName;
    uint32_t type = 0;  // D3DXEDT_*
    std::vector<uint8_t> value;
};

// D3DXEFFECTINSTANCE: the loaders give one per material, with no effect file.
struct EffectInstance {
    std::string effectFilename;
    std::vector<EffectDefault> defaults;
};

}  // namespace velor
