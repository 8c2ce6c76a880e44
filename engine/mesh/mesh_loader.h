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
// (see xfile_mesh_builder.h); faces are sorted by material and the attribute table is set.
// *materialCount is the number of materials (0 for a file without a material list, whose faces all
// have attribute 0); adjacency holds three entries per face; effects one empty entry per material.
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
