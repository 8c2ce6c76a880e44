#pragma once
// One headless device for the whole test executable, installed as the demo's device, with the run
// folder as working directory (effect files and textures are opened by relative names). Resources
// keep GL names of the context they were first drawn in, so every test shares this one device.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "demo/shell/shell_state.h"
#include "demo/sprites/point_sprite.h"
#include "demo/timeline/camera.h"
#include "engine/gfx/device_controls.h"
#include "engine/image/image_writer.h"
#include "engine/math/d3dx_math.h"
#include "tests/support/gl_test_device.h"

namespace velor::demo::test {

inline velor::test::TestDevice& SharedTestDevice(std::string* error) {
    static velor::test::TestDevice device = velor::test::CreateTestDevice(error);
    return device;
}

class DemoDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::current_path(VELOR_RUN_DIR);
        ASSERT_TRUE(std::filesystem::exists("PointAlpha.fx")) << "effect files not copied to " << VELOR_RUN_DIR;
        std::string error;
        velor::test::TestDevice& test = SharedTestDevice(&error);
        ASSERT_NE(test.device, nullptr) << error;
        gShell.device = test.device;
        device_ = test.device.get();
        SetRasterization(*device_, true);
        Viewport whole{0, 0, kBackBufferWidth, kBackBufferHeight, 0, 1};
        device_->SetViewport(&whole);
        device_->Clear(0, nullptr, Clear::Target | Clear::ZBuffer | Clear::Stencil, 0xFF000000u, 1.0f, 0);
        gCamera = CameraState{};
        // The shared effect comes with the first sprite made; every case starts with it in place,
        // whichever case runs first (ctest runs each in a process of its own).
        if (gSprites.effect == nullptr) {
            PointSprite first;
            InitPointSprite(first, "textures/Flare1.jpg");
        }
    }

    void TearDown() override { gShell.device.reset(); }

    // Camera at `eye` looking at the origin, set on the device as the timeline does.
    void LookAtOrigin(Vector3 eye, Vector3 up = {0, 1, 0}) {
        gCamera.eye = eye;
        gCamera.target = {0, 0, 0};
        gCamera.up = up;
        ApplyCamera(45, 4, 3);
    }

    // Screen pixel of a world point through the current camera (whole 1024 x 768 viewport).
    static void ToScreen(Vector3 p, int* x, int* y) {
        Matrix vp;
        MatrixMultiply(&vp, &gCamera.view, &gCamera.projection);
        Vector3 ndc;
        Vec3TransformCoord(&ndc, &p, &vp);
        *x = int((ndc.x + 1) * 0.5f * kBackBufferWidth);
        *y = int((1 - ndc.y) * 0.5f * kBackBufferHeight);
    }

    static int Brightest(uint32_t c) { return std::max({int((c >> 16) & 0xFF), int((c >> 8) & 0xFF), int(c & 0xFF)}); }

    // The brightest channel anywhere in a square of half size r about (x, y).
    static int BrightestNear(const std::vector<uint32_t>& pixels, int x, int y, int r) {
        int best = 0;
        for (int py = std::max(0, y - r); py <= std::min(int(kBackBufferHeight) - 1, y + r); ++py)
            for (int px = std::max(0, x - r); px <= std::min(int(kBackBufferWidth) - 1, x + r); ++px)
                best = std::max(best, Brightest(velor::test::PixelAt(pixels, px, py)));
        return best;
    }

    // Writes a frame for a person to look at, beside the system's temporary files.
    static void WriteFrame(const std::vector<uint32_t>& pixels, const char* name) {
        Image image(kBackBufferWidth, kBackBufferHeight);
        image.pixels = pixels;
        WritePng((std::filesystem::temp_directory_path() / name).string(), image);
    }

    Device* device_ = nullptr;
};

// A sprite textured and ready to draw; owned by the test.
struct TestSprite {
    explicit TestSprite(const char* texture = "textures/Flare1.jpg") { InitPointSprite(sprite, texture); }
    PointSprite sprite;
};

}  // namespace velor::demo::test
