#pragma once
// The nine meshes of the asset pack. Each builder returns the whole X file's content; the sizes,
// orientations and placements are chosen for where the demo puts its camera in each scene.

#include "tools/contentgen/mesh_types.h"

namespace velor::content {

XFile MakeCasterMesh();      // duvar.x: colonnade on a stepped floor, closed boxes and prisms
XFile MakeSphereMesh();      // sphere.x: smooth sphere for the reflection
XFile MakeGlowShellMesh();   // scroll.x: shell carrying the scrolling glow texture
XFile MakeTunnelMesh();      // tunnel.x: long rocky tube, faces seen from inside
XFile MakeCloudCubeMesh();   // ccube.x: subdivided cube whose points form the warped cloud
XFile MakeScreenQuadMesh();  // quad.x: fills a pi/4 view at distance 0.3
XFile MakeSkyboxMesh();      // skybox.x: ground and sky box seen from inside
XFile MakeTreeMesh();        // tree.x: trunk, branches and foliage clumps
XFile MakeSkeletonFile();    // iskelet.x: skinned, animated skeleton figure

}  // namespace velor::content
