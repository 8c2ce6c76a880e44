#pragma once
// A headless device cleared to black inside a scene, and what a person would look for in the picture:
// where the lit pixels are.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/gfx/device_controls.h"
#include "tests/support/gl_test_device.h"

namespace velor::test {

class UiRender : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        test_ = CreateTestDevice(&error);
        ASSERT_NE(test_.device, nullptr) << error;
        device_ = test_.device.get();
        device_->Clear(0, nullptr, Clear::Target | Clear::ZBuffer, 0xFF000000u, 1.0f, 0);
        device_->BeginScene();
    }
    void TearDown() override {
        if (device_ != nullptr) device_->EndScene();
    }

    std::vector<uint32_t> Frame() { return ReadBackBuffer(*device_); }

    // A texture of one colour, or of `inner` inside `rect` and `outer` elsewhere.
    std::shared_ptr<Texture> MakeTexture(uint32_t w, uint32_t h, Color outer, Color inner = 0, Rect rect = {}) {
        std::shared_ptr<Texture> texture;
        EXPECT_EQ(device_->CreateTexture(w, h, 1, 0, Format::A8R8G8B8, Pool::Managed, &texture), Result::Ok);
        LockedRect locked;
        texture->LockRect(0, &locked, nullptr, 0);
        for (uint32_t y = 0; y < h; ++y)
            for (uint32_t x = 0; x < w; ++x) {
                bool in = int(x) >= rect.left && int(x) < rect.right && int(y) >= rect.top && int(y) < rect.bottom;
                static_cast<uint32_t*>(locked.bits)[y * (locked.pitch / 4) + x] = in ? inner : outer;
            }
        texture->UnlockRect(0);
        return texture;
    }

    TestDevice test_;
    Device* device_ = nullptr;
};

inline bool Lit(uint32_t pixel, int threshold = 0) {
    return int((pixel >> 16) & 0xFF) > threshold || int((pixel >> 8) & 0xFF) > threshold ||
           int(pixel & 0xFF) > threshold;
}

// The smallest rectangle holding every lit pixel (right and bottom exclusive); empty when none is lit.
inline Rect LitBounds(const std::vector<uint32_t>& pixels, int threshold = 0, Rect area = {0, 0, 1024, 768}) {
    Rect r{area.right, area.bottom, area.left, area.top};
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (Lit(PixelAt(pixels, x, y), threshold)) {
                r.left = std::min(r.left, x);
                r.top = std::min(r.top, y);
                r.right = std::max(r.right, x + 1);
                r.bottom = std::max(r.bottom, y + 1);
            }
    return r;
}

inline bool Empty(const Rect& r) { return r.left >= r.right || r.top >= r.bottom; }

inline int CountLit(const std::vector<uint32_t>& pixels, int threshold = 0) {
    return int(std::count_if(pixels.begin(), pixels.end(), [&](uint32_t p) { return Lit(p, threshold); }));
}

}  // namespace velor::test
