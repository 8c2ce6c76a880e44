#pragma once
// A device with identity transforms, cleared to black: NDC positions land where they say.
#include <gtest/gtest.h>

#include "engine/math/d3dx_math.h"
#include "tests/support/gl_test_device.h"

namespace velor::test {

class RenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        test_ = CreateTestDevice(&error);
        ASSERT_NE(test_.device, nullptr) << error;
        device_ = test_.device.get();
        device_->Clear(0, nullptr, Clear::Target | Clear::ZBuffer | Clear::Stencil, 0xFF000000u, 1.0f, 0);
    }

    // A triangle Direct3D sees clockwise (its front) around the NDC centre (cx, cy), half size h.
    static void ClockwiseTriangle(float cx, float cy, float h, float z, uint32_t color, ColorVertex out[3]) {
        out[0] = {cx - h, cy - h, z, color};
        out[1] = {cx, cy + h, z, color};
        out[2] = {cx + h, cy - h, z, color};
    }

    void DrawColored(const ColorVertex* vertices, uint32_t triangles) {
        device_->SetFVF(Fvf::XYZ | Fvf::Diffuse);
        ASSERT_EQ(device_->DrawPrimitiveUP(PrimitiveType::TriangleList, triangles, vertices, sizeof(ColorVertex)),
                  Result::Ok);
    }

    // Unlit, depth-free point sprites of the given size, scaled by distance alone (A = B = 0, C = 1),
    // seen through a 90-degree perspective.
    void UsePointSpriteView(float pointSize) {
        Matrix projection;
        MatrixPerspectiveFovLH(&projection, 3.14159265f / 2, 4.0f / 3.0f, 0.1f, 100.0f);
        device_->SetTransform(TransformState::Projection, &projection);
        device_->SetRenderState(RenderState::Lighting, 0);
        device_->SetRenderState(RenderState::ZEnable, 0);
        device_->SetRenderState(RenderState::PointSpriteEnable, 1);
        device_->SetRenderState(RenderState::PointScaleEnable, 1);
        device_->SetRenderState(RenderState::PointSize, FloatToBits(pointSize));
        device_->SetRenderState(RenderState::PointScaleA, FloatToBits(0.0f));
        device_->SetRenderState(RenderState::PointScaleB, FloatToBits(0.0f));
        device_->SetRenderState(RenderState::PointScaleC, FloatToBits(1.0f));
    }

    // Pixel of NDC (x, y) in the back buffer.
    static int PixelX(float x) { return int((x + 1.0f) * 0.5f * kBackBufferWidth); }
    static int PixelY(float y) { return int((1.0f - y) * 0.5f * kBackBufferHeight); }

    TestDevice test_;
    Device* device_ = nullptr;
};

}  // namespace velor::test
