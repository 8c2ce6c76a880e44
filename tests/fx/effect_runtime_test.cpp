// Effects on a real device (headless GL): what the passes draw and what they do to device state.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "engine/fx/effect_program.h"
#include "engine/math/d3dx_math.h"
#include "engine/os/resources.h"
#include "tests/fx/fx_test_device.h"

namespace velor {
namespace {

const char* const kFullScreenVS = R"FX(
glsl vertex FullScreenVS {
    out vec2 uv;
    void main() {
        gl_Position = vec4(iPosition.xyz, 1.0);
        uv = iTexCoord0.xy;
        velor_Finish(1.0);
    }
}
)FX";

// Quadrant centres of the 1024 x 768 back buffer.
constexpr int kLeft = 256, kRight = 768, kTop = 192, kBottom = 576;

std::string WithVS(const char* rest) { return std::string(kFullScreenVS) + rest; }

// A 2 x 2 texture: red, green on the top row; blue, white below.
const std::initializer_list<uint32_t> kQuadrantTexels = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};

const char* const kParameterEffect = R"FX(
float    Gain = 1.0;
float4   Tint;
float4x4 ColorMatrix;
texture  Tex;
sampler2D Samp = sampler_state { Texture = <Tex>; MinFilter = Point; MagFilter = Point; AddressU = Clamp; AddressV = Clamp; };

glsl fragment RowVectorPS {
    in vec2 uv;
    void main() { oColor = vec4((texture(Samp, uv) * ColorMatrix).rgb * Gain + Tint.rgb, 1.0); }
}
glsl fragment ColumnVectorPS {
    in vec2 uv;
    void main() { oColor = vec4((ColorMatrix * texture(Samp, uv)).rgb * Gain + Tint.rgb, 1.0); }
}
technique RowVector { pass { VertexShader = FullScreenVS; PixelShader = RowVectorPS; ZEnable = false; CullMode = None; } }
technique ColumnVector { pass { VertexShader = FullScreenVS; PixelShader = ColumnVectorPS; ZEnable = false; CullMode = None; } }
)FX";

// Red -> green -> blue -> red as a row-vector transform: v · M moves component i to column j where
// M[i][j] = 1. Its transpose turns the cycle the other way, so a transposed upload shows.
Matrix CycleMatrix() {
    Matrix m;
    m.m[0][1] = 1;
    m.m[1][2] = 1;
    m.m[2][0] = 1;
    m.m[3][3] = 1;
    return m;
}

TEST_F(EffectDeviceTest, FullScreenPassReadsFloatVectorMatrixAndTexture) {
    ASSERT_TRUE(Make(WithVS(kParameterEffect)));
    ASSERT_EQ(effect_->SetFloat("Gain", 0.5f), Result::Ok);
    ASSERT_EQ(effect_->SetVector("Tint", Vector4{0.25f, 0, 0, 0}), Result::Ok);
    ASSERT_EQ(effect_->SetMatrix("ColorMatrix", CycleMatrix()), Result::Ok);
    ASSERT_EQ(effect_->SetTexture("Tex", MakeTexture(2, 2, kQuadrantTexels)), Result::Ok);
    DrawAllPasses();
    // texel · M · 0.5 + (0.25, 0, 0): red becomes green, green blue, blue red.
    EXPECT_TRUE(ColorNear(Pixel(kLeft, kTop), 0xFF408000));
    EXPECT_TRUE(ColorNear(Pixel(kRight, kTop), 0xFF400080));
    EXPECT_TRUE(ColorNear(Pixel(kLeft, kBottom), 0xFFBF0000));
    EXPECT_TRUE(ColorNear(Pixel(kRight, kBottom), 0xFFBF8080));
}

// Creating an effect and setting its values between fixed-function draws must leave the device's own
// idea of the current program intact; the values reach the effect's program when it draws.
TEST_F(EffectDeviceTest, ParameterValuesLeaveTheCurrentProgramAlone) {
    struct Vertex {
        float x, y, z, rhw;
        uint32_t color;
    };
    auto fixedFunctionFill = [&](uint32_t color) {
        device_->SetRenderState(RenderState::Lighting, 0);
        device_->SetRenderState(RenderState::ZEnable, 0);
        device_->SetRenderState(RenderState::CullMode, uint32_t(Cull::None));
        const Vertex quad[4] = {{0, 0, 0.5f, 1, color}, {1024, 0, 0.5f, 1, color}, {0, 768, 0.5f, 1, color},
                                {1024, 768, 0.5f, 1, color}};
        ASSERT_EQ(device_->SetFVF(Fvf::XYZRHW | Fvf::Diffuse), Result::Ok);
        ASSERT_EQ(device_->DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, quad, sizeof(Vertex)), Result::Ok);
    };
    fixedFunctionFill(0xFF0000FF);
    ASSERT_TRUE(Make(WithVS(kParameterEffect)));
    fixedFunctionFill(0xFF00FF00);
    EXPECT_TRUE(ColorNear(Pixel(kLeft, kTop), 0xFF00FF00)) << "the device's program was put back";

    ASSERT_EQ(effect_->SetFloat("Gain", 0.5f), Result::Ok);
    ASSERT_EQ(effect_->SetVector("Tint", Vector4{0.25f, 0, 0, 0}), Result::Ok);
    ASSERT_EQ(effect_->SetMatrix("ColorMatrix", CycleMatrix()), Result::Ok);
    ASSERT_EQ(effect_->SetTexture("Tex", MakeTexture(2, 2, kQuadrantTexels)), Result::Ok);
    DrawAllPasses();
    EXPECT_TRUE(ColorNear(Pixel(kLeft, kTop), 0xFF408000));
}

TEST_F(EffectDeviceTest, MatrixTimesVectorIsHlslMulOfMatrixAndVector) {
    ASSERT_TRUE(Make(WithVS(kParameterEffect)));
    ASSERT_EQ(effect_->SetTechnique("ColumnVector"), Result::Ok);
    ASSERT_EQ(effect_->SetMatrix("ColorMatrix", CycleMatrix()), Result::Ok);
    ASSERT_EQ(effect_->SetTexture("Tex", MakeTexture(2, 2, kQuadrantTexels)), Result::Ok);
    DrawAllPasses();
    // mul(M, v): out[i] = sum_j M[i][j] v[j], the cycle the other way: red becomes blue.
    EXPECT_TRUE(ColorNear(Pixel(kLeft, kTop), 0xFF0000FF));
    EXPECT_TRUE(ColorNear(Pixel(kRight, kTop), 0xFFFF0000));
    EXPECT_TRUE(ColorNear(Pixel(kLeft, kBottom), 0xFF00FF00));
}

// ---- state saved by Begin, restored by End --------------------------------------------------------

const char* const kStateEffect = R"FX(
texture Tex;
sampler2D Samp = sampler_state { Texture = <Tex>; MinFilter = Point; AddressU = Clamp; };
glsl fragment PS {
    in vec2 uv;
    void main() { oColor = texture(Samp, uv); }
}
technique T {
    pass p0 {
        VertexShader = FullScreenVS; PixelShader = PS;
        ZEnable = false; CullMode = None;
        AlphaBlendEnable = true; SrcBlend = One; DestBlend = One;
    }
    pass p1 {
        StencilEnable = true; TwoSidedStencilMode = true;
        StencilZFail = Incr; CcwStencilZFail = Decr;
        ColorWriteEnable = 0;
        MinFilter[3] = Linear;
    }
}
)FX";

struct RenderCheck {
    RenderState state;
    uint32_t before;  // set on the device before Begin
    uint32_t inPass;  // what the pass that sets it leaves
};

const RenderCheck kRenderChecks[] = {
    {RenderState::ZEnable, 1, 0},
    {RenderState::CullMode, uint32_t(Cull::CW), uint32_t(Cull::None)},
    {RenderState::AlphaBlendEnable, 0, 1},
    {RenderState::SrcBlend, uint32_t(Blend::InvDestColor), uint32_t(Blend::One)},
    {RenderState::DestBlend, uint32_t(Blend::SrcColor), uint32_t(Blend::One)},
    {RenderState::StencilEnable, 0, 1},
    {RenderState::TwoSidedStencilMode, 0, 1},
    {RenderState::StencilZFail, uint32_t(StencilOp::Keep), uint32_t(StencilOp::Incr)},
    {RenderState::CcwStencilZFail, uint32_t(StencilOp::Zero), uint32_t(StencilOp::Decr)},
    {RenderState::ColorWriteEnable, 0xF, 0},
};

uint32_t RenderStateOf(Device& device, RenderState s) {
    uint32_t v = 0xDEADBEEF;
    device.GetRenderState(s, &v);
    return v;
}
uint32_t SamplerStateOf(Device& device, uint32_t unit, SamplerState s) {
    uint32_t v = 0xDEADBEEF;
    device.GetSamplerState(unit, s, &v);
    return v;
}
std::shared_ptr<BaseTexture> TextureOf(Device& device, uint32_t stage) {
    std::shared_ptr<BaseTexture> t;
    device.GetTexture(stage, &t);
    return t;
}

TEST_F(EffectDeviceTest, BeginSavesAndEndRestoresTheStatesThePassesSet) {
    ASSERT_TRUE(Make(WithVS(kStateEffect)));
    auto before = MakeTexture(1, 1, {0xFF101010});
    auto fromEffect = MakeTexture(1, 1, {0xFF202020});
    ASSERT_EQ(effect_->SetTexture("Tex", fromEffect), Result::Ok);
    Device& d = *device_;
    for (const RenderCheck& c : kRenderChecks) d.SetRenderState(c.state, c.before);
    d.SetRenderState(RenderState::ZFunc, uint32_t(Cmp::Greater));
    d.SetTexture(0, before);
    d.SetSamplerState(0, SamplerState::MinFilter, uint32_t(TextureFilter::Anisotropic));
    d.SetSamplerState(0, SamplerState::AddressU, uint32_t(TextureAddress::Mirror));
    d.SetSamplerState(3, SamplerState::MinFilter, uint32_t(TextureFilter::Point));

    uint32_t passes = 0;
    ASSERT_EQ(effect_->Begin(&passes, 0), Result::Ok);
    EXPECT_EQ(passes, 2u);
    for (const RenderCheck& c : kRenderChecks)
        EXPECT_EQ(RenderStateOf(d, c.state), c.before) << "Begin applies nothing; state " << uint32_t(c.state);

    ASSERT_EQ(effect_->BeginPass(0), Result::Ok);
    EXPECT_EQ(RenderStateOf(d, RenderState::ZEnable), 0u);
    EXPECT_EQ(RenderStateOf(d, RenderState::SrcBlend), uint32_t(Blend::One));
    EXPECT_EQ(TextureOf(d, 0), fromEffect);  // the sampler's texture on its unit
    EXPECT_EQ(SamplerStateOf(d, 0, SamplerState::MinFilter), uint32_t(TextureFilter::Point));
    EXPECT_EQ(SamplerStateOf(d, 0, SamplerState::AddressU), uint32_t(TextureAddress::Clamp));
    EXPECT_NE(d.BoundProgram().program, nullptr);
    DrawQuad();
    // A state the caller sets inside a pass and no pass sets is the caller's: End leaves it.
    d.SetRenderState(RenderState::ZFunc, uint32_t(Cmp::Always));
    ASSERT_EQ(effect_->EndPass(), Result::Ok);

    ASSERT_EQ(effect_->BeginPass(1), Result::Ok);
    for (const RenderCheck& c : kRenderChecks) {
        if (c.state == RenderState::StencilEnable || c.state == RenderState::TwoSidedStencilMode ||
            c.state == RenderState::StencilZFail || c.state == RenderState::CcwStencilZFail ||
            c.state == RenderState::ColorWriteEnable) {
            EXPECT_EQ(RenderStateOf(d, c.state), c.inPass) << "state " << uint32_t(c.state);
        }
    }
    EXPECT_EQ(SamplerStateOf(d, 3, SamplerState::MinFilter), uint32_t(TextureFilter::Linear));
    EXPECT_EQ(d.BoundProgram().program, nullptr) << "a pass without shaders draws fixed-function";
    ASSERT_EQ(effect_->EndPass(), Result::Ok);
    ASSERT_EQ(effect_->End(), Result::Ok);

    for (const RenderCheck& c : kRenderChecks)
        EXPECT_EQ(RenderStateOf(d, c.state), c.before) << "End restores state " << uint32_t(c.state);
    EXPECT_EQ(RenderStateOf(d, RenderState::ZFunc), uint32_t(Cmp::Always));
    EXPECT_EQ(TextureOf(d, 0), before);
    EXPECT_EQ(SamplerStateOf(d, 0, SamplerState::MinFilter), uint32_t(TextureFilter::Anisotropic));
    EXPECT_EQ(SamplerStateOf(d, 0, SamplerState::AddressU), uint32_t(TextureAddress::Mirror));
    EXPECT_EQ(SamplerStateOf(d, 3, SamplerState::MinFilter), uint32_t(TextureFilter::Point));
    EXPECT_EQ(d.BoundProgram().program, nullptr);
}

// The demo draws fixed-function meshes right after effect passes: End must unbind the last pass's
// program and put back the texture-stage states it set, or the next fixed-function draw takes the
// effect's colours.
const char* const kShadedLastEffect = R"FX(
glsl fragment Red {
    void main() { oColor = vec4(1.0, 0.0, 0.0, 1.0); }
}
technique T {
    pass Plain { ZEnable = false; CullMode = None; }
    pass Shaded {
        VertexShader = FullScreenVS; PixelShader = Red; ZEnable = false; CullMode = None;
        ColorOp[0] = SelectArg1; ColorArg1[0] = TFactor;
    }
}
)FX";

TEST_F(EffectDeviceTest, EndPutsBackTheProgramAndStageStatesForFixedFunctionDraws) {
    ASSERT_TRUE(Make(WithVS(kShadedLastEffect)));
    Device& d = *device_;
    d.SetRenderState(RenderState::Lighting, 0);
    d.SetRenderState(RenderState::ZEnable, 0);
    d.SetRenderState(RenderState::CullMode, uint32_t(Cull::None));
    d.SetRenderState(RenderState::TextureFactor, 0xFF0000FF);  // blue, should the pass's stage state stay
    d.SetTextureStageState(0, TextureStageState::ColorOp, uint32_t(TextureOp::SelectArg1));
    d.SetTextureStageState(0, TextureStageState::ColorArg1, TextureArg::Diffuse);
    d.SetTexture(0, nullptr);
    DrawAllPasses();
    EXPECT_EQ(d.BoundProgram().program, nullptr);
    uint32_t arg = 0;
    d.GetTextureStageState(0, TextureStageState::ColorArg1, &arg);
    EXPECT_EQ(arg, TextureArg::Diffuse);

    struct Vertex {
        float x, y, z, rhw;
        uint32_t color;
    };
    const uint32_t green = 0xFF00FF00;
    const Vertex quad[4] = {{0, 0, 0.5f, 1, green}, {1024, 0, 0.5f, 1, green}, {0, 768, 0.5f, 1, green},
                            {1024, 768, 0.5f, 1, green}};
    ASSERT_EQ(d.SetFVF(Fvf::XYZRHW | Fvf::Diffuse), Result::Ok);
    ASSERT_EQ(d.DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, quad, sizeof(Vertex)), Result::Ok);
    EXPECT_TRUE(ColorNear(Pixel(512, 384), green)) << "red: the effect's program stayed; blue: its stage state";
}

TEST_F(EffectDeviceTest, DoNotSaveStateLeavesThePassStatesInForce) {
    ASSERT_TRUE(Make(WithVS(kStateEffect)));
    device_->SetRenderState(RenderState::ZEnable, 1);
    ASSERT_EQ(effect_->Begin(nullptr, Fx::DoNotSaveState), Result::Ok);
    ASSERT_EQ(effect_->BeginPass(0), Result::Ok);
    ASSERT_EQ(effect_->EndPass(), Result::Ok);
    ASSERT_EQ(effect_->End(), Result::Ok);
    EXPECT_EQ(RenderStateOf(*device_, RenderState::ZEnable), 0u);
}

TEST_F(EffectDeviceTest, PassCallsOutOfOrderAreRefused) {
    ASSERT_TRUE(Make(WithVS(kStateEffect)));
    EXPECT_EQ(effect_->BeginPass(0), Result::InvalidCall) << "no Begin";
    EXPECT_EQ(effect_->End(), Result::InvalidCall);
    EXPECT_EQ(effect_->CommitChanges(), Result::Ok) << "outside a pass it does nothing";
    ASSERT_EQ(effect_->Begin(nullptr, 0), Result::Ok);
    EXPECT_EQ(effect_->Begin(nullptr, 0), Result::InvalidCall);
    EXPECT_EQ(effect_->BeginPass(2), Result::InvalidCall);
    EXPECT_EQ(effect_->SetTechniqueByIndex(0), Result::InvalidCall) << "not between Begin and End";
    ASSERT_EQ(effect_->BeginPass(0), Result::Ok);
    EXPECT_EQ(effect_->BeginPass(1), Result::InvalidCall) << "pass 0 is still active";
    EXPECT_EQ(effect_->End(), Result::Ok);
}

// ---- parameters ---------------------------------------------------------------------------------

const char* const kStructEffect = R"FX(
struct DirLight {
    float4 ambient;
    float4 diffuse;
    float4 specular;
    float3 dirW;
};
DirLight gLight;
glsl fragment PS {
    void main() { oColor = vec4(gLight.ambient.y, gLight.specular.z, gLight.dirW.z, 1.0); }
}
technique T { pass { VertexShader = FullScreenVS; PixelShader = PS; ZEnable = false; CullMode = None; } }
)FX";

TEST_F(EffectDeviceTest, SetValueWithAStructFillsItsMembers) {
    ASSERT_TRUE(Make(WithVS(kStructEffect)));
    const float light[15] = {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f, 0.9f, 0.6f, 0.4f, 0.3f, 0.0f, 0.0f, 0.8f};
    ASSERT_EQ(effect_->SetValue("gLight", light, sizeof light), Result::Ok);
    DrawAllPasses();
    EXPECT_TRUE(ColorNear(Pixel(512, 384), 0xFF3366CC));  // ambient.y, specular.z, dirW.z: the last member too

    // A larger buffer is taken and only the struct's 60 bytes are copied; a shorter one is refused.
    float more[17] = {};
    std::copy(std::begin(light), std::end(light), more);
    more[15] = more[16] = 7.0f;
    EXPECT_EQ(effect_->SetValue("gLight", more, sizeof more), Result::Ok);
    float back[16] = {};
    back[15] = -1.0f;
    ASSERT_EQ(effect_->GetValue("gLight", back, sizeof back), Result::Ok);
    EXPECT_EQ(std::memcmp(back, light, sizeof light), 0);
    EXPECT_EQ(back[15], -1.0f) << "GetValue copies the parameter's size, not the buffer's";
    const float ambient[4] = {1, 1, 1, 1};
    EXPECT_EQ(effect_->SetValue("gLight", ambient, sizeof ambient), Result::InvalidCall);
    ASSERT_EQ(effect_->GetValue("gLight", back, sizeof back), Result::Ok);
    EXPECT_EQ(back[1], 0.2f) << "a refused write leaves the value as it was";
}

// SetValue and GetValue against each parameter kind: D3DX takes at least the parameter's size and
// copies exactly that size.
TEST_F(EffectDeviceTest, SetValueTakesAtLeastTheParametersSize) {
    ASSERT_TRUE(Make(WithVS(kParameterEffect)));
    struct Case {
        const char* name;
        uint32_t bytes;
        Result expected;
    };
    const Case cases[] = {
        {"Tint", 16, Result::Ok},           // float4, exact
        {"Tint", 20, Result::Ok},           // more: the first 16 are copied
        {"Tint", 12, Result::InvalidCall},  // fewer
        {"Gain", 4, Result::Ok},            // float
        {"Gain", 8, Result::Ok},
        {"Gain", 2, Result::InvalidCall},
        {"ColorMatrix", 64, Result::Ok},
        {"ColorMatrix", 68, Result::Ok},
        {"ColorMatrix", 60, Result::InvalidCall},
        {"Tex", 4, Result::InvalidCall},   // a texture has no bytes to set
        {"Tex", 64, Result::InvalidCall},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " with " + std::to_string(c.bytes) + " bytes");
        uint32_t size = 0;
        if (const ParameterDesc* p = effect_->GetParameterByName(c.name)) size = p->size;
        std::vector<float> before(32, -5.0f), data(32), after(32, -7.0f);
        if (size > 0) {
            ASSERT_EQ(effect_->GetValue(c.name, before.data(), size), Result::Ok);
        }
        for (size_t i = 0; i < data.size(); ++i) data[i] = 0.125f * float(i + 1);
        EXPECT_EQ(effect_->SetValue(c.name, data.data(), c.bytes), c.expected);
        if (size == 0) continue;
        ASSERT_EQ(effect_->GetValue(c.name, after.data(), c.bytes + 4), Result::Ok);
        const std::vector<float>& wanted = c.expected == Result::Ok ? data : before;
        EXPECT_EQ(std::memcmp(after.data(), wanted.data(), size), 0) << "the parameter's bytes";
        EXPECT_EQ(after[size / 4], -7.0f) << "nothing past the parameter's size is copied";
    }
}

TEST_F(EffectDeviceTest, SettersOfTheWrongKindAreRefused) {
    ASSERT_TRUE(Make(WithVS(kParameterEffect)));
    EXPECT_EQ(effect_->SetMatrix("Gain", CycleMatrix()), Result::InvalidCall);
    EXPECT_EQ(effect_->SetFloat("ColorMatrix", 1.0f), Result::InvalidCall);
    EXPECT_EQ(effect_->SetTexture("Gain", nullptr), Result::InvalidCall);
    EXPECT_EQ(effect_->SetValue("Tex", &kLeft, 4), Result::InvalidCall);
    EXPECT_EQ(effect_->SetFloat("NoSuchName", 1.0f), Result::InvalidCall);
    float gain = 0;
    ASSERT_EQ(effect_->GetFloat("Gain", &gain), Result::Ok);
    EXPECT_EQ(gain, 1.0f) << "the default, untouched";
    Vector4 tint{9, 9, 9, 9};
    ASSERT_EQ(effect_->SetVector("Tint", Vector4{1, 2, 3, 4}), Result::Ok);
    ASSERT_EQ(effect_->GetVector("Tint", &tint), Result::Ok);
    EXPECT_EQ(tint.w, 4.0f);
    EXPECT_NE(effect_->GetParameterByName("ColorMatrix"), nullptr);
    EXPECT_EQ(effect_->GetParameterByName("colormatrix"), nullptr);
}

const char* const kLevelEffect = R"FX(
float Level = 0.25;
texture Tex;
sampler2D Samp = sampler_state { Texture = <Tex>; };
glsl fragment PS {
    in vec2 uv;
    void main() { oColor = vec4(Level, texture(Samp, uv).g, 0.0, 1.0); }
}
technique T { pass { VertexShader = FullScreenVS; PixelShader = PS; ZEnable = false; CullMode = None; } }
)FX";

TEST_F(EffectDeviceTest, CommitChangesSendsWhatChangedInsideThePass) {
    ASSERT_TRUE(Make(WithVS(kLevelEffect)));
    ASSERT_EQ(effect_->SetTexture("Tex", MakeTexture(1, 1, {0xFF000000})), Result::Ok);
    ASSERT_EQ(effect_->Begin(nullptr, 0), Result::Ok);
    ASSERT_EQ(effect_->BeginPass(0), Result::Ok);
    ASSERT_EQ(effect_->SetFloat("Level", 1.0f), Result::Ok);
    ASSERT_EQ(effect_->SetTexture("Tex", MakeTexture(1, 1, {0xFF00FF00})), Result::Ok);
    DrawQuad();
    EXPECT_TRUE(ColorNear(Pixel(512, 384), 0xFF400000)) << "not committed yet";
    ASSERT_EQ(effect_->CommitChanges(), Result::Ok);
    DrawQuad();
    EXPECT_TRUE(ColorNear(Pixel(512, 384), 0xFFFFFF00)) << "the new float and the new texture";
    ASSERT_EQ(effect_->EndPass(), Result::Ok);
    ASSERT_EQ(effect_->End(), Result::Ok);
}

// ---- techniques and the fixed-function vertex stage ------------------------------------------------

const char* const kTwoTechniques = R"FX(
glsl fragment RedPS { void main() { oColor = vec4(1.0, 0.0, 0.0, 1.0); } }
glsl fragment GreenPS { void main() { oColor = vec4(0.0, 1.0, 0.0, 1.0); } }
technique First { pass { VertexShader = FullScreenVS; PixelShader = RedPS; ZEnable = false; CullMode = None; } }
technique Second { pass { VertexShader = FullScreenVS; PixelShader = GreenPS; ZEnable = false; CullMode = None; } }
)FX";

TEST_F(EffectDeviceTest, FirstTechniqueByDefaultAndSetTechniqueByName) {
    ASSERT_TRUE(Make(WithVS(kTwoTechniques)));
    EXPECT_EQ(effect_->GetCurrentTechnique(), 0u);
    DrawAllPasses();
    EXPECT_TRUE(ColorNear(Pixel(512, 384), 0xFFFF0000));
    ASSERT_EQ(effect_->SetTechnique("Second"), Result::Ok);
    DrawAllPasses();
    EXPECT_TRUE(ColorNear(Pixel(512, 384), 0xFF00FF00));
    EXPECT_EQ(effect_->SetTechnique("Third"), Result::InvalidCall);
    EXPECT_EQ(effect_->GetCurrentTechnique(), 1u) << "an unknown name keeps the current technique";
    EXPECT_EQ(effect_->FindTechnique("First"), 0);
    EXPECT_STREQ(effect_->GetTechniqueName(1), "Second");
}

const char* const kPixelShaderOnly = R"FX(
float4 Tint = {1.0, 0.5, 1.0, 1.0};
glsl fragment PS { void main() { oColor = vDiffuse * Tint; } }
technique T { pass { PixelShader = PS; ZEnable = false; CullMode = None; Lighting = false; } }
)FX";

TEST_F(EffectDeviceTest, PassWithOnlyAPixelShaderTakesTheFixedFunctionVertexStage) {
    ASSERT_TRUE(Make(kPixelShaderOnly));
    Matrix world, identity;
    MatrixScaling(&world, 0.5f, 0.5f, 1.0f);
    MatrixIdentity(&identity);
    device_->SetTransform(TransformState::World, &world);
    device_->SetTransform(TransformState::View, &identity);
    device_->SetTransform(TransformState::Projection, &identity);
    struct Vertex {
        float x, y, z;
        uint32_t color;
    };
    const Vertex quad[4] = {{-1, 1, 0.5f, 0xFFFF8040}, {1, 1, 0.5f, 0xFFFF8040}, {-1, -1, 0.5f, 0xFFFF8040},
                            {1, -1, 0.5f, 0xFFFF8040}};
    ASSERT_EQ(effect_->Begin(nullptr, 0), Result::Ok);
    ASSERT_EQ(effect_->BeginPass(0), Result::Ok);
    ASSERT_NE(device_->BoundProgram().program, nullptr);
    EXPECT_TRUE(device_->BoundProgram().program->FixedVertexStage());
    ASSERT_EQ(device_->SetFVF(Fvf::XYZ | Fvf::Diffuse), Result::Ok);
    ASSERT_EQ(device_->DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, quad, sizeof(Vertex)), Result::Ok);
    ASSERT_EQ(effect_->EndPass(), Result::Ok);
    ASSERT_EQ(effect_->End(), Result::Ok);
    // The world transform put the quad over the middle half; the vertex colour reached the shader.
    EXPECT_TRUE(ColorNear(Pixel(512, 384), 0xFFFF4040));
    EXPECT_TRUE(ColorNear(Pixel(300, 220), 0xFFFF4040));
    EXPECT_TRUE(ColorNear(Pixel(200, 384), 0xFF000000));
    EXPECT_TRUE(ColorNear(Pixel(512, 150), 0xFF000000));
}

// The embedded offset effect's shape: no vertex shader, and a sampler without a state block that
// reads whatever the mesh drawing bound to stage 0.
const char* const kStageTextureEffect = R"FX(
float value;
sampler2D g_samSrcColor;
glsl fragment PS { void main() { oColor = texture(g_samSrcColor, vTexCoord0.xy + vec2(value)); } }
technique PostProcess { pass p1 { PixelShader = PS; ZEnable = false; CullMode = None; Lighting = false; } }
)FX";

TEST_F(EffectDeviceTest, SamplerWithoutStateBlockReadsTheStageTexture) {
    ASSERT_TRUE(Make(kStageTextureEffect));
    UseIdentityTransforms();
    auto texture = MakeTexture(2, 2, kQuadrantTexels);
    device_->SetSamplerState(0, SamplerState::MinFilter, uint32_t(TextureFilter::Point));
    device_->SetSamplerState(0, SamplerState::MagFilter, uint32_t(TextureFilter::Point));
    ASSERT_EQ(effect_->Begin(nullptr, 0), Result::Ok);
    ASSERT_EQ(effect_->BeginPass(0), Result::Ok);
    ASSERT_EQ(effect_->SetFloat("value", 0.5f), Result::Ok);
    ASSERT_EQ(effect_->CommitChanges(), Result::Ok);
    device_->SetTexture(0, texture);  // as DrawObject does, after the pass began
    DrawQuad();
    ASSERT_EQ(effect_->EndPass(), Result::Ok);
    ASSERT_EQ(effect_->End(), Result::Ok);
    // Shifted by half the texture with wrapping: white where red was, blue where green was.
    EXPECT_TRUE(ColorNear(Pixel(kLeft, kTop), 0xFFFFFFFF));
    EXPECT_TRUE(ColorNear(Pixel(kRight, kTop), 0xFF0000FF));
    EXPECT_EQ(TextureOf(*device_, 0), texture) << "no pass sets stage 0, so End leaves it";
}

const char* const kSpriteEffect = R"FX(
glsl fragment PS { void main() { oColor = vec4(vTexCoord0.xy, velor_SpriteCoord.x, 1.0); } }
technique T {
    pass {
        PixelShader = PS;
        PointSpriteEnable = true; PointScaleEnable = false; PointSize = 100.0;
        Lighting = false; ZEnable = false;
    }
}
)FX";

TEST_F(EffectDeviceTest, PixelShaderOnlyPointSpriteReadsItsCorner) {
    ASSERT_TRUE(Make(kSpriteEffect));
    UseIdentityTransforms();
    const float point[4] = {0, 0, 0.5f, 0};  // position and a zero colour
    ASSERT_EQ(effect_->Begin(nullptr, 0), Result::Ok);
    ASSERT_EQ(effect_->BeginPass(0), Result::Ok);
    ASSERT_EQ(device_->SetFVF(Fvf::XYZ | Fvf::Diffuse), Result::Ok);
    ASSERT_EQ(device_->DrawPrimitiveUP(PrimitiveType::PointList, 1, point, 16), Result::Ok);
    ASSERT_EQ(effect_->EndPass(), Result::Ok);
    ASSERT_EQ(effect_->End(), Result::Ok);
    // A 100-pixel sprite about (512, 384): texture coordinate 0,0 at its top-left, 1,1 bottom-right.
    uint32_t topLeft = Pixel(470, 345), bottomRight = Pixel(555, 425);
    EXPECT_LT((topLeft >> 16) & 0xFF, 64u);
    EXPECT_LT((topLeft >> 8) & 0xFF, 64u);
    EXPECT_GT((bottomRight >> 16) & 0xFF, 192u);
    EXPECT_GT((bottomRight >> 8) & 0xFF, 192u);
    EXPECT_GT(bottomRight & 0xFF, 192u) << "velor_SpriteCoord agrees";
    EXPECT_TRUE(ColorNear(Pixel(400, 384), 0xFF000000)) << "nothing outside the sprite";
}

const char* const kAlphaEffect = R"FX(
int Ref = 128;
glsl fragment PS { void main() { oColor = vec4(1.0, 1.0, 1.0, 0.2); } }
technique T {
    pass {
        VertexShader = FullScreenVS; PixelShader = PS; ZEnable = false; CullMode = None;
        AlphaTestEnable = true; AlphaFunc = Greater; AlphaRef = <Ref>;
    }
}
)FX";

TEST_F(EffectDeviceTest, AlphaTestAppliesToPixelShaderOutputWithRefFromAParameter) {
    ASSERT_TRUE(Make(WithVS(kAlphaEffect)));
    DrawAllPasses();
    EXPECT_TRUE(ColorNear(Pixel(512, 384), 0xFF000000)) << "alpha 51 is not greater than 128";
    ASSERT_EQ(effect_->SetInt("Ref", 10), Result::Ok);
    DrawAllPasses();
    EXPECT_TRUE(ColorNear(Pixel(512, 384), 0xFFFFFFFF));
    uint32_t alphaTest = 1;
    device_->GetRenderState(RenderState::AlphaTestEnable, &alphaTest);
    EXPECT_EQ(alphaTest, 0u) << "restored at End";
}

// ---- creation -------------------------------------------------------------------------------------

TEST_F(EffectDeviceTest, GlslErrorGivesFileLineAndNoEffect) {
    const std::string source = WithVS(
        "float4 Tint;\n"                                      // +1
        "glsl fragment PS {\n"                                // +2
        "    void main() {\n"                                 // +3
        "        oColor = Tint * undeclaredThing;\n"          // +4
        "    }\n"
        "}\n"
        "technique T { pass { VertexShader = FullScreenVS; PixelShader = PS; } }\n");
    int firstLine = 1 + int(std::count(kFullScreenVS, kFullScreenVS + std::strlen(kFullScreenVS), '\n'));
    std::shared_ptr<Effect> effect;
    std::string errors;
    EXPECT_EQ(CreateEffect(device_.get(), source, "broken.fx", &effect, &errors), Result::Fail);
    EXPECT_EQ(effect, nullptr);
    std::string where = "broken.fx:" + std::to_string(firstLine + 3) + ": glsl fragment PS: ";
    EXPECT_NE(errors.find(where), std::string::npos) << errors;
    EXPECT_NE(errors.find("undeclaredThing"), std::string::npos) << errors;
}

TEST_F(EffectDeviceTest, ParseErrorGivesFileLineAndNoEffect) {
    std::shared_ptr<Effect> effect;
    std::string errors;
    EXPECT_EQ(CreateEffect(device_.get(), "float a\ntechnique T { pass { } }\n", "p.fx", &effect, &errors), Result::Fail);
    EXPECT_EQ(effect, nullptr);
    EXPECT_EQ(errors.rfind("p.fx:2: ", 0), 0u) << errors;
}

TEST_F(EffectDeviceTest, FromResourceAndFromFile) {
    static const std::string source = WithVS(kTwoTechniques);
    RegisterResource(4242, reinterpret_cast<const uint8_t*>(source.data()), source.size());
    std::shared_ptr<Effect> effect;
    std::string errors;
    ASSERT_EQ(CreateEffectFromResource(device_.get(), 4242, &effect, &errors), Result::Ok) << errors;
    EXPECT_EQ(effect->GetTechniqueCount(), 2u);
    EXPECT_EQ(CreateEffectFromResource(device_.get(), 4243, &effect, &errors), Result::InvalidData);
    EXPECT_EQ(effect, nullptr);
    EXPECT_EQ(errors, "resource 4243: no embedded resource has this id");
    EXPECT_EQ(CreateEffectFromFile(device_.get(), "no-such-dir/none.fx", &effect, &errors), Result::InvalidData);
    EXPECT_NE(errors.find("no-such-dir/none.fx"), std::string::npos);
    ASSERT_EQ(CreateEffectFromFile(device_.get(), VELOR_FX_README, &effect, &errors), Result::Fail);
    EXPECT_EQ(errors.rfind(std::string(VELOR_FX_README) + ":1: ", 0), 0u) << "a file that is no effect: " << errors;
}

// The README's example must build on the device too, shaders and all.
TEST_F(EffectDeviceTest, ReadmeExampleCompilesAndLinks) {
    std::ifstream in(VELOR_FX_README);
    std::stringstream text;
    text << in.rdbuf();
    std::string page = text.str();
    size_t start = page.find("```fx\n");
    ASSERT_NE(start, std::string::npos);
    start += 6;
    std::string example = page.substr(start, page.find("```", start) - start);
    ASSERT_TRUE(Make(example, "glow.fx"));
    EXPECT_EQ(effect_->GetTechniqueCount(), 3u);
    ASSERT_EQ(effect_->SetTechnique("Tint"), Result::Ok);
    uint32_t passes = 0;
    ASSERT_EQ(effect_->Begin(&passes, 0), Result::Ok);
    ASSERT_EQ(effect_->BeginPass(0), Result::Ok);
    ASSERT_NE(device_->BoundProgram().program, nullptr);
    EXPECT_TRUE(device_->BoundProgram().program->FixedVertexStage());
    ASSERT_EQ(effect_->EndPass(), Result::Ok);
    ASSERT_EQ(effect_->End(), Result::Ok);
}

}  // namespace
}  // namespace velor
