#pragma once
// The resources every scene window shares, created once at start-up and kept until exit.
#include <memory>

#include "engine/audio/sound_engine.h"
#include "engine/fx/effect.h"
#include "engine/gfx/d3d_types.h"
#include "engine/gfx/render_to_surface.h"
#include "engine/gfx/resources.h"
#include "engine/mesh/mesh.h"

namespace velor::demo {

struct DemoResources {
    std::shared_ptr<Mesh> sphereMesh;                 // radius 0.2, 40 slices, 32 stacks; slot 2's mesh
    std::shared_ptr<VertexBuffer> sphereVertexBuffer; // handed to the sphere swarm's snapshot
    std::shared_ptr<VertexBuffer> cubeVertexBuffer;   // slot 20's, handed to the warped cube cloud
    std::shared_ptr<Texture> fadeTexture;             // 1 x 1, texel 0x00010101
    std::shared_ptr<Texture> sceneTargetTexture;      // 1024 x 768 render target of windows 1 and 3
    std::shared_ptr<Surface> sceneTargetSurface;      // its level 0
    std::shared_ptr<RenderToSurface> sceneRenderToSurface;
    std::shared_ptr<Effect> mosaicEffect;             // resource 102
    std::shared_ptr<Effect> radialBlurEffect;         // resource 101
    std::shared_ptr<Effect> offsetEffect;             // resource 103, created with window 2
    std::shared_ptr<SoundEngine> musicEngine;         // started last; never called again
};

// Resource ids of the effect sources compiled into the executable.
constexpr int kRadialBlurResource = 101;
constexpr int kMosaicResource = 102;
constexpr int kOffsetResource = 103;
constexpr int kEnvironmentMapResource = 104;  // carried, never created

extern DemoResources gResources;

// The colour key textures are loaded with: opaque black becomes transparent black.
constexpr Color kOpaqueBlackKey = 0xFF000000u;

// The module the music plays, relative to the run folder.
constexpr const char* kMusicFile = "Vob_058f.s3m";

// Start-up, in its fixed order; starts the looping music last. A player that starts later in the
// schedule, or without sound, passes false and calls StartMusic itself.
void CreateDemoResources(bool startMusic = true);
// Creates the music engine and plays the module, looped, from `fromSeconds` into the song; returns
// once the output has rendered its first samples (or after a short bound), so that the frame clock
// started next begins with them.
void StartMusic(double fromSeconds);
// Resets the device with the shell's present parameters, then sets again what start-up set and the
// lights that were on: the frames after a lost spell look like the frames before it.
Result ResetDevice();

}  // namespace velor::demo
