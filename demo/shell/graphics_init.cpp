#include "demo/shell/graphics_init.h"

#include "demo/shell/shell_state.h"
#include "engine/gfx/device_controls.h"
#include "engine/gfx/present_frame.h"
#include "engine/os/window.h"

namespace velor::demo {

void InitGraphics(float pixelScale, bool vsync, PresentFrame frame) {
    gShell.direct3d = Direct3DCreate9(gShell.mainWindow.get(), 32);
    Direct3D* d3d = gShell.direct3d.get();
    if (d3d == nullptr) return;
    if (d3d->GetAdapterModeCount(0, Format::X8R8G8B8) == 0) return;
    Format modeFormat = Format::Unknown;
    if (Failed(d3d->EnumAdapterModes(0, Format::X8R8G8B8, 0, &modeFormat))) return;
    if (Failed(d3d->CheckDeviceType(0, Format::X8R8G8B8, Format::X8R8G8B8, false))) return;
    if (Failed(d3d->CheckDeviceFormat(0, Format::X8R8G8B8, Usage::RenderTarget | Usage::QueryPostPixelShaderBlending,
                                      Format::A16B16G16R16F))) {
        PostQuitMessage(0);
        return;
    }
    DeviceCaps caps;
    if (Failed(d3d->GetDeviceCaps(0, &caps))) return;

    PresentParameters& pp = gShell.presentParameters;
    pp = PresentParameters{};
    pp.backBufferWidth = 1024;
    pp.backBufferHeight = 768;
    pp.backBufferFormat = modeFormat;
    pp.backBufferCount = 0;
    pp.swapEffect = 1;  // D3DSWAPEFFECT_DISCARD
    pp.windowed = false;
    pp.enableAutoDepthStencil = true;
    pp.autoDepthStencilFormat = Format::D24S8;
    pp.presentationInterval = 0x80000000u;  // D3DPRESENT_INTERVAL_IMMEDIATE
    // The host's choices, not the demo's: neither changes what the demo sees.
    if (vsync) pp.presentationInterval = 1;  // D3DPRESENT_INTERVAL_ONE
    if (pixelScale <= 0) {
        int w = 0, h = 0;
        gShell.mainWindow->GetDrawableSize(&w, &h);
        pixelScale = FitPixelScale(w, h, frame);
    }
    pp.pixelScale = pixelScale;
    d3d->CreateDevice(0, gShell.mainWindow.get(), pp, &gShell.device);
    if (gShell.device != nullptr) SetPresentFrame(*gShell.device, frame);
}

}  // namespace velor::demo
