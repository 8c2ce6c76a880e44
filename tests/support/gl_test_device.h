#pragma once
// A real device on SDL's offscreen driver (headless GL on llvmpipe) for render tests, and small
// helpers to draw and read pixels back.
#include <memory>
#include <vector>

#include "engine/gfx/device.h"
#include "engine/os/window.h"

namespace velor::test {

struct TestDevice {
    std::unique_ptr<Window> window;
    std::shared_ptr<Device> device;
};

// Creates a hidden offscreen window and its device (at a resolution scale when given, see
// engine/gfx/pixel_scale.h); `error` says why when the device is missing.
TestDevice CreateTestDevice(std::string* error, float pixelScale = 1.0f);

// A pixel of a back-buffer read-back (0xAARRGGBB), x right and y down from the top-left.
inline uint32_t PixelAt(const std::vector<uint32_t>& pixels, int x, int y, int width = int(kBackBufferWidth)) {
    return pixels[size_t(y) * size_t(width) + size_t(x)];
}

struct ColorVertex {  // D3DFVF_XYZ | D3DFVF_DIFFUSE
    float x, y, z;
    uint32_t color;
};

struct LitVertex {  // D3DFVF_XYZ | D3DFVF_NORMAL
    float x, y, z;
    float nx, ny, nz;
};

// Channel distance: the largest difference of the four channels.
int ColorDistance(uint32_t a, uint32_t b);

}  // namespace velor::test
