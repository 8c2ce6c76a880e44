#pragma once
// Render targets on GL: the off-screen back buffer, framebuffers for texture targets with their
// shared depth-stencil buffers, clears, the letterboxed present and read-backs. Engine-internal.
//
// Rectangles arrive in the device's units (the back buffer's 1024 × 768) and are turned into real
// pixels here, by the pixel scale of the bound target (pixel_scale.h): the back buffer's and that of
// targets made at its size; 1 for any other target.
#include "engine/gfx/gl_api.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/gfx/device_state.h"
#include "engine/gfx/present_frame.h"
#include "engine/gfx/present_overlay.h"

namespace velor {

class Window;

class GlTargets {
public:
    GlTargets() = default;
    ~GlTargets();
    GlTargets(const GlTargets&) = delete;
    GlTargets& operator=(const GlTargets&) = delete;

    bool Initialise(uint32_t width, uint32_t height, float pixelScale, std::string* error);
    // Binds the state's target (the back buffer or a texture level) for drawing.
    void Apply(const DeviceState& state, bool* textureChanged);
    // glViewport for a viewport on the bound target.
    void ApplyViewport(const Viewport& viewport) const;
    // glScissor for a scissor rectangle on the bound target, its edges rounded as the viewport's are.
    void ApplyScissor(const Rect& scissor) const;
    bool HasDepth() const { return hasDepth_; }
    // Real pixels per unit of the bound target.
    float BoundScale() const { return boundScale_; }
    // The whole back buffer to black, far depth and stencil 0, whatever the viewport, target and masks.
    void ClearBackBuffer();
    // Clears the viewport, clipped by the rectangles when there are any and by `scissor` when it is
    // not null, on the bound target.
    void Clear(const Viewport& viewport, const Rect* scissor, uint32_t rectCount, const Rect* rects, uint32_t flags,
               Color color, float z, uint32_t stencil);
    void SetPresentFrame(PresentFrame frame) { frame_ = frame; }
    PresentFrame GetPresentFrame() const { return frame_; }
    // The whole framing is the whole back buffer, whatever its size; the wide one its 16:9 middle.
    FrameRect PresentedRect() const {
        return frame_ == PresentFrame::Whole ? FrameRect{0, 0, width_, height_} : FramePixels(frame_, pixelScale_);
    }
    uint32_t RealWidth() const { return width_; }
    // The picture Present draws over the window after the frame (present_overlay.h); empty: none.
    void SetOverlay(const OverlayImage& image);
    bool HasOverlay() const { return overlayWidth_ > 0; }
    // Scales the framed part of the back buffer (present_frame.h) into the window's largest centred
    // rectangle of its aspect, black around it, and swaps. Leaves the window's framebuffer bound:
    // the next draw must bind its target again.
    void Present(Window* window);
    // Both leave the read framebuffer bound to what they read; both are in real pixels.
    std::vector<uint32_t> ReadBackBuffer();
    std::vector<uint32_t> ReadTexture(const std::shared_ptr<Texture>& texture, bool* textureChanged);

private:
    GLuint TextureFramebuffer(const Surface& surface, bool* textureChanged);
    GLuint DepthFor(uint32_t width, uint32_t height);

    uint32_t width_ = 0, height_ = 0;  // the back buffer's real pixels
    float pixelScale_ = 1.0f;          // the back buffer's
    float boundScale_ = 1.0f;          // the bound target's
    PresentFrame frame_ = PresentFrame::Whole;
    GLuint backFbo_ = 0, backColor_ = 0, backDepth_ = 0;
    std::map<std::pair<uint32_t, uint32_t>, GLuint> depthBuffers_;
    bool hasDepth_ = true;
    GLuint overlayFbo_ = 0, overlayTexture_ = 0;
    uint32_t overlayWidth_ = 0, overlayHeight_ = 0;
};

}  // namespace velor
