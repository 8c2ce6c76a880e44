#pragma once
// The device's GL side. The device hands it its state read-only with the groups that changed since
// the last call; the backend applies them through its parts: targets (gl_targets), the state cache
// (gl_state), programs and uniforms (gl_programs) and vertex input (gl_vertex_input). Engine-internal.
#include "engine/gfx/gl_api.h"

#include <memory>
#include <string>
#include <vector>

#include "engine/gfx/device_state.h"
#include "engine/gfx/gl_programs.h"
#include "engine/gfx/gl_state.h"
#include "engine/gfx/gl_targets.h"
#include "engine/gfx/gl_vertex_input.h"

namespace velor {

class Window;

class GlBackend {
public:
    explicit GlBackend(Window* window);
    ~GlBackend();

    bool Initialise(uint32_t width, uint32_t height, std::string* error);
    bool ContextWasReset();
    GLint MaxTextureSize() const { return maxTextureSize_; }

    void Clear(const DeviceState& state, uint32_t dirty, uint32_t rectCount, const Rect* rects, uint32_t flags,
               Color color, float z, uint32_t stencil);
    void Present();
    void Flush() { glFlush(); }
    std::vector<uint32_t> ReadBackBuffer();
    std::vector<uint32_t> ReadTexture(const std::shared_ptr<Texture>& texture);

    void Draw(const DeviceState& state, uint32_t dirty, PrimitiveType type, uint32_t startVertex, uint32_t count);
    void DrawIndexed(const DeviceState& state, uint32_t dirty, PrimitiveType type, int32_t baseVertex,
                     uint32_t startIndex, uint32_t count);
    void DrawUser(const DeviceState& state, uint32_t dirty, PrimitiveType type, uint32_t count, const void* vertices,
                  uint32_t stride);

    GlPrograms& Programs() { return programs_; }

private:
    // Everything a draw needs but its vertex input, applied from the pending dirty groups.
    void Prepare(const DeviceState& state, bool sprites);

    Window* window_;
    bool robustness_ = false;  // the context can report a reset (glGetGraphicsResetStatus)
    GLint maxTextureSize_ = 4096;
    uint32_t pending_ = kDirtyAll;  // dirty groups handed over and not yet applied
    bool lastSprites_ = false;
    GlTargets targets_;
    GlStateCache states_;
    GlPrograms programs_;
    GlVertexInput input_;
};

}  // namespace velor
