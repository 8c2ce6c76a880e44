// The fixed function's alpha test: a fragment's alpha × 255 against ALPHAREF, by ALPHAFUNC, only
// while ALPHATESTENABLE is on (the device then draws with a fragment stage that can discard).
#include <string>

#include "engine/gfx/device_controls.h"
#include "engine/gfx/ffp_shaders.h"
#include "tests/gfx/render_fixture.h"

namespace velor {
namespace {

using test::RenderTest;

class AlphaTest : public RenderTest {
protected:
    // The centre pixel after a full-screen triangle pair of the given alpha over black.
    uint32_t Centre(uint32_t alpha) {
        device_->Clear(0, nullptr, Clear::Target, 0xFF000000u, 1.0f, 0);
        const uint32_t color = alpha << 24 | 0x00FFFFFFu;
        const test::ColorVertex quad[6] = {{-1, -1, 0.5f, color}, {-1, 1, 0.5f, color}, {1, -1, 0.5f, color},
                                           {1, -1, 0.5f, color},  {-1, 1, 0.5f, color}, {1, 1, 0.5f, color}};
        device_->SetRenderState(RenderState::CullMode, uint32_t(Cull::None));
        device_->SetRenderState(RenderState::Lighting, 0);
        device_->SetRenderState(RenderState::ZEnable, 0);
        DrawColored(quad, 2);
        return test::PixelAt(ReadBackBuffer(*device_), 512, 384);
    }
    bool Drawn(uint32_t alpha) { return Centre(alpha) == 0xFFFFFFFFu; }
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

// A program whose pixel shader guards its alpha test as effects do runs as a variant with the test
// while ALPHATESTENABLE is on; its own values reach whichever of the two draws.
TEST_F(AlphaTest, ProgramValuesFollowItIntoAndOutOfItsAlphaTestVariant) {
    const std::string source = std::string(FragmentPrelude()) +
                               "uniform vec4 tint;\n"
                               "uniform int ff_AlphaFunc;\n"
                               "void main() {\n    oColor = tint;\n#ifdef VELOR_ALPHA_TEST\n"
                               "    if (ff_AlphaFunc == 1) discard;\n#endif\n}\n";
    std::shared_ptr<GpuShader> pixel;
    std::shared_ptr<GpuProgram> program;
    std::string log;
    ASSERT_EQ(device_->CreateShader(ShaderType::Pixel, source, &pixel, &log), Result::Ok) << log;
    ASSERT_EQ(device_->CreateProgram(nullptr, *pixel, &program, &log), Result::Ok) << log;
    const int tint = program->UniformLocation("tint");
    const float red[4] = {1, 0, 0, 1}, green[4] = {0, 1, 0, 1};
    device_->BindProgram(ProgramBinding{program});
    program->SetUniform(tint, UniformType::Float4, red);
    device_->SetRenderState(RenderState::AlphaFunc, uint32_t(Cmp::Never));
    EXPECT_EQ(Centre(0xFF), 0xFFFF0000u) << "test off: drawn, whatever the function";
    device_->SetRenderState(RenderState::AlphaTestEnable, 1);
    EXPECT_EQ(Centre(0xFF), 0xFF000000u) << "test on: the variant discards";
    device_->SetRenderState(RenderState::AlphaFunc, uint32_t(Cmp::Always));
    EXPECT_EQ(Centre(0xFF), 0xFFFF0000u) << "the variant has the value set before it existed";
    program->SetUniform(tint, UniformType::Float4, green);
    EXPECT_EQ(Centre(0xFF), 0xFF00FF00u);
    device_->SetRenderState(RenderState::AlphaTestEnable, 0);
    EXPECT_EQ(Centre(0xFF), 0xFF00FF00u) << "the value set for the variant reaches the program too";
    device_->BindProgram(ProgramBinding{});
}

}  // namespace
}  // namespace velor
