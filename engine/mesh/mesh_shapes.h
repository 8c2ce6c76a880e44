#pragma once
// D3DX's generated shapes.
#include <memory>
#include <vector>

#include "engine/mesh/mesh.h"

namespace velor {

// D3DXCreateSphere: a managed mesh of position and normal (24 bytes, D3DFVF_XYZ | D3DFVF_NORMAL) with
// 16-bit indices, 2 + slices × (stacks − 1) vertices and 2 × slices × (stacks − 1) faces.
// NOTE: the vertex order is D3DX's and callers read it directly: vertex 0 is the +z pole, then rings
// from +z to −z, each starting at +y and turning towards +x, then the −z pole. Faces are the top fan,
// the bands between rings and the bottom fan, clockwise seen from outside.
// Fails for a negative radius, fewer than 2 slices or stacks, or more than 65535 vertices.
Result CreateSphere(Device* device, float radius, uint32_t slices, uint32_t stacks, std::shared_ptr<Mesh>* mesh,
                    std::vector<uint32_t>* adjacency = nullptr);

}  // namespace velor
