#pragma once
// The device's GL side. The device hands it its state read-only with the groups that changed since
// the last call; the backend applies them through its parts: targets (gl_targets), the state cache
// (gl_state), programs and uniforms (gl_programs) and vertex input (gl_vertex_input). Engine-internal.
#include "engine/gfx/gl_api.h"

#include <memory>
#include <string>
#include <vector>

#include "engine/gfx/backend_calls.h"
#include "engine/gfx/device_state.h"
#include "engine/gfx/gl_point_run.h"
#include "engine/gfx/gl_programs.h"
#include "engine/gfx/gl_state.h"
#include "engine/gfx/gl_targets.h"
#include "engine/gfx/gl_vertex_input.h"

namespace velor {

class Window;

class GlBackend final : public BackendCalls {
public:
    explicit GlBackend(Window* window);
    ~GlBackend();

    // The back buffer: width × height in the device's units, drawn at `pixelScale` real pixels each.
    bool Initialise(uint32_t width, uint32_t height, float pixelScale, std::string* error);
    void SetVsync(bool wait);
    void SetPresentFrame(PresentFrame frame) { targets_.SetPresentFrame(frame); }
    PresentFrame GetPresentFrame() const { return targets_.GetPresentFrame(); }
    // The framed rectangle Present shows, in the back buffer's real pixels.
    FrameRect PresentedRect() const { return targets_.PresentedRect(); }
    uint32_t BackBufferRealWidth() const { return targets_.RealWidth(); }
    void SetOverlay(const OverlayImage& image) { targets_.SetOverlay(image); }
    bool HasOverlay() const { return targets_.HasOverlay(); }
    bool ContextWasReset();
    GLint MaxTextureSize() const { return maxTextureSize_; }

    void Clear(const DeviceState& state, uint32_t dirty, uint32_t rectCount, const Rect* rects, uint32_t flags,
               Color color, float z, uint32_t stencil) override;
    void Present() override;
    // Black over the whole back buffer (depth and stencil cleared too), outside any viewport.
    void ClearBackBuffer();
    void Flush() override;
    std::vector<uint32_t> ReadBackBuffer();
    std::vector<uint32_t> ReadTexture(const std::shared_ptr<Texture>& texture);

    void Draw(const DeviceState& state, uint32_t dirty, PrimitiveType type, uint32_t startVertex,
              uint32_t count) override;
    void DrawIndexed(const DeviceState& state, uint32_t dirty, PrimitiveType type, int32_t baseVertex,
                     uint32_t startIndex, uint32_t count) override;
    void DrawUser(const DeviceState& state, uint32_t dirty, PrimitiveType type, uint32_t count, const void* vertices,
                  uint32_t stride) override;

    GlPrograms& Programs() { return programs_; }
    // Off: ScissorTestEnable is ignored, for measuring what the scissor saves (device_controls.h).
    void SetScissorHonoured(bool honoured);
    bool ScissorHonoured() const { return states_.ScissorHonoured(); }
    // Called as a buffer's GL object is deleted.
    void ForgetBuffer(GLuint buffer) { input_.Forget(buffer); }

    // Point runs (gl_point_run.cpp): consecutive one-point sprite draws that differ only in their
    // world transform are held back and drawn as one instanced draw, each point with its own
    // world-view matrix. Any other call that reaches GL draws the held run first, with the state it
    // was started in, so order and pixels are those of separate draws.
    void SetMerging(bool enabled);
    bool Merging() const { return merging_; }
    // Draws the held run now (before the raster is switched off, around a replay).
    void FlushPointRun() { Sync(nullptr, 0, nullptr); }
    // Draws issued to GL since the counter was last reset; a held run counts when it is drawn.
    uint64_t DrawCalls() const { return drawCalls_; }

private:
    // A one-point sprite draw a run may take: its vertex, `stride` bytes.
    struct PointDraw {
        const uint8_t* vertex;
        uint32_t stride;
    };
    // Every call that reaches GL passes through here first: the groups the device marked are taken
    // in, a one-point sprite draw (`point`) joins or starts the held run when it can, and otherwise
    // the held run is drawn, so GL sees the calls in the order they were made. True when the draw was
    // taken into the run and needs nothing more.
    bool Sync(const DeviceState* state, uint32_t dirty, const PointDraw* point);
    // Everything a draw needs but its vertex input, applied from the pending dirty groups.
    void Prepare(const DeviceState& state, bool sprites);
    // A non-indexed draw of `count` vertices at `base` in `buffer` (Draw and DrawUser).
    void DrawArrays(const DeviceState& state, PrimitiveType type, uint32_t count, GLuint buffer, const uint8_t* base,
                    uint32_t stride);

    GlPointRun run_;
    bool merging_ = true;
    uint64_t drawCalls_ = 0;

    Window* window_;
    // The context can report a reset (glGetGraphicsResetStatus); never on the web, which has no such query.
    [[maybe_unused]] bool robustness_ = false;
    GLint maxTextureSize_ = 4096;
    uint32_t pending_ = kDirtyAll;  // dirty groups handed over and not yet applied
    bool lastSprites_ = false;
    GlTargets targets_;
    GlStateCache states_;
    GlPrograms programs_;
    GlVertexInput input_;
};

}  // namespace velor
