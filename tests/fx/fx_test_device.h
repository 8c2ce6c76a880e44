#pragma once
// A device on SDL's offscreen GL (no display needed), full-screen quads, a small texture, and pixel
// reads for the effect render tests.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "engine/fx/effect.h"
#include "engine/gfx/device.h"
#include "engine/gfx/device_controls.h"
#include "engine/math/d3dx_math.h"
#include "engine/os/window.h"

namespace velor {

class EffectDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        std::string error;
        WindowDesc desc;
        desc.title = "fx tests";
        desc.fullScreen = false;
        desc.requireDisplay = false;
        window_ = Window::Create(desc, &error);
        ASSERT_NE(window_, nullptr) << error;
        d3d_ = Direct3DCreate9(window_.get());
        ASSERT_NE(d3d_, nullptr);
        ASSERT_EQ(d3d_->CreateDevice(0, window_.get(), PresentParameters{}, &device_), Result::Ok);
        ASSERT_EQ(device_->Clear(0, nullptr, Clear::Target | Clear::ZBuffer | Clear::Stencil, 0xFF000000, 1.0f, 0),
                  Result::Ok);
    }
    void TearDown() override {
        effect_.reset();
        device_.reset();
        d3d_.reset();
        window_.reset();
    }

    // Fails the test with the error text when the source does not build.
    std::shared_ptr<Effect> Make(const std::string& source, const char* name = "test.fx") {
        std::string errors;
        Result r = CreateEffect(device_.get(), source, name, &effect_, &errors);
        EXPECT_EQ(r, Result::Ok) << errors;
        return effect_;
    }

    // World, view and projection all identity: positions are clip-space coordinates.
    void UseIdentityTransforms() {
        Matrix identity;
        MatrixIdentity(&identity);
        device_->SetTransform(TransformState::World, &identity);
        device_->SetTransform(TransformState::View, &identity);
        device_->SetTransform(TransformState::Projection, &identity);
    }

    // Two triangles covering clip space -s..s, texture coordinates 0,0 at the top-left.
    void DrawQuad(float s = 1.0f) {
        struct Vertex {
            float x, y, z, u, v;
        };
        const Vertex quad[4] = {{-s, s, 0.5f, 0, 0}, {s, s, 0.5f, 1, 0}, {-s, -s, 0.5f, 0, 1}, {s, -s, 0.5f, 1, 1}};
        ASSERT_EQ(device_->SetFVF(Fvf::XYZ | Fvf::Tex1), Result::Ok);
        ASSERT_EQ(device_->DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, quad, sizeof(Vertex)), Result::Ok);
    }

    // Every pass of the current technique over a full-screen quad.
    void DrawAllPasses() {
        uint32_t passes = 0;
        ASSERT_EQ(effect_->Begin(&passes, 0), Result::Ok);
        for (uint32_t p = 0; p < passes; ++p) {
            ASSERT_EQ(effect_->BeginPass(p), Result::Ok);
            DrawQuad();
            ASSERT_EQ(effect_->EndPass(), Result::Ok);
        }
        ASSERT_EQ(effect_->End(), Result::Ok);
    }

    // 0xAARRGGBB texels, row 0 first.
    std::shared_ptr<Texture> MakeTexture(uint32_t width, uint32_t height, std::initializer_list<uint32_t> texels) {
        std::shared_ptr<Texture> texture;
        EXPECT_EQ(device_->CreateTexture(width, height, 1, 0, Format::A8R8G8B8, Pool::Managed, &texture), Result::Ok);
        LockedRect locked;
        EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), Result::Ok);
        auto it = texels.begin();
        for (uint32_t y = 0; y < height; ++y)
            for (uint32_t x = 0; x < width; ++x)
                static_cast<uint32_t*>(locked.bits)[y * (locked.pitch / 4) + x] = *it++;
        texture->UnlockRect(0);
        return texture;
    }

    uint32_t Pixel(int x, int y) { return ReadBackBuffer(*device_)[size_t(y) * kBackBufferWidth + size_t(x)]; }

    std::unique_ptr<Window> window_;
    std::shared_ptr<Direct3D> d3d_;
    std::shared_ptr<Device> device_;
    std::shared_ptr<Effect> effect_;
};

// Channel-wise comparison, alpha included, with a tolerance for 8-bit rounding.
inline ::testing::AssertionResult ColorNear(uint32_t actual, uint32_t expected, int tolerance = 3) {
    for (int shift = 0; shift < 32; shift += 8) {
        int a = int((actual >> shift) & 0xFF), e = int((expected >> shift) & 0xFF);
        if (std::abs(a - e) > tolerance) {
            char text[64];
            std::snprintf(text, sizeof text, "got %08X, expected %08X", actual, expected);
            return ::testing::AssertionFailure() << text;
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace velor
