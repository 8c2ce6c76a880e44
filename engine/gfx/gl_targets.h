#pragma once
// Render targets on GL: the off-screen back buffer, framebuffers for texture targets with their
// shared depth-stencil buffers, clears, the letterboxed present and read-backs. Engine-internal.
#include "engine/gfx/gl_api.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/gfx/device_state.h"

namespace velor {

class Window;

class GlTargets {
public:
    GlTargets() = default;
    ~GlTargets();
    GlTargets(const GlTargets&) = delete;
    GlTargets& operator=(const GlTargets&) = delete;

    bool Initialise(uint32_t width, uint32_t height, std::string* error);
    // Binds the state's target (the back buffer or a texture level) for drawing.
    void Apply(const DeviceState& state, bool* textureChanged);
    bool HasDepth() const { return hasDepth_; }
    // The whole back buffer to black, far depth and stencil 0, whatever the viewport, target and masks.
    void ClearBackBuffer();
    // Clears the viewport, clipped by the rectangles when there are any, on the bound target.
    void Clear(const Viewport& viewport, uint32_t rectCount, const Rect* rects, uint32_t flags, Color color, float z,
               uint32_t stencil);
    // Scales the back buffer into the window's largest centred 4:3 rectangle, black around it, and
    // swaps. Leaves the window's framebuffer bound: the next draw must bind its target again.
    void Present(Window* window);
    // Both leave the read framebuffer bound to what they read.
    std::vector<uint32_t> ReadBackBuffer();
    std::vector<uint32_t> ReadTexture(const std::shared_ptr<Texture>& texture, bool* textureChanged);

private:
    GLuint TextureFramebuffer(const Surface& surface, bool* textureChanged);
    GLuint DepthFor(uint32_t width, uint32_t height);

    uint32_t width_ = 0, height_ = 0;
    GLuint backFbo_ = 0, backColor_ = 0, backDepth_ = 0;
    std::map<std::pair<uint32_t, uint32_t>, GLuint> depthBuffers_;
    bool hasDepth_ = true;
};

}  // namespace velor
