#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/fx/effect_parser.h"
#include "engine/gfx/d3d_types.h"

namespace velor {
namespace {

const char* const kCompleteEffect = R"FX(// A post pass and a stencil pass in one file.
struct DirLight {
    float4 ambient;
    float4 diffuse;
    float4 specular;
    float3 dirW;
};

float4x4 worldViewProj : WorldViewProjection;
float    BlurStart = 1.0;
float2   center = {0.5, 0.5};
float4   tint = float4(1, 0.5, -0.25, 1.0f);
int      count = 16;
bool     enabled = true;
DirLight gLight = { {1,1,1,1}, {4,1,1,1}, {0,0,0,0}, {0, -0.4472136, 0.8944272} };
texture  Tex : S0;
texture  Env;
sampler2D Samp = sampler_state {
    Texture = <Tex>;
    MinFilter = Linear; MagFilter = LINEAR; MipFilter = Point;
    AddressU = Clamp; AddressV = Wrap;
};
samplerCUBE EnvSamp : register(s0) = sampler_state { Texture = (Env); };
sampler2D Bound;

glsl common {
    float Half(float x) { return x * 0.5; }
}

glsl vertex QuadVS {
    out vec2 uv;
    void main() {
        gl_Position = worldViewProj * vec4(iPosition.xyz, 1.0);
        uv = iTexCoord0.xy - center;
        velor_Finish(1.0);
    }
}

glsl fragment BlurPS {
    in vec2 uv;
    void main() { oColor = texture(Samp, uv * BlurStart) * tint; }
}

technique RadialBlur {
    pass p0 {
        VertexShader = QuadVS;
        PixelShader = BlurPS;
        ZEnable = false;
        CullMode = None;
    }
    pass {
        VertexShader = null;
        PixelShader = BlurPS;
        AlphaBlendEnable = True;
        SrcBlend = SrcAlpha; DestBlend = One; BlendOp = RevSubtract;
        ColorWriteEnable = Red | Green | Blue;
        AlphaRef = 0x80; AlphaFunc = GreaterEqual;
        PointSize = 2.5;
        PointScale_A = <BlurStart>;
        StencilRef = <count>;
    }
}

technique Shadow {
    pass p0 {
        StencilEnable = true;
        TwoSidedStencilMode = true;
        StencilFunc = Always; StencilZFail = Incr; StencilPass = Keep;
        CcwStencilFunc = Always; CcwStencilZFail = Decr; CcwStencilPass = Keep;
        StencilMask = 0xFFFFFFFF; StencilWriteMask = -1;
        Texture[1] = <Env>;
        Sampler[2] = <Samp>;
        ColorOp[0] = Modulate; ColorArg1[0] = Texture; AlphaOp = SelectArg1;
        MinFilter[3] = Anisotropic;
    }
}
)FX";

float FloatAt(const std::vector<uint8_t>& bytes, size_t offset) {
    float f;
    std::memcpy(&f, bytes.data() + offset, 4);
    return f;
}
int32_t IntAt(const std::vector<uint8_t>& bytes, size_t offset) {
    int32_t n;
    std::memcpy(&n, bytes.data() + offset, 4);
    return n;
}

const ParameterDesc& Param(const EffectDesc& d, const std::string& name) {
    for (const ParameterDesc& p : d.parameters)
        if (p.name == name) return p;
    ADD_FAILURE() << "no parameter " << name;
    static ParameterDesc none;
    return none;
}

const StateAssignment* FindState(const PassDesc& pass, StateKind kind, uint32_t state, uint32_t index = 0) {
    for (const StateAssignment& a : pass.states)
        if (a.kind == kind && a.state == state && a.index == index) return &a;
    return nullptr;
}

uint32_t RenderValue(const PassDesc& pass, RenderState s) {
    const StateAssignment* a = FindState(pass, StateKind::Render, uint32_t(s));
    EXPECT_NE(a, nullptr) << "state " << uint32_t(s);
    return a ? a->value : 0xDEADBEEF;
}

class CompleteEffect : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(ParseEffect(kCompleteEffect, "complete.fx", &d, &error)) << error;
    }
    EffectDesc d;
};

TEST_F(CompleteEffect, ParametersKeepTypeSemanticSizeAndDefault) {
    ASSERT_EQ(d.parameters.size(), 12u);
    const ParameterDesc& wvp = Param(d, "worldViewProj");
    EXPECT_EQ(wvp.type, ParamType::Float4x4);
    EXPECT_EQ(wvp.semantic, "WorldViewProjection");
    EXPECT_EQ(wvp.size, 64u);
    EXPECT_FALSE(wvp.hasDefault);
    EXPECT_EQ(wvp.defaultValue, std::vector<uint8_t>(64, 0));

    EXPECT_FLOAT_EQ(FloatAt(Param(d, "BlurStart").defaultValue, 0), 1.0f);
    const ParameterDesc& center = Param(d, "center");
    EXPECT_EQ(center.size, 8u);
    EXPECT_FLOAT_EQ(FloatAt(center.defaultValue, 0), 0.5f);
    EXPECT_FLOAT_EQ(FloatAt(center.defaultValue, 4), 0.5f);
    const ParameterDesc& tint = Param(d, "tint");
    EXPECT_FLOAT_EQ(FloatAt(tint.defaultValue, 8), -0.25f);
    EXPECT_FLOAT_EQ(FloatAt(tint.defaultValue, 12), 1.0f);
    EXPECT_EQ(IntAt(Param(d, "count").defaultValue, 0), 16);
    EXPECT_EQ(IntAt(Param(d, "enabled").defaultValue, 0), 1);
    EXPECT_EQ(Param(d, "Tex").semantic, "S0");
    EXPECT_EQ(Param(d, "Tex").type, ParamType::Texture);
}

TEST_F(CompleteEffect, StructMembersArePackedInOrder) {
    ASSERT_EQ(d.structs.size(), 1u);
    const StructType& s = d.structs[0];
    EXPECT_EQ(s.name, "DirLight");
    EXPECT_EQ(s.size, 60u);  // three float4 and a float3, no padding: D3DX SetValue layout
    ASSERT_EQ(s.members.size(), 4u);
    EXPECT_EQ(s.members[3].name, "dirW");
    EXPECT_EQ(s.members[3].offset, 48u);
    EXPECT_EQ(s.members[3].size, 12u);

    const ParameterDesc& light = Param(d, "gLight");
    EXPECT_EQ(light.type, ParamType::Struct);
    EXPECT_EQ(light.size, 60u);
    EXPECT_FLOAT_EQ(FloatAt(light.defaultValue, 16), 4.0f);
    EXPECT_FLOAT_EQ(FloatAt(light.defaultValue, 52), -0.4472136f);
    EXPECT_FLOAT_EQ(FloatAt(light.defaultValue, 56), 0.8944272f);
}

TEST_F(CompleteEffect, SamplersGetStatesTextureAndUnit) {
    const ParameterDesc& samp = Param(d, "Samp");
    EXPECT_EQ(samp.type, ParamType::Sampler2D);
    EXPECT_TRUE(samp.sampler.hasStateBlock);
    EXPECT_EQ(d.parameters[samp.sampler.textureParam].name, "Tex");
    ASSERT_EQ(samp.sampler.states.size(), 5u);
    EXPECT_EQ(samp.sampler.states[0].state, uint32_t(SamplerState::MinFilter));
    EXPECT_EQ(samp.sampler.states[0].value, uint32_t(TextureFilter::Linear));
    EXPECT_EQ(samp.sampler.states[1].value, uint32_t(TextureFilter::Linear));  // names ignore case
    EXPECT_EQ(samp.sampler.states[2].value, uint32_t(TextureFilter::Point));
    EXPECT_EQ(samp.sampler.states[3].value, uint32_t(TextureAddress::Clamp));

    // EnvSamp asks for s0 explicitly, so the samplers declared around it take the next free units.
    const ParameterDesc& env = Param(d, "EnvSamp");
    EXPECT_EQ(env.type, ParamType::SamplerCube);
    EXPECT_EQ(env.sampler.unit, 0);
    EXPECT_EQ(samp.sampler.unit, 1);
    EXPECT_EQ(samp.sampler.states[0].index, 1u);
    const ParameterDesc& bound = Param(d, "Bound");
    EXPECT_FALSE(bound.sampler.hasStateBlock);
    EXPECT_EQ(bound.sampler.textureParam, -1);
    EXPECT_EQ(bound.sampler.unit, 2);
}

TEST_F(CompleteEffect, GlslBlocksKeepBodyAndStartLine) {
    ASSERT_EQ(d.shaders.size(), 3u);
    EXPECT_EQ(d.shaders[0].stage, ShaderStage::Common);
    EXPECT_EQ(d.shaders[1].stage, ShaderStage::Vertex);
    EXPECT_EQ(d.shaders[1].name, "QuadVS");
    EXPECT_EQ(d.shaders[1].line, 30);  // the body starts right after '{' on the block's line
    EXPECT_NE(d.shaders[1].body.find("velor_Finish(1.0);"), std::string::npos);
    EXPECT_EQ(d.shaders[2].stage, ShaderStage::Fragment);
    // A GLSL body keeps its braces; only the block's own closing brace ends it.
    EXPECT_EQ(d.shaders[2].body.back(), '\n');
    EXPECT_NE(d.shaders[2].body.find("{ oColor"), std::string::npos);
}

TEST_F(CompleteEffect, TechniquesAndPassesInFileOrder) {
    ASSERT_EQ(d.techniques.size(), 2u);
    const TechniqueDesc& blur = d.techniques[0];
    EXPECT_EQ(blur.name, "RadialBlur");
    ASSERT_EQ(blur.passes.size(), 2u);
    EXPECT_EQ(blur.passes[0].name, "p0");
    EXPECT_EQ(blur.passes[0].vertexShader, 1);
    EXPECT_EQ(blur.passes[0].pixelShader, 2);
    EXPECT_EQ(RenderValue(blur.passes[0], RenderState::ZEnable), 0u);
    EXPECT_EQ(RenderValue(blur.passes[0], RenderState::CullMode), uint32_t(Cull::None));
    EXPECT_EQ(blur.passes[1].name, "");
    EXPECT_EQ(blur.passes[1].vertexShader, -1);  // null: the fixed-function vertex stage
    EXPECT_EQ(blur.passes[1].pixelShader, 2);
    EXPECT_EQ(d.techniques[1].passes[0].vertexShader, -1);
    EXPECT_EQ(d.techniques[1].passes[0].pixelShader, -1);
}

TEST_F(CompleteEffect, RenderStateValuesByNameNumberAndParameter) {
    const PassDesc& p = d.techniques[0].passes[1];
    EXPECT_EQ(RenderValue(p, RenderState::AlphaBlendEnable), 1u);
    EXPECT_EQ(RenderValue(p, RenderState::SrcBlend), uint32_t(Blend::SrcAlpha));
    EXPECT_EQ(RenderValue(p, RenderState::DestBlend), uint32_t(Blend::One));
    EXPECT_EQ(RenderValue(p, RenderState::BlendOp), uint32_t(BlendOp::RevSubtract));
    EXPECT_EQ(RenderValue(p, RenderState::ColorWriteEnable), 7u);
    EXPECT_EQ(RenderValue(p, RenderState::AlphaRef), 0x80u);
    EXPECT_EQ(RenderValue(p, RenderState::AlphaFunc), uint32_t(Cmp::GreaterEqual));
    EXPECT_EQ(RenderValue(p, RenderState::PointSize), FloatToBits(2.5f));

    const StateAssignment* scale = FindState(p, StateKind::Render, uint32_t(RenderState::PointScaleA));
    ASSERT_NE(scale, nullptr);
    EXPECT_EQ(d.parameters[scale->param].name, "BlurStart");
    EXPECT_TRUE(scale->floatState);
    const StateAssignment* ref = FindState(p, StateKind::Render, uint32_t(RenderState::StencilRef));
    ASSERT_NE(ref, nullptr);
    EXPECT_EQ(d.parameters[ref->param].name, "count");
    EXPECT_FALSE(ref->floatState);
}

TEST_F(CompleteEffect, TwoSidedStencilAndStageStates) {
    const PassDesc& p = d.techniques[1].passes[0];
    EXPECT_EQ(RenderValue(p, RenderState::TwoSidedStencilMode), 1u);
    EXPECT_EQ(RenderValue(p, RenderState::StencilZFail), uint32_t(StencilOp::Incr));
    EXPECT_EQ(RenderValue(p, RenderState::CcwStencilZFail), uint32_t(StencilOp::Decr));
    EXPECT_EQ(RenderValue(p, RenderState::CcwStencilFunc), uint32_t(Cmp::Always));
    EXPECT_EQ(RenderValue(p, RenderState::StencilMask), 0xFFFFFFFFu);
    EXPECT_EQ(RenderValue(p, RenderState::StencilWriteMask), 0xFFFFFFFFu);

    const StateAssignment* tex = FindState(p, StateKind::Texture, 0, 1);
    ASSERT_NE(tex, nullptr);
    EXPECT_EQ(d.parameters[tex->param].name, "Env");
    const StateAssignment* samp = FindState(p, StateKind::SamplerBind, 0, 2);
    ASSERT_NE(samp, nullptr);
    EXPECT_EQ(d.parameters[samp->param].name, "Samp");
    const StateAssignment* op = FindState(p, StateKind::TextureStage, uint32_t(TextureStageState::ColorOp), 0);
    ASSERT_NE(op, nullptr);
    EXPECT_EQ(op->value, uint32_t(TextureOp::Modulate));
    const StateAssignment* arg = FindState(p, StateKind::TextureStage, uint32_t(TextureStageState::ColorArg1), 0);
    ASSERT_NE(arg, nullptr);
    EXPECT_EQ(arg->value, TextureArg::Texture);
    EXPECT_NE(FindState(p, StateKind::TextureStage, uint32_t(TextureStageState::AlphaOp), 0), nullptr);
    const StateAssignment* filter = FindState(p, StateKind::Sampler, uint32_t(SamplerState::MinFilter), 3);
    ASSERT_NE(filter, nullptr);
    EXPECT_EQ(filter->value, uint32_t(TextureFilter::Anisotropic));
}

// The page effect authors read must show a file that parses.
TEST(EffectReadme, CompleteExampleParses) {
    std::ifstream in(VELOR_FX_README);
    ASSERT_TRUE(in) << VELOR_FX_README;
    std::stringstream text;
    text << in.rdbuf();
    std::string page = text.str();
    const std::string open = "```fx\n";
    size_t start = page.find(open);
    ASSERT_NE(start, std::string::npos) << "README has no ```fx block";
    start += open.size();
    size_t end = page.find("```", start);
    ASSERT_NE(end, std::string::npos);
    EffectDesc d;
    std::string error;
    EXPECT_TRUE(ParseEffect(page.substr(start, end - start), "README.md", &d, &error)) << error;
    EXPECT_GE(d.techniques.size(), 1u);
}

// ---- malformed sources ------------------------------------------------------------------------

struct Malformed {
    const char* what;
    const char* source;
    int line;
    const char* message;  // a part of the error text
};

const char* const kPass = "technique T { pass { } }\n";

const Malformed kMalformed[] = {
    {"unknown type", "float5 x;\n", 1, "unknown type 'float5'"},
    {"missing semicolon", "float a = 1.0\nfloat b;\ntechnique T { pass { } }", 2, "expected ';'"},
    {"missing name", "float = 1;\n", 1, "expected a parameter name"},
    {"duplicate parameter", "float a;\nfloat4 a;\n", 2, "already declared as a parameter on line 1"},
    {"glsl keyword as name", "float\nvec4;\n", 2, "reserved word in GLSL"},
    {"engine prefix", "float velor_x;\n", 1, "reserved"},
    {"double underscore", "float a__b;\n", 1, "'__'"},
    {"too few default values", "float4 c = {1, 2, 3};\n", 1, "takes 4 values, the default gives 3"},
    {"too many default values", "\nfloat c = {1, 2};\n", 2, "takes 1 value, the default gives 2"},
    {"int default not integer", "int n =\n 1.5;\n", 2, "not an integer"},
    {"texture default", "texture t = 1;\n", 1, "cannot have a default value"},
    {"sampler without sampler_state", "sampler2D s = { };\n", 1, "sampler_state"},
    {"unknown sampler state", "texture t;\nsampler s = sampler_state {\n  Texture = <t>;\n  MinFilterr = Linear;\n};\n",
     4, "unknown sampler state 'MinFilterr'"},
    {"sampler texture not declared", "sampler s = sampler_state { Texture = <t>; };\n", 1,
     "no parameter named 't' is declared above"},
    {"sampler texture of wrong kind", "float t;\nsampler s = sampler_state { Texture = <t>; };\n", 2,
     "'t' is a float parameter, not a texture"},
    {"bad filter value", "sampler s = sampler_state {\n MinFilter = Bilinear; };\n", 2,
     "'Bilinear' is not a value of MinFilter"},
    {"register on a float", "float f : register(s0);\n", 1, "only a sampler takes register"},
    {"register out of range", "sampler s : register(s9);\n", 1, "not one of s0 to s7"},
    {"register taken twice", "sampler a : register(s1);\nsampler b : register(s1);\n" , 2, "another sampler has"},
    {"nine samplers", "sampler s0; sampler s1; sampler s2; sampler s3;\nsampler s4; sampler s5; sampler s6;\n"
                      "sampler s7;\nsampler s8;\n", 4, "one too many"},
    {"struct without members", "struct S {\n};\n", 1, "has no members"},
    {"struct member texture", "struct S {\n texture t;\n};\n", 2, "cannot be a texture"},
    {"struct without semicolon", "struct S { float a; }\nfloat b;\n", 2, "after the closing '}' of struct 'S'"},
    {"struct member twice", "struct S { float a;\n float a; };\n", 2, "two members named 'a'"},
    {"struct default short", "struct S { float4 a; float b; };\nS s = { {1,2,3,4} };\n", 2,
     "takes 5 values, the default gives 4"},
    {"default nested too deep", "float a = {{{{{{{{{{{{{{{{{{{{1}}}}}}}}}}}}}}}}}}};\n", 1, "nested more than"},
    {"struct too large", "struct A { float4x4 a; float4x4 b; float4x4 c; float4x4 d; };\n"
                         "struct B { A a; A b; A c; A d; };\nstruct C { B a; B b; B c; B d; };\n"
                         "struct D { C a;\n C b; };\n", 5, "grows past 4096 bytes"},
    {"float default out of range", "float a = 1e39;\n", 1, "out of range"},
    {"int default out of range", "int a = 3000000000;\n", 1, "out of range"},
    {"glsl unknown stage", "glsl geometry G { }\n", 1, "expected vertex, fragment or common"},
    {"glsl not closed", "glsl vertex V {\n void main() {\n", 1, "not closed"},
    {"glsl duplicate name", "glsl vertex V { }\nglsl fragment V { }\n", 2, "already declared on line 1"},
    {"comment not closed", "float a;\n/* open\n", 2, "comment not closed"},
    {"malformed number", "float a = 1e;\n", 1, "malformed number"},
    {"malformed number suffix", "float a = 12abc;\n", 1, "malformed number"},
    {"stray character", "float a;\n\"text\"\n", 2, "expected a declaration, found '\"'"},
    {"no technique", "float a;\n", 1, "declares no technique"},
    {"technique without pass", "technique T {\n}\n", 1, "has no pass"},
    {"technique twice", "technique T { pass { } }\ntechnique T { pass { } }\n", 2, "already declared on line 1"},
    {"pass twice", "technique T {\n pass p { }\n pass p { }\n}\n", 3, "already has a pass named 'p'"},
    {"junk in technique", "technique T {\n  ZEnable = false;\n}\n", 2, "expected 'pass' or '}'"},
    {"unknown render state", "technique T { pass {\n  ZEnabel = false;\n} }\n", 2, "unknown state 'ZEnabel'"},
    {"bad blend value", "technique T { pass {\n  SrcBlend = Sourcealpha;\n} }\n", 2,
     "'Sourcealpha' is not a value of SrcBlend"},
    {"bad cull value", "technique T { pass {\n  CullMode = Back;\n} }\n", 2, "expected None, CW, CCW or a number"},
    {"float for integer state", "technique T { pass {\n  StencilRef = 1.5;\n} }\n", 2, "takes an integer"},
    {"state set twice", "technique T { pass {\n  ZEnable = false;\n  zenable = true;\n} }\n", 3,
     "'ZEnable' is set twice in pass '0' (first on line 2)"},
    {"render state with index", "technique T { pass {\n  ZEnable[1] = false;\n} }\n", 2, "takes no index"},
    {"stage index out of range", "technique T { pass {\n  ColorOp[8] = Modulate;\n} }\n", 2, "stage index 0 to 7"},
    {"missing value", "technique T { pass {\n  ZEnable = ;\n} }\n", 2, "expected a value for 'ZEnable', found ';'"},
    {"state parameter undeclared", "technique T { pass {\n  AlphaRef = <ref>;\n} }\n", 2, "no parameter named 'ref'"},
    {"state parameter not scalar", "float4 v;\ntechnique T { pass {\n  AlphaRef = <v>;\n} }\n", 3,
     "not a float, int or bool"},
    {"texture state from sampler", "sampler s;\ntechnique T { pass {\n  Texture[0] = <s>;\n} }\n", 3, "not a texture"},
    {"unknown shader", "technique T { pass {\n  PixelShader = PS;\n} }\n", 2, "no glsl fragment block named 'PS'"},
    {"shader of wrong stage", "glsl fragment PS { }\ntechnique T { pass {\n  VertexShader = PS;\n PixelShader = PS;\n} }\n",
     3, "'PS' is a glsl fragment block, not a vertex block"},
    {"hlsl compile syntax", "technique T { pass {\n  VertexShader = compile vs_2_0 VS();\n} }\n", 2, "glsl blocks named"},
    {"shader set twice", "glsl fragment PS { }\ntechnique T { pass {\n  PixelShader = PS;\n  PixelShader = PS;\n} }\n",
     4, "set twice"},
    {"vertex shader only", "glsl vertex VS { }\ntechnique T {\n pass {\n  VertexShader = VS;\n} }\n", 3,
     "vertex shader but no pixel shader"},
    {"pass not closed", "technique T { pass {\n  ZEnable = false;\n", 3, "expected a state assignment"},
};

class MalformedEffect : public ::testing::TestWithParam<Malformed> {};

TEST_P(MalformedEffect, IsRefusedWithItsLine) {
    const Malformed& m = GetParam();
    std::string source = m.source;
    // Sources that stop before any technique get one appended, so the fault tested is their own.
    if (source.find("technique") == std::string::npos && std::string(m.message).find("no technique") == std::string::npos)
        source += kPass;
    EffectDesc d;
    d.techniques.push_back({"untouched", {}, 0});
    std::string error;
    ASSERT_FALSE(ParseEffect(source, "bad.fx", &d, &error)) << m.what;
    std::string expectedPrefix = "bad.fx:" + std::to_string(m.line) + ": ";
    EXPECT_EQ(error.substr(0, expectedPrefix.size()), expectedPrefix) << m.what << ": " << error;
    EXPECT_NE(error.find(m.message), std::string::npos) << m.what << ": " << error;
    ASSERT_EQ(d.techniques.size(), 1u) << "a failed parse must leave the description untouched";
    EXPECT_EQ(d.techniques[0].name, "untouched");
}

INSTANTIATE_TEST_SUITE_P(Table, MalformedEffect, ::testing::ValuesIn(kMalformed),
                         [](const ::testing::TestParamInfo<Malformed>& info) {
                             std::string name;
                             for (const char* c = info.param.what; *c; ++c)
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             return name;
                         });

TEST(EffectParser, BracesInGlslCommentsDoNotEndTheBlock) {
    const char* src =
        "glsl fragment PS {\n"
        "  // a stray } in a comment\n"
        "  /* and { another */\n"
        "  void main() { oColor = vec4(1.0); }\n"
        "}\n"
        "technique T { pass { PixelShader = PS; } }\n";
    EffectDesc d;
    std::string error;
    ASSERT_TRUE(ParseEffect(src, "c.fx", &d, &error)) << error;
    ASSERT_EQ(d.shaders.size(), 1u);
    EXPECT_NE(d.shaders[0].body.find("void main()"), std::string::npos);
    EXPECT_EQ(d.techniques[0].passes[0].pixelShader, 0);
}

TEST(EffectParser, EmptySourceIsRefused) {
    EffectDesc d;
    std::string error;
    EXPECT_FALSE(ParseEffect("", "empty.fx", &d, &error));
    EXPECT_EQ(error, "empty.fx:1: the effect declares no technique");
}

// The fuzzer's seeds are only worth their place while they parse: a seed the parser refuses at its
// first line explores nothing past it.
TEST(FuzzSeeds, EverySeedParses) {
    int seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(VELOR_FX_FUZZ_SEEDS)) {
        std::ifstream in(entry.path());
        std::stringstream text;
        text << in.rdbuf();
        EffectDesc d;
        std::string error;
        EXPECT_TRUE(ParseEffect(text.str(), entry.path().filename().string(), &d, &error)) << error;
        EXPECT_FALSE(d.techniques.empty()) << entry.path();
        ++seeds;
    }
    EXPECT_GT(seeds, 0);
}

}  // namespace
}  // namespace velor
