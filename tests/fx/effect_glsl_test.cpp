#include <gtest/gtest.h>

#include "engine/fx/effect_glsl.h"
#include "engine/fx/effect_parser.h"

namespace velor {
namespace {

struct LogCase {
    const char* what;
    const char* log;
    const char* expected;
};

const LogCase kLogCases[] = {
    {"mesa, file text", "0:14(9): error: `x' undeclared\n", "a.fx:14: glsl fragment PS: error: `x' undeclared\n"},
    {"nvidia, file text", "0(7) : error C1008: undefined variable \"x\"\n",
     "a.fx:7: glsl fragment PS: error C1008: undefined variable \"x\"\n"},
    {"generated declarations", "1:3(1): error: `common' is reserved\n",
     "a.fx: glsl fragment PS (declarations made from the parameters, line 3): error: `common' is reserved\n"},
    {"engine prelude", "2:40(5): warning: something\n",
     "a.fx: glsl fragment PS (engine prelude, line 40): warning: something\n"},
    {"unrecognised line kept whole", "internal compiler trouble\r\n",
     "a.fx: glsl fragment PS: internal compiler trouble\n"},
    {"several lines", "0:1(1): error: one\n\n0:2(1): error: two",
     "a.fx:1: glsl fragment PS: error: one\na.fx:2: glsl fragment PS: error: two\n"},
    {"empty log", "", "a.fx: glsl fragment PS: the GLSL compiler failed without a message\n"},
};

class ShaderLog : public ::testing::TestWithParam<LogCase> {};

TEST_P(ShaderLog, NamesTheEffectFileLine) {
    ShaderBlock block;
    block.stage = ShaderStage::Fragment;
    block.name = "PS";
    EXPECT_EQ(RewriteShaderLog(GetParam().log, "a.fx", block), GetParam().expected) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(Table, ShaderLog, ::testing::ValuesIn(kLogCases));

TEST(EffectGlsl, ShaderDeclaresStructsAndUniformsAndKeepsFileLines) {
    const char* src =
        "struct L { float4 a; float3 d; };\n"
        "L gLight;\n"
        "float4x4 m;\n"
        "texture t;\n"
        "samplerCUBE env = sampler_state { Texture = <t>; };\n"
        "glsl common { float Half(float x) { return x * 0.5; } }\n"
        "glsl fragment PS {\n"
        "  void main() { oColor = vec4(1.0); }\n"
        "}\n"
        "technique T { pass { PixelShader = PS; } }\n";
    EffectDesc d;
    std::string error;
    ASSERT_TRUE(ParseEffect(src, "g.fx", &d, &error)) << error;
    std::string glsl = ComposeShader(d, d.shaders[1], "#version 330 core\nout vec4 oColor;\n");
    EXPECT_EQ(glsl.rfind("#version 330 core\n#line 2 2\n", 0), 0u) << glsl;
    for (const char* part : {"struct L {\n    vec4 a;\n    vec3 d;\n};\n", "uniform L gLight;\n", "uniform mat4 m;\n",
                             "uniform samplerCube env;\n", "#line 6 0\n float Half", "#line 7 0\n"})
        EXPECT_NE(glsl.find(part), std::string::npos) << part << "\n---\n" << glsl;
    EXPECT_EQ(glsl.find("uniform texture"), std::string::npos) << "textures are no uniforms";
    // The author's main runs inside the engine's, which applies the alpha test afterwards.
    EXPECT_LT(glsl.find("#define main velor_EffectMain"), glsl.find("void main() { oColor"));
    EXPECT_NE(glsl.find("velor_EffectMain();"), std::string::npos);
}

}  // namespace
}  // namespace velor
