// Start-up: every resource the scene windows share, and the set-up steps of the scenes, in the one
// order that works (later steps read what earlier ones made: the asset loader fills the slots the
// sphere swarm, the shadow volume and the terrain read). The music starts last, so the first frame
// follows it at once.
#include "demo/content/demo_resources.h"

#include <utility>
#include <vector>

#include "demo/content/asset_pack.h"
#include "demo/content/device_state_copy.h"
#include "demo/content/start_state.h"
#include "demo/overlay/text_record.h"
#include "demo/scene/scene_object.h"
#include "demo/shell/shell_state.h"
#include "demo/sprites/point_sprite.h"
#include "demo/timeline/camera.h"
#include "demo/windows/forest_window.h"
#include "demo/windows/scroller_window.h"
#include "demo/windows/shadow_reflection_window.h"
#include "demo/windows/sphere_swarm_window.h"
#include "demo/windows/tunnel_window.h"
#include "demo/windows/warped_cube_window.h"
#include "engine/gfx/texture_files.h"
#include "engine/image/image_prefetch.h"
#include "engine/mesh/mesh_shapes.h"

namespace velor::demo {

DemoResources gResources;

namespace {

constexpr Viewport kLetterbox{0, 100, 1024, 568, 0.0f, 1.0f};  // 100 rows left black above and below
constexpr float kSphereRadius = 0.2f;
constexpr uint32_t kSphereSlices = 40;
constexpr uint32_t kSphereStacks = 32;
constexpr int kFirstSpriteRecord = 1;
constexpr int kLastSpriteRecord = 10;
constexpr uint32_t kZombiSize = 512;
constexpr uint32_t kMusicStartWaitMs = 250;  // longest wait for the music's first samples
constexpr uint32_t kFadeTexel = 0x00010101u;
constexpr const char* kZombiFile = "textures/zombi.png";

void CreateFadeTexture() {
    Device* device = CurrentDevice();
    if (device->CreateTexture(1, 1, 1, Usage::Dynamic, Format::X8R8G8B8, Pool::Default, &gResources.fadeTexture) !=
        Result::Ok)
        return;
    LockedRect locked;
    if (gResources.fadeTexture->LockRect(0, &locked, nullptr, 0) != Result::Ok) return;
    *static_cast<uint32_t*>(locked.bits) = kFadeTexel;
    gResources.fadeTexture->UnlockRect(0);
}

// No pass reads the scene target's alpha, so it has none: additive sprites drawn into it can then
// leave out the pixels where their texture's colour is black (their alpha would have counted).
void CreateSceneTarget() {
    Device* device = CurrentDevice();
    if (CreateTexture(device, kBackBufferWidth, kBackBufferHeight, 1, Usage::RenderTarget, Format::X8R8G8B8,
                      Pool::Default, &gResources.sceneTargetTexture) != Result::Ok)
        return;
    gResources.sceneTargetTexture->GetSurfaceLevel(0, &gResources.sceneTargetSurface);
    SurfaceDesc desc;
    gResources.sceneTargetSurface->GetDesc(&desc);
    CreateRenderToSurface(device, desc.width, desc.height, desc.format, true, Format::D16,
                          &gResources.sceneRenderToSurface);
}

}  // namespace

// A Reset puts every state back to its default, but the demo sets many states once and relies on
// them for the rest of the run; the state is carried over so the frames after a lost spell look
// like the frames before it.
Result ResetDevice() {
    Device* device = CurrentDevice();
    if (device == nullptr) return Result::InvalidCall;
    const DeviceStateCopy copy = CopyDeviceState(*device);
    const Result result = device->Reset(gShell.presentParameters);
    if (result != Result::Ok) return result;
    ApplyDeviceState(*device, copy);
    return result;
}

void CreateDemoResources(bool startMusic) {
    Device* device = CurrentDevice();
    if (device == nullptr) return;

    device->SetViewport(&kLetterbox);

    CreateSphere(device, kSphereRadius, kSphereSlices, kSphereStacks, &gResources.sphereMesh);
    Object(kSphereMeshSlot).mesh = gResources.sphereMesh;

    LoadAssets();
    Object(kQuadSlot).noTextures = 1;

    if (Object(kCubeSlot).mesh) Object(kCubeSlot).mesh->GetVertexBuffer(&gResources.cubeVertexBuffer);
    if (gResources.sphereMesh) gResources.sphereMesh->GetVertexBuffer(&gResources.sphereVertexBuffer);

    for (int record = kFirstSpriteRecord; record <= kLastSpriteRecord; ++record)
        CreateSprite(device, &gTextRecords[size_t(record)].sprite);

    CreateTextureFromFileEx(device, kZombiFile, kZombiSize, kZombiSize, 1, 0, Format::A8R8G8B8, Pool::Default,
                            kD3DXDefault, kD3DXDefault, kOpaqueBlackKey, &gTextureTable[kZombiTextureSlot]);

    device->SetSamplerState(0, SamplerState::MinFilter, uint32_t(TextureFilter::Linear));
    device->SetSamplerState(0, SamplerState::MagFilter, uint32_t(TextureFilter::Linear));

    CreateFadeTexture();
    CreateSceneTarget();

    // Each window's own start-up, in the order of the schedule but for the flares, which texture
    // the sprites of windows 1, 4 and 5 together once the forest has made room for its followers.
    SetUpSphereSwarmWindow();
    SetUpShadowReflectionWindow();
    SetUpTunnelWindow();
    SetUpWarpedCubeWindow();
    SetUpForestWindow();
    SetUpFlareSprites();

    RecordHomeCamera();

    SetUpScrollerWindow();

    // Every texture is loaded: the decoding thread ends here, before the music, since ending it
    // waits for the file it is on. Nothing then stands between the music's first samples and the
    // frame clock's start, demo time 0.
    EndImagePrefetch();
    RecordStartState();
    if (startMusic) StartMusic(0);
}

void StartMusic(double fromSeconds) {
    gResources.musicEngine = CreateSoundEngine(SoundOutputDriver::AutoDetect, kSoundDefaultOptions);
    if (gResources.musicEngine == nullptr || !gResources.musicEngine->Play2D(kMusicFile, true, fromSeconds)) return;
    // The output takes the module at its next callback, up to one buffer (about 21 ms) later: the
    // frame clock, which starts next, waits for it so that the first samples and the first frame's
    // time agree. Bounded, for an output that stalls.
    gResources.musicEngine->WaitForSound(kMusicStartWaitMs);
}

}  // namespace velor::demo
