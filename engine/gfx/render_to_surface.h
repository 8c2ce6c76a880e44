#pragma once
// ID3DXRenderToSurface: draws a scene into a texture's surface with a depth-stencil buffer of its
// own, and hands the device back to the back buffer afterwards.
#include <memory>

#include "engine/gfx/device.h"

namespace velor {

class RenderToSurface {
public:
    RenderToSurface(Device* device, uint32_t width, uint32_t height, Format format, bool depthStencil, Format depthFormat);

    // Targets the surface and sets the viewport (the whole surface when none is given).
    Result BeginScene(std::shared_ptr<Surface> surface, const Viewport* viewport);
    // Restores the render target and viewport BeginScene found. mipFilter is accepted and unused:
    // the demo's targets have one level.
    Result EndScene(uint32_t mipFilter);
    Format GetFormat() const { return format_; }

private:
    Device* device_;
    uint32_t width_, height_;
    Format format_;
    bool depthStencil_;
    bool active_ = false;
    std::shared_ptr<Surface> savedTarget_;
    Viewport savedViewport_;
    bool savedDepth_ = true;
};

Result CreateRenderToSurface(Device* device, uint32_t width, uint32_t height, Format format, bool depthStencil,
                             Format depthFormat, std::shared_ptr<RenderToSurface>* out);

}  // namespace velor
