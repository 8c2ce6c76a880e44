#include "engine/gfx/device_controls.h"

#include "engine/gfx/frame_recorder.h"
#include "engine/gfx/gl_backend.h"
#include "engine/gfx/present_frame.h"
#include "engine/gfx/present_overlay.h"

namespace velor {

// The controls' way into the device: its backend, the calls' route and its own flags, never its
// Direct3D state.
struct DeviceAccess {
    static GlBackend& Backend(const Device& device) { return *device.backend_; }
    static bool& Rasterize(Device& device) { return device.rasterize_; }
    static bool Rasterize(const Device& device) { return device.rasterize_; }
    static bool& Hidden(Device& device) { return device.hidden_; }
    static bool& ContextLost(Device& device) { return device.contextLost_; }
    static uint32_t& Dirty(Device& device) { return device.dirty_; }
    static BackendCalls*& Calls(Device& device) { return device.calls_; }
    static float PixelScale(const Device& device) { return device.pixelScale_; }
    static std::unique_ptr<FrameRecorder>& Recorder(Device& device) { return device.recorder_; }
    static const FrameRecorder* Recorder(const Device& device) { return device.recorder_.get(); }
};

namespace {
using A = DeviceAccess;
}  // namespace

void SetRasterization(Device& device, bool enabled) {
    if (!enabled) A::Backend(device).FlushPointRun();
    A::Rasterize(device) = enabled;
}

bool Rasterization(const Device& device) { return A::Rasterize(device); }

void SetDrawMerging(Device& device, bool enabled) { A::Backend(device).SetMerging(enabled); }

bool DrawMerging(const Device& device) { return A::Backend(device).Merging(); }

void SetSpriteTrimming(Device& device, bool enabled) {
    A::Backend(device).FlushPointRun();
    A::Backend(device).Programs().SetSpriteTrimming(enabled);
}

bool SpriteTrimming(const Device& device) { return A::Backend(device).Programs().SpriteTrimming(); }

void SetScissorTest(Device& device, bool honoured) { A::Backend(device).SetScissorHonoured(honoured); }

bool ScissorTest(const Device& device) { return A::Backend(device).ScissorHonoured(); }

uint64_t TrimmedSpriteDraws(const Device& device) { return A::Backend(device).Programs().TrimmedSpriteDraws(); }

uint64_t GpuDrawCalls(const Device& device) { return A::Backend(device).DrawCalls(); }

void BeginRecording(Device& device) {
    std::unique_ptr<FrameRecorder>& recorder = A::Recorder(device);
    if (recorder == nullptr) recorder = std::make_unique<FrameRecorder>(A::Backend(device));
    recorder->Start();
    A::Calls(device) = recorder.get();
}

void EndRecording(Device& device) { A::Calls(device) = &A::Backend(device); }

size_t RecordedCalls(const Device& device) {
    const FrameRecorder* recorder = A::Recorder(device);
    return recorder != nullptr ? recorder->Calls() : 0;
}

void ReplayRecording(Device& device) {
    FrameRecorder* recorder = A::Recorder(device).get();
    if (recorder == nullptr) return;
    recorder->Replay();
    // The backend now has the replay's last state: the next draw applies the device's own again.
    A::Dirty(device) = kDirtyAll;
}

void NoteWindowHidden(Device& device, bool hidden) { A::Hidden(device) = hidden; }

void NoteContextReset(Device& device) { A::ContextLost(device) = true; }

float PixelScale(const Device& device) { return A::PixelScale(device); }

float TargetPixelScale(const Device& device) {
    std::shared_ptr<Surface> target;
    device.GetRenderTarget(0, &target);
    return target != nullptr ? target->GetTexture()->PixelScale() : A::PixelScale(device);
}

std::vector<uint32_t> ReadBackBuffer(Device& device) { return A::Backend(device).ReadBackBuffer(); }

void SetPresentFrame(Device& device, PresentFrame frame) { A::Backend(device).SetPresentFrame(frame); }

PresentFrame GetPresentFrame(const Device& device) { return A::Backend(device).GetPresentFrame(); }

FrameRect PresentedRect(const Device& device) { return A::Backend(device).PresentedRect(); }

PresentedPixels ReadPresentedFrame(Device& device) {
    const FrameRect rect = PresentedRect(device);
    const uint32_t fullWidth = A::Backend(device).BackBufferRealWidth();
    std::vector<uint32_t> whole = ReadBackBuffer(device);
    PresentedPixels frame;
    frame.width = rect.width;
    frame.height = rect.height;
    frame.pixels.reserve(size_t(rect.width) * rect.height);
    for (uint32_t row = 0; row < rect.height; ++row) {
        auto first = whole.begin() + ptrdiff_t((size_t(rect.y) + row) * fullWidth + size_t(rect.x));
        frame.pixels.insert(frame.pixels.end(), first, first + ptrdiff_t(rect.width));
    }
    return frame;
}

void SetPresentOverlay(Device& device, OverlayImage image) { A::Backend(device).SetOverlay(image); }

bool HasPresentOverlay(const Device& device) { return A::Backend(device).HasOverlay(); }

std::vector<uint32_t> ReadRenderTarget(Device& device, const std::shared_ptr<Texture>& texture) {
    return A::Backend(device).ReadTexture(texture);
}

}  // namespace velor
