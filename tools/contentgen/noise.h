#pragma once
// Lattice noise for the procedural textures. Every function can tile: a period p > 0 wraps the
// lattice every p cells, so a texture that samples x in [0, p) meets itself at the seam; p = 0 does
// not wrap. Values come from integer hashes of the lattice points, never from shared state.

#include <cstdint>

namespace velor::content {

// Perlin-style gradient noise, about -1..1, 0 at lattice points, quintic fade.
float GradientNoise2(float x, float y, int periodX, int periodY, uint32_t seed);
float GradientNoise3(float x, float y, float z, int periodX, int periodY, int periodZ, uint32_t seed);

// Sum of octaves: each doubles the frequency and the period and multiplies the amplitude by gain.
// The result is divided by the total amplitude, so it stays about -1..1.
float Fbm2(float x, float y, int octaves, int periodX, int periodY, uint32_t seed, float gain = 0.5f);
float Fbm3(float x, float y, float z, int octaves, int periodX, int periodY, int periodZ, uint32_t seed,
           float gain = 0.5f);

// Same as Fbm2 but each octave folded (1 - |n|): sharp ridges, about 0..1.
float RidgedFbm2(float x, float y, int octaves, int periodX, int periodY, uint32_t seed);

// Cellular noise: one jittered feature point per cell. f1 and f2 are the distances (in cells) to
// the nearest and second-nearest point, cellHash identifies the nearest point's cell.
struct CellSample {
    float f1 = 0;
    float f2 = 0;
    uint32_t cellHash = 0;
    float nearestX = 0;   // nearest feature point, in the caller's coordinates
    float nearestY = 0;
};
CellSample CellNoise2(float x, float y, int periodX, int periodY, uint32_t seed, float jitter = 0.9f);

}  // namespace velor::content
