#include "engine/gfx/render_to_surface.h"

namespace velor {

RenderToSurface::RenderToSurface(Device* device, uint32_t width, uint32_t height, Format format, bool depthStencil,
                                 Format depthFormat)
    : device_(device), width_(width), height_(height), format_(format), depthStencil_(depthStencil) {
    (void)depthFormat;
}

Result RenderToSurface::BeginScene(std::shared_ptr<Surface> surface, const Viewport* viewport) {
    if (active_ || surface == nullptr) return Result::InvalidCall;
    SurfaceDesc desc;
    surface->GetDesc(&desc);
    if (desc.width != width_ || desc.height != height_) return Result::InvalidCall;
    device_->GetRenderTarget(0, &savedTarget_);
    device_->GetViewport(&savedViewport_);
    device_->GetRenderTargetDepth(&savedDepth_);
    Result result = device_->SetRenderTarget(0, std::move(surface));
    if (Failed(result)) return result;
    device_->SetRenderTargetDepth(depthStencil_);
    if (viewport != nullptr) device_->SetViewport(viewport);
    active_ = true;
    return Result::Ok;
}

Result RenderToSurface::EndScene(uint32_t mipFilter) {
    (void)mipFilter;
    if (!active_) return Result::InvalidCall;
    active_ = false;
    device_->SetRenderTarget(0, savedTarget_);
    device_->SetRenderTargetDepth(savedDepth_);
    device_->SetViewport(&savedViewport_);
    savedTarget_ = nullptr;
    return Result::Ok;
}

Result CreateRenderToSurface(Device* device, uint32_t width, uint32_t height, Format format, bool depthStencil,
                             Format depthFormat, std::shared_ptr<RenderToSurface>* out) {
    if (device == nullptr || out == nullptr || width == 0 || height == 0) return Result::InvalidCall;
    *out = std::make_shared<RenderToSurface>(device, width, height, format, depthStencil, depthFormat);
    return Result::Ok;
}

}  // namespace velor
