#pragma once
// Painters of every texture the demo and its meshes open. Each returns the picture at its file's
// size; the catalog chooses the file format. All of them are pure functions of their arguments.

#include <array>

#include "tools/contentgen/canvas.h"
#include "tools/contentgen/sky_layout.h"

namespace velor::content {

// Glows and sparks (point sprites and the scrolling glow layer). Each fades to exactly zero
// before the edge of its square, so the square never shows. RGBA: colour and matching alpha.
Canvas PaintFlare(int size);        // Flare1.jpg: soft white glow (every user tints it)
Canvas PaintWarmGlow(int size);     // light.png: golden glow with faint rays
Canvas PaintHaloGlow(int size);     // light1.png: cyan ring halo with a soft core
Canvas PaintSpark(int size);        // particle.png: white star-shaped spark

// The fire animation: 11 x 7 cells of 93 x 146 on a 1024 x 1024 sheet, black around the flames.
inline constexpr int kFireColumns = 11;
inline constexpr int kFireRows = 7;
inline constexpr int kFireCellWidth = 93;
inline constexpr int kFireCellHeight = 146;
Canvas PaintFireSheet();

Canvas PaintZombi(int size);        // zombi.png: a ghoul's head on black

// The tunnel's splatting set; all tile seamlessly.
Canvas PaintDetail(int size);       // details.tga: grey grain around mid-grey
Canvas PaintBlendWeights(int size); // BLEND.PNG: three layer weights in R, G, B summing to 1
Canvas PaintRock(int size);         // rock_b.dds
Canvas PaintGrass(int size);        // cimen.jpg (also the forest's ground)
Canvas PaintTunnelWall(int size);   // tunnel.png: weathered stone blocks
Canvas PaintRockNormals(int size);  // rock_c_normalmap.dds: tangent-space normals, height in alpha

// Brightness factor around 1 for stone grain at texel (x, y) = (u, v) * size: per-texel specks and
// fine pitting, `amount` their spread; tiles with any size.
float StoneGrain(int x, int y, float u, float v, uint32_t seed, float amount);

// Textures named by the meshes' materials; all tile.
Canvas PaintWallStone(int size);    // duvar.x columns and walls
Canvas PaintFloorTiles(int size);   // duvar.x floor
Canvas PaintBark(int width, int height);
Canvas PaintLeaves(int size);
Canvas PaintBone(int size);

// Skies: the forest's box faces and the reflective orb's environment (D3D cube face order).
Canvas PaintSkyFace(sky::Face face, int width, int height);
std::array<Canvas, 6> PaintEnvironmentCube(int size);

}  // namespace velor::content
