// The fixed function's alpha test: a fragment's alpha × 255 against ALPHAREF, by ALPHAFUNC, only
// while ALPHATESTENABLE is on (the device then draws with a fragment stage that can discard).
#include "tests/gfx/render_fixture.h"

namespace velor {
namespace {

using test::RenderTest;

class AlphaTest : public RenderTest {
protected:
    // Whether a full-screen triangle pair of the given alpha leaves the centre lit.
    bool Drawn(uint32_t alpha) {
        device_->Clear(0, nullptr, Clear::Target, 0xFF000000u, 1.0f, 0);
        const uint32_t color = alpha << 24 | 0x00FFFFFFu;
        const test::ColorVertex quad[6] = {{-1, -1, 0.5f, color}, {-1, 1, 0.5f, color}, {1, -1, 0.5f, color},
                                           {1, -1, 0.5f, color},  {-1, 1, 0.5f, color}, {1, 1, 0.5f, color}};
        device_->SetRenderState(RenderState::CullMode, uint32_t(Cull::None));
        device_->SetRenderState(RenderState::Lighting, 0);
        device_->SetRenderState(RenderState::ZEnable, 0);
        DrawColored(quad, 2);
        return test::PixelAt(device_->ReadBackBuffer(), 512, 384) == 0xFFFFFFFFu;
    }
};

TEST_F(AlphaTest, ComparesAlphaTimes255WithTheReference) {
    struct Case {
        Cmp func;
        uint32_t ref, alpha;
        bool drawn;
    };
    const Case cases[] = {
        {Cmp::Never, 0, 255, false},        {Cmp::Always, 255, 0, true},
        {Cmp::Less, 0x80, 0x7F, true},      {Cmp::Less, 0x80, 0x80, false},
        {Cmp::Equal, 0x80, 0x80, true},     {Cmp::Equal, 0x80, 0x81, false},
        {Cmp::Greater, 0x80, 0x81, true},   {Cmp::Greater, 0x80, 0x80, false},
        {Cmp::GreaterEqual, 0x80, 0x80, true}, {Cmp::NotEqual, 0x80, 0x80, false},
    };
    device_->SetRenderState(RenderState::AlphaTestEnable, 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "func " << uint32_t(c.func) << " ref " << c.ref << " alpha " << c.alpha);
        device_->SetRenderState(RenderState::AlphaFunc, uint32_t(c.func));
        device_->SetRenderState(RenderState::AlphaRef, c.ref);
        EXPECT_EQ(Drawn(c.alpha), c.drawn);
    }
}

TEST_F(AlphaTest, OffDrawsWhateverTheFunctionSays) {
    device_->SetRenderState(RenderState::AlphaTestEnable, 1);
    device_->SetRenderState(RenderState::AlphaFunc, uint32_t(Cmp::Never));
    EXPECT_FALSE(Drawn(0xFF));
    device_->SetRenderState(RenderState::AlphaTestEnable, 0);
    EXPECT_TRUE(Drawn(0xFF));
    EXPECT_TRUE(Drawn(0x00));
    device_->SetRenderState(RenderState::AlphaTestEnable, 1);
    EXPECT_FALSE(Drawn(0xFF)) << "the test is back once enabled again";
}

}  // namespace
}  // namespace velor
