#include "engine/fx/effect_glsl.h"

#include <cctype>
#include <cstdlib>

namespace velor {

namespace {

// Source-string numbers of the parts of a composed shader.
constexpr int kFileSource = 0;
constexpr int kGeneratedSource = 1;
constexpr int kPreludeSource = 2;

// Fragment-stage additions: the inputs a pixel shader may read, and Direct3D's alpha test after the
// author's main, fed by the device through the same uniforms as its fixed-function fragment stage.
// The device compiles the test in (VELOR_ALPHA_TEST) only for draws that enable it.
const char* const kFragmentInputs = R"GLSL(
in vec4 vDiffuse;
in vec4 vSpecular;
in vec4 vTexCoord0;
uniform int ff_AlphaFunc;   // D3DCMP_*; 8 when the alpha test is off
uniform float ff_AlphaRef;
)GLSL";

const char* const kFragmentMain = R"GLSL(
bool velor_AlphaPasses(float alpha) {
    float a = floor(alpha * 255.0 + 0.5);
    if (ff_AlphaFunc == 1) return false;
    if (ff_AlphaFunc == 2) return a < ff_AlphaRef;
    if (ff_AlphaFunc == 3) return a == ff_AlphaRef;
    if (ff_AlphaFunc == 4) return a <= ff_AlphaRef;
    if (ff_AlphaFunc == 5) return a > ff_AlphaRef;
    if (ff_AlphaFunc == 6) return a != ff_AlphaRef;
    if (ff_AlphaFunc == 7) return a >= ff_AlphaRef;
    return true;
}
void main() {
    velor_EffectMain();
#ifdef VELOR_ALPHA_TEST
    if (!velor_AlphaPasses(oColor.a)) discard;
#endif
}
)GLSL";

std::string LineDirective(int line, int source) {
    return "#line " + std::to_string(line) + " " + std::to_string(source) + "\n";
}

const char* StageName(ShaderStage stage) {
    switch (stage) {
    case ShaderStage::Vertex: return "vertex";
    case ShaderStage::Fragment: return "fragment";
    case ShaderStage::Common: return "common";
    }
    return "?";
}

// Parses a leading "S:L(" (Mesa) or "S(L)" (NVIDIA) and returns what follows; false when the line
// has neither form.
bool SplitLogLine(std::string_view line, int* source, int* lineNumber, std::string_view* message) {
    size_t i = 0;
    auto number = [&](int* out) {
        size_t start = i;
        while (i < line.size() && std::isdigit(static_cast<unsigned char>(line[i]))) ++i;
        if (i == start) return false;
        *out = std::atoi(std::string(line.substr(start, i - start)).c_str());
        return true;
    };
    if (!number(source) || i >= line.size()) return false;
    if (line[i] == ':') {
        ++i;
        if (!number(lineNumber) || i >= line.size() || line[i] != '(') return false;
        size_t close = line.find(')', i);
        if (close == std::string_view::npos) return false;
        i = close + 1;
    } else if (line[i] == '(') {
        ++i;
        if (!number(lineNumber) || i >= line.size() || line[i] != ')') return false;
        ++i;
    } else {
        return false;
    }
    while (i < line.size() && (line[i] == ' ' || line[i] == ':')) ++i;
    *message = line.substr(i);
    return true;
}

}  // namespace

std::string GlslTypeName(const EffectDesc& desc, ParamType type, int structIndex) {
    switch (type) {
    case ParamType::Float: return "float";
    case ParamType::Float2: return "vec2";
    case ParamType::Float3: return "vec3";
    case ParamType::Float4: return "vec4";
    case ParamType::Float4x4: return "mat4";
    case ParamType::Int: return "int";
    case ParamType::Bool: return "bool";
    case ParamType::Sampler2D: return "sampler2D";
    case ParamType::SamplerCube: return "samplerCube";
    case ParamType::Struct: return desc.structs[structIndex].name;
    case ParamType::Texture: break;
    }
    return "";
}

std::string GlslDeclarations(const EffectDesc& desc) {
    std::string out;
    for (const StructType& s : desc.structs) {
        out += "struct " + s.name + " {\n";
        for (const StructMember& m : s.members)
            out += "    " + GlslTypeName(desc, m.type, m.structIndex) + " " + m.name + ";\n";
        out += "};\n";
    }
    for (const ParameterDesc& p : desc.parameters) {
        if (p.type == ParamType::Texture) continue;
        out += "uniform " + GlslTypeName(desc, p.type, p.structIndex) + " " + p.name + ";\n";
    }
    return out;
}

std::string ComposeShader(const EffectDesc& desc, const ShaderBlock& block, std::string_view prelude) {
    std::string out;
    size_t versionEnd = prelude.starts_with("#version") ? prelude.find('\n') : std::string_view::npos;
    if (versionEnd != std::string_view::npos) {
        out += prelude.substr(0, versionEnd + 1);
        out += LineDirective(2, kPreludeSource);
        out += prelude.substr(versionEnd + 1);
    } else {
        out += prelude;
    }
    bool fragment = block.stage == ShaderStage::Fragment;
    if (fragment) out += kFragmentInputs;
    out += LineDirective(1, kGeneratedSource);
    out += GlslDeclarations(desc);
    for (const ShaderBlock& common : desc.shaders) {
        if (common.stage != ShaderStage::Common) continue;
        out += LineDirective(common.line, kFileSource);
        out += common.body;
        out += "\n";
    }
    if (fragment) out += "#define main velor_EffectMain\n";
    out += LineDirective(block.line, kFileSource);
    out += block.body;
    out += "\n";
    if (fragment) {
        out += "#undef main\n";
        out += LineDirective(1, kPreludeSource);
        out += kFragmentMain;
    }
    return out;
}

std::string RewriteShaderLog(std::string_view log, std::string_view fileName, const ShaderBlock& block) {
    std::string where = std::string("glsl ") + StageName(block.stage) + (block.name.empty() ? "" : " " + block.name);
    std::string out;
    size_t start = 0;
    while (start < log.size()) {
        size_t end = log.find('\n', start);
        if (end == std::string_view::npos) end = log.size();
        std::string_view line = log.substr(start, end - start);
        start = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\0')) line.remove_suffix(1);
        if (line.empty()) continue;
        int source = 0, number = 0;
        std::string_view message;
        if (SplitLogLine(line, &source, &number, &message)) {
            if (source == kFileSource) {
                out += std::string(fileName) + ":" + std::to_string(number) + ": " + where + ": " + std::string(message);
            } else {
                out += std::string(fileName) + ": " + where + " (" +
                       (source == kGeneratedSource ? "declarations made from the parameters" : "engine prelude") +
                       ", line " + std::to_string(number) + "): " + std::string(message);
            }
        } else {
            out += std::string(fileName) + ": " + where + ": " + std::string(line);
        }
        out += "\n";
    }
    if (out.empty()) out = std::string(fileName) + ": " + where + ": the GLSL compiler failed without a message\n";
    return out;
}

}  // namespace velor
