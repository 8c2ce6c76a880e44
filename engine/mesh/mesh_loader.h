#pragma once
// D3DXLoadMeshFromX: every mesh of an X file collapsed into one, each transformed by its frames.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/mesh/material_list.h"
#include "engine/mesh/mesh.h"

namespace velor {

// Outputs may be null. With one mesh in the file the vertices are the file's own, in file order
// (see xfile_mesh_builder.h); faces are sorted by material and the attribute table is set. Each mesh
// is placed by the FrameTransformMatrix blocks of its frames that come before it in the file.
// Meshes without a material list share one default material (grey diffuse and specular of alpha 0,
// power 0, no texture), as D3DX gives them. Adjacency holds three entries per face; effects one
// instance per material with D3DX's defaults (see EffectInstanceOf).
// A malformed file fails with InvalidData and, when errorMessage is given, "file: line N: what was
// expected"; the mesh is then null. device may be null for CPU-only use (DrawSubset then fails).
Result LoadMeshFromX(const char* filename, uint32_t options, Device* device, std::vector<uint32_t>* adjacency,
                     std::vector<XMaterial>* materials, std::vector<EffectInstance>* effectInstances,
                     uint32_t* materialCount, std::shared_ptr<Mesh>* mesh, std::string* errorMessage = nullptr);

// The same from bytes in memory; label names the data in messages.
Result LoadMeshFromXInMemory(std::string_view data, std::string_view label, uint32_t options, Device* device,
                             std::vector<uint32_t>* adjacency, std::vector<XMaterial>* materials,
                             std::vector<EffectInstance>* effectInstances, uint32_t* materialCount,
                             std::shared_ptr<Mesh>* mesh, std::string* errorMessage = nullptr);

}  // namespace velor
