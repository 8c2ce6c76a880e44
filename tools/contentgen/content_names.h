#pragma once
// File names shared by the meshes that name textures and the generators that make them. Paths are
// relative to the demo's working folder and are written into the X files unchanged.

namespace velor::content::names {

// Named by the demo itself.
inline constexpr const char* kFlare = "textures/Flare1.jpg";
inline constexpr const char* kLight = "textures/light.png";
inline constexpr const char* kLight1 = "textures/light1.png";
inline constexpr const char* kParticle = "textures/particle.png";
inline constexpr const char* kEnvironmentCube = "textures/Texture1.dds";
inline constexpr const char* kDetails = "textures/details.tga";
inline constexpr const char* kBlend = "textures/BLEND.PNG";
inline constexpr const char* kRock = "textures/rock_b.dds";
inline constexpr const char* kGrass = "textures/cimen.jpg";
inline constexpr const char* kTunnelWall = "textures/tunnel.png";
inline constexpr const char* kRockNormalMap = "textures/rock_c_normalmap.dds";
inline constexpr const char* kZombi = "textures/zombi.png";
inline constexpr const char* kFire = "fire.png";

// Named only by the meshes' materials.
inline constexpr const char* kWallStone = "textures/wall_stone.jpg";
inline constexpr const char* kFloorTiles = "textures/floor_tiles.jpg";
inline constexpr const char* kBark = "textures/bark.jpg";
inline constexpr const char* kLeaves = "textures/leaves.jpg";
inline constexpr const char* kBone = "textures/bone.jpg";
inline constexpr const char* kSkyNorth = "textures/sky_north.jpg";   // +z
inline constexpr const char* kSkySouth = "textures/sky_south.jpg";   // -z
inline constexpr const char* kSkyEast = "textures/sky_east.jpg";     // +x
inline constexpr const char* kSkyWest = "textures/sky_west.jpg";     // -x
inline constexpr const char* kSkyTop = "textures/sky_top.jpg";

// The music module and the asset pack.
inline constexpr const char* kMusic = "Vob_058f.s3m";
inline constexpr const char* kPack = "data.xyz";

}  // namespace velor::content::names
