#pragma once
// The text form of the DirectX X file ("xof 0303txt 0032"), written the way the SDK's exporters do:
// Mesh with MeshNormals (one normal per vertex, the same face list), MeshTextureCoords and
// MeshMaterialList; frames with FrameTransformMatrix; XSkinMeshHeader and SkinWeights inside a
// skinned mesh; AnimTicksPerSecond and AnimationSet at the top level. No templates are declared:
// every object used is one of the standard ones readers know.

#include <string>

#include "tools/contentgen/mesh_types.h"

namespace velor::content {

std::string WriteXFile(const XFile& file);

// The same header and float format, for tests that compare text.
std::string FormatFloat(float v);

}  // namespace velor::content
