// Start-up: every resource the scene windows share, and the set-up steps of the scenes, in the one
// order that works (later steps read what earlier ones made: the asset loader fills the slots the
// sphere swarm, the shadow volume and the terrain read). The music starts last, so the first frame
// follows it at once.
#include "demo/content/demo_resources.h"

#include <cstdio>

#include "demo/content/asset_pack.h"
#include "demo/overlay/text_record.h"
#include "demo/scene/scene_object.h"
#include "demo/shell/shell_state.h"
#include "demo/sprites/point_sprite.h"
#include "demo/sprites/sphere_swarm.h"
#include "demo/terrain/forest.h"
#include "demo/terrain/terrain.h"
#include "demo/timeline/camera.h"
#include "engine/gfx/texture_files.h"
#include "engine/mesh/mesh_shapes.h"
#include "engine/os/window.h"

namespace velor::demo {

DemoResources gResources;

namespace {

constexpr Viewport kLetterbox{0, 100, 1024, 568, 0.0f, 1.0f};  // 100 rows left black above and below
constexpr float kSphereRadius = 0.2f;
constexpr uint32_t kSphereSlices = 40;
constexpr uint32_t kSphereStacks = 32;
constexpr int kTitleFontHeight = 22;
constexpr int kGreetingsFontHeight = 35;
constexpr uint32_t kDefaultCharset = 1;
constexpr int kFirstSpriteRecord = 1;
constexpr int kLastSpriteRecord = 10;
constexpr uint32_t kZombiSize = 512;
constexpr Color kOpaqueBlackKey = 0xFF000000u;
constexpr uint32_t kFadeTexel = 0x00010101u;
constexpr const char* kZombiFile = "textures/zombi.png";
constexpr const char* kEffectErrorCaption = "asd";

void CreateRecordFont(int record, int height, bool italic) {
    std::string error;
    static std::string said;  // both records ask for the same font: one reason is enough
    if (CreateFont(gShell.device.get(), height, 0, 0, 1, italic, kDefaultCharset, 0, 0, 0, "",
                   &gTextRecords[size_t(record)].font, &error) != Result::Ok && error != said) {
        std::fprintf(stderr, "velor: no font for text: %s\n", error.c_str());
        said = error;
    }
}

// An embedded effect that does not compile says why in a message box and is left missing.
void CreatePostEffect(int resource, std::shared_ptr<Effect>* effect) {
    std::string errors;
    if (CreateEffectFromResource(gShell.device.get(), resource, effect, &errors) != Result::Ok) {
        effect->reset();
        MessageBox(errors.c_str(), kEffectErrorCaption);
    }
}

void CreateFadeTexture() {
    Device* device = gShell.device.get();
    if (device->CreateTexture(1, 1, 1, Usage::Dynamic, Format::X8R8G8B8, Pool::Default, &gResources.fadeTexture) !=
        Result::Ok)
        return;
    LockedRect locked;
    if (gResources.fadeTexture->LockRect(0, &locked, nullptr, 0) != Result::Ok) return;
    *static_cast<uint32_t*>(locked.bits) = kFadeTexel;
    gResources.fadeTexture->UnlockRect(0);
}

void CreateSceneTarget() {
    Device* device = gShell.device.get();
    if (CreateTexture(device, kBackBufferWidth, kBackBufferHeight, 1, Usage::RenderTarget, Format::A8R8G8B8,
                      Pool::Default, &gResources.sceneTargetTexture) != Result::Ok)
        return;
    gResources.sceneTargetTexture->GetSurfaceLevel(0, &gResources.sceneTargetSurface);
    SurfaceDesc desc;
    gResources.sceneTargetSurface->GetDesc(&desc);
    CreateRenderToSurface(device, desc.width, desc.height, desc.format, true, Format::D16,
                          &gResources.sceneRenderToSurface);
}

}  // namespace

// A device Reset returns every state to its default; the ones start-up set for the whole run (the
// letterbox viewport, linear filtering on stage 0) are set again, or every frame after a minimised
// spell would draw over the black bands and with point sampling.
void RestoreDeviceState() {
    Device* device = gShell.device.get();
    if (device == nullptr) return;
    device->SetViewport(&kLetterbox);
    device->SetSamplerState(0, SamplerState::MinFilter, uint32_t(TextureFilter::Linear));
    device->SetSamplerState(0, SamplerState::MagFilter, uint32_t(TextureFilter::Linear));
}

// The lights window 2 sets light the forest of window 5 too; a Reset in between must not put them out.
Result ResetDevice() {
    Device* device = gShell.device.get();
    if (device == nullptr) return Result::InvalidCall;
    Light lights[kMaxLights];
    bool enabled[kMaxLights] = {};
    for (uint32_t i = 0; i < kMaxLights; ++i) {
        device->GetLight(i, &lights[i]);
        device->GetLightEnable(i, &enabled[i]);
    }
    const Result result = device->Reset(gShell.presentParameters);
    if (result != Result::Ok) return result;
    RestoreDeviceState();
    for (uint32_t i = 0; i < kMaxLights; ++i) {
        device->SetLight(i, &lights[i]);
        device->LightEnable(i, enabled[i]);
    }
    return result;
}

void CreateDemoResources(bool startMusic) {
    Device* device = gShell.device.get();
    if (device == nullptr) return;

    device->SetViewport(&kLetterbox);

    CreateSphere(device, kSphereRadius, kSphereSlices, kSphereStacks, &gResources.sphereMesh);
    Object(kSphereMeshSlot).mesh = gResources.sphereMesh;

    CreateCubeSprites();
    gSprites.sphere = new PointSprite();  // lives until the process ends

    CreateRecordFont(kTitleRecord, kTitleFontHeight, false);
    CreateRecordFont(kGreetingsRecord, kGreetingsFontHeight, true);
    TextRecord& greetings = gTextRecords[kGreetingsRecord];
    greetings.textRed = 170;
    greetings.textGreen = 170;
    greetings.textBlue = 255;

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

    CreatePostEffect(kMosaicResource, &gResources.mosaicEffect);

    CopySphereVertices();
    SetUpLightSprites();
    InitTerrain();

    CreatePostEffect(kRadialBlurResource, &gResources.radialBlurEffect);

    PlaceForest();
    SetUpFlareSprites();

    RecordHomeCamera();

    CreateSprite(device, &gTextRecords[kFireSpriteRecord].sprite);

    if (startMusic) StartMusic(0);
}

void StartMusic(double fromSeconds) {
    gResources.musicEngine = CreateSoundEngine(SoundOutputDriver::AutoDetect, kSoundDefaultOptions);
    if (gResources.musicEngine) gResources.musicEngine->Play2D(kMusicFile, true, fromSeconds);
}

}  // namespace velor::demo
