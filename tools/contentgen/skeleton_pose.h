#pragma once
// Poses a skinned X file the way the demo's loader will: at a time in the animation set, each
// animated frame's matrix is rebuilt from its keys (scale, then rotation, then translation; keys
// interpolated linearly, rotations by slerp, looping over the last key's time), frames are combined
// down the hierarchy with the root left at the identity, and each vertex is the weighted sum of its
// bind position through offset · combined of its bones. Used to check where the figure reaches.

#include <vector>

#include "tools/contentgen/mesh_types.h"

namespace velor::content {

// Skinned positions of the first skinned mesh in the file at `seconds` into its first animation set.
std::vector<Vec3> PoseSkinnedMesh(const XFile& file, float seconds);

}  // namespace velor::content
