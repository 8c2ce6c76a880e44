#include "tests/support/gl_test_device.h"

#include <algorithm>
#include <cstdlib>
#include <cstdlib>

namespace velor::test {

TestDevice CreateTestDevice(std::string* error, float pixelScale) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    TestDevice test;
    WindowDesc desc;
    desc.visible = false;
    desc.fullScreen = false;
    desc.requireDisplay = false;
    desc.width = int(kBackBufferWidth);
    desc.height = int(kBackBufferHeight);
    test.window = Window::Create(desc, error);
    if (test.window == nullptr) return test;
    auto d3d = Direct3DCreate9(test.window.get(), 32);
    if (d3d == nullptr) {
        *error = "no OpenGL 3.3 context";
        return test;
    }
    PresentParameters pp;
    pp.pixelScale = pixelScale;
    if (Failed(d3d->CreateDevice(0, test.window.get(), pp, &test.device))) *error = "CreateDevice failed";
    return test;
}

int ColorDistance(uint32_t a, uint32_t b) {
    int worst = 0;
    for (int shift = 0; shift < 32; shift += 8)
        worst = std::max(worst, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
    return worst;
}

}  // namespace velor::test
