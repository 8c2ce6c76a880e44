#pragma once
// The engine's own controls on a device, beside the Direct3D API device.h stands in for: what the
// capture tool, the benchmark, the players and tests switch and read. None of them changes what a
// frame looks like.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/gfx/device.h"

namespace velor {

// Off: draws, clears and presents are checked and then dropped, while every state, lock and resource
// behaves as usual. Captures fast-forward this way to the frames they write, since the demo keeps all
// of its state on the CPU. Draws already taken are made before the raster goes off.
void SetRasterization(Device& device, bool enabled);
bool Rasterization(const Device& device);

// On (the default): consecutive one-point sprite draws that differ only in their world transform
// reach GL as one instanced draw, with the pixels separate draws give. Off: every draw is its own.
void SetDrawMerging(Device& device, bool enabled);
bool DrawMerging(const Device& device);
// On (the default): point sprites are drawn only over the part of their texture that can change a
// pixel, where the draw's states show that the rest changes none (sprite_footprint.h); the same
// pixels either way. Off: whole quads, for measuring and comparing.
void SetSpriteTrimming(Device& device, bool enabled);
bool SpriteTrimming(const Device& device);
// On (the default): ScissorTestEnable keeps draws and clears inside the scissor rectangle. Off: it is
// ignored, for measuring what a scissor saves; only where nothing reads the pixels outside the
// rectangle (window 3's scene target) are the frames the same.
void SetScissorTest(Device& device, bool honoured);
bool ScissorTest(const Device& device);
// Sprite draws so far that were trimmed to a footprint (a held run of them counts once).
uint64_t TrimmedSpriteDraws(const Device& device);
// Draws issued to GL so far (merged ones count once).
uint64_t GpuDrawCalls(const Device& device);

// Frame recording, to time the raster of a frame without the work that made it: the calls that reach
// GL between BeginRecording and EndRecording are kept with the state they saw, and ReplayRecording
// issues them again (merging as it is set), the device's own state untouched.
void BeginRecording(Device& device);
void EndRecording(Device& device);
size_t RecordedCalls(const Device& device);
void ReplayRecording(Device& device);

// Lost-device emulation: the window's state drives it (see os/window.h); tests can force it.
void NoteWindowHidden(Device& device, bool hidden);
// A context reset reported by the driver (GL robustness) turns into DriverInternalError.
void NoteContextReset(Device& device);

// Real pixels per back-buffer pixel each way, as fixed at CreateDevice (pixel_scale.h); 1 unless
// PresentParameters::pixelScale asked for more.
float PixelScale(const Device& device);

// The same for the bound render target: the device's scale for the back buffer and targets made at
// its size, 1 for any other.
float TargetPixelScale(const Device& device);

// The back buffer as 0xAARRGGBB pixels, top row first, in real pixels (PixelScale times the back
// buffer's size each way).
std::vector<uint32_t> ReadBackBuffer(Device& device);
// Pixels of a render-target texture, top row first, in real pixels (BaseTexture::StorageWidth).
std::vector<uint32_t> ReadRenderTarget(Device& device, const std::shared_ptr<Texture>& texture);

}  // namespace velor
