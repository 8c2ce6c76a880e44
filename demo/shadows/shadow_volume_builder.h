#pragma once
// Builds the shadow volume of the caster (slot 1) into the shadow slot (499) at start-up.
#include <memory>

#include "engine/gfx/d3d_types.h"
#include "engine/mesh/mesh.h"

namespace velor::demo {

void SetUpShadowVolume();
Result BuildShadowVolume(const Mesh& source, std::shared_ptr<Mesh>* out);

}  // namespace velor::demo
