// The effect parser, second half: GLSL blocks, techniques and passes with their state assignments,
// and the checks that need the whole file (shader names, sampler units).
#include <cfloat>
#include <cmath>

#include "engine/fx/effect_parser_internal.h"
#include "engine/gfx/d3d_types.h"

namespace velor::effect_parser {

// ---- GLSL blocks ---------------------------------------------------------------------------------

void Parser::ParseGlsl() {
    Take();  // glsl
    Token stage = ExpectIdentifier("vertex, fragment or common after 'glsl'");
    ShaderBlock block;
    if (stage.text == "vertex") {
        block.stage = ShaderStage::Vertex;
    } else if (stage.text == "fragment") {
        block.stage = ShaderStage::Fragment;
    } else if (stage.text == "common") {
        block.stage = ShaderStage::Common;
    } else {
        Fail(stage.line, "expected vertex, fragment or common after 'glsl', found " + Describe(stage));
    }
    if (block.stage != ShaderStage::Common) {
        Token name = ExpectIdentifier("a name after 'glsl " + stage.text + "'");
        for (const ShaderBlock& other : d_.shaders)
            if (other.name == name.text)
                Fail(name.line, "a glsl block named '" + name.text + "' is already declared on line " +
                                    std::to_string(other.line));
        block.name = name.text;
    }
    Token open = Expect('{', "to open the GLSL body");
    if (!lex_.ReadBalancedBlock(&block.body, &block.line))
        Fail(open.line, "GLSL body opened here is not closed by a matching '}'");
    d_.shaders.push_back(std::move(block));
}

// ---- techniques and passes -----------------------------------------------------------------------

void Parser::ParseTechnique() {
    Take();  // technique
    Token name = ExpectIdentifier("a technique name after 'technique'");
    for (const TechniqueDesc& other : d_.techniques)
        if (other.name == name.text)
            Fail(name.line, "technique '" + name.text + "' is already declared on line " + std::to_string(other.line));
    d_.techniques.push_back({name.text, {}, name.line});
    Expect('{', "after 'technique " + name.text + "'");
    while (!PeekPunct('}')) {
        const Token& t = Peek();
        if (t.kind != TokenKind::Identifier || t.text != "pass")
            Fail(t.line, "expected 'pass' or '}' in technique '" + name.text + "', found " + Describe(t));
        ParsePass(d_.techniques.back());
    }
    Take();  // }
    if (d_.techniques.back().passes.empty()) Fail(name.line, "technique '" + name.text + "' has no pass");
}

void Parser::ParsePass(TechniqueDesc& technique) {
    Token kw = Take();  // pass
    PassDesc pass;
    pass.line = kw.line;
    if (Peek().kind == TokenKind::Identifier) {
        Token name = Take();
        for (const PassDesc& other : technique.passes)
            if (other.name == name.text)
                Fail(name.line, "technique '" + technique.name + "' already has a pass named '" + name.text + "'");
        pass.name = name.text;
    }
    std::string label = pass.name.empty() ? std::to_string(technique.passes.size()) : pass.name;
    Expect('{', "to open pass '" + label + "'");
    technique.passes.push_back(std::move(pass));
    while (!PeekPunct('}')) ParseAssignment(technique.passes.back(), label);
    Take();  // }
}

void Parser::ParseAssignment(PassDesc& pass, const std::string& label) {
    Token name = ExpectIdentifier("a state assignment or '}' in pass '" + label + "'");
    int index = -1;
    if (PeekPunct('[')) {
        Take();
        Token n = Take();
        if (n.kind != TokenKind::Number || !n.isInteger || n.number >= kSamplerCount)
            Fail(n.line, "expected a stage index 0 to " + std::to_string(kSamplerCount - 1) + ", found " + Describe(n));
        index = int(n.number);
        Expect(']', "after the stage index");
    }
    Expect('=', "after '" + name.text + "'");

    bool vertex = SameNoCase(name.text, "VertexShader");
    if (vertex || SameNoCase(name.text, "PixelShader")) {
        if (index >= 0) Fail(name.line, "'" + name.text + "' takes no index");
        Token value = Take();
        if (value.kind != TokenKind::Identifier)
            Fail(value.line, "expected the name of a glsl block or null after '" + name.text + " =', found " +
                                 Describe(value));
        ShaderStage stage = vertex ? ShaderStage::Vertex : ShaderStage::Fragment;
        for (const ShaderReference& r : shaderRefs_)
            if (r.technique == d_.techniques.size() - 1 && r.pass == d_.techniques.back().passes.size() - 1 &&
                r.stage == stage)
                Fail(name.line, "'" + name.text + "' is set twice in pass '" + label + "'");
        if (value.text != "null" && value.text != "NULL") {
            if (value.text == "compile")
                Fail(value.line, "shaders are glsl blocks named by the pass: " + name.text + " = BlockName;");
            shaderRefs_.push_back({d_.techniques.size() - 1, d_.techniques.back().passes.size() - 1, stage,
                                   value.text, value.line});
        } else {
            shaderRefs_.push_back({d_.techniques.size() - 1, d_.techniques.back().passes.size() - 1, stage, "",
                                   value.line});
        }
        Expect(';', "after the value of '" + name.text + "'");
        return;
    }

    StateAssignment a;
    a.line = name.line;
    const char* canonical = nullptr;
    if (SameNoCase(name.text, "Texture")) {
        a.kind = StateKind::Texture;
        a.index = index < 0 ? 0 : uint32_t(index);
        Token tex = ParameterReference("a texture parameter");
        a.param = FindParameterOfKind(tex, [](ParamType t) { return t == ParamType::Texture; }, "a texture");
        canonical = "Texture";
    } else if (SameNoCase(name.text, "Sampler")) {
        a.kind = StateKind::SamplerBind;
        a.index = index < 0 ? 0 : uint32_t(index);
        Token s = ParameterReference("a sampler parameter");
        a.param = FindParameterOfKind(s, IsSamplerType, "a sampler");
        canonical = "Sampler";
    } else if (const StateInfo* info = FindRenderState(name.text)) {
        if (index >= 0) Fail(name.line, "render state '" + name.text + "' takes no index");
        a.kind = StateKind::Render;
        a.state = info->id;
        ParseStateValue(*info, true, &a);
        canonical = info->name;
    } else if (const StateInfo* info = FindTextureStageState(name.text)) {
        a.kind = StateKind::TextureStage;
        a.state = info->id;
        a.index = index < 0 ? 0 : uint32_t(index);
        ParseStateValue(*info, true, &a);
        canonical = info->name;
    } else if (const StateInfo* info = FindSamplerState(name.text)) {
        a.kind = StateKind::Sampler;
        a.state = info->id;
        a.index = index < 0 ? 0 : uint32_t(index);
        ParseStateValue(*info, true, &a);
        canonical = info->name;
    } else {
        Fail(name.line, "unknown state '" + name.text + "' in pass '" + label + "'");
    }
    for (const StateAssignment& other : pass.states)
        if (other.kind == a.kind && other.state == a.state && other.index == a.index)
            Fail(name.line, std::string("'") + canonical + "' is set twice in pass '" + label + "' (first on line " +
                                std::to_string(other.line) + ")");
    pass.states.push_back(a);
    Expect(';', "after the value of '" + name.text + "'");
}

void Parser::ParseStateValue(const StateInfo& info, bool allowParameter, StateAssignment* a) {
    a->floatState = info.kind == StateValueKind::Float;
    if (PeekPunct('<') || (allowParameter && PeekPunct('('))) {
        if (!allowParameter) Fail(Peek().line, std::string("a sampler_state value cannot come from a parameter"));
        Token ref = ParameterReference("a parameter");
        a->param = FindParameterOfKind(
            ref, [](ParamType t) { return t == ParamType::Float || t == ParamType::Int || t == ParamType::Bool; },
            "a float, int or bool");
        return;
    }
    bool negative = false;
    if (PeekPunct('-')) {
        Take();
        negative = true;
    }
    Token t = Take();
    if (t.kind == TokenKind::Number) {
        double v = negative ? -t.number : t.number;
        if (info.kind == StateValueKind::Float) {
            if (std::fabs(v) > double(FLT_MAX)) Fail(t.line, "'" + t.text + "' is out of range");
            a->value = FloatToBits(float(v));
        } else {
            if (!t.isInteger) Fail(t.line, std::string("'") + info.name + "' takes an integer, not '" + t.text + "'");
            if (v > 4294967295.0 || v < -2147483648.0) Fail(t.line, "'" + t.text + "' is out of range");
            a->value = negative ? uint32_t(int32_t(v)) : uint32_t(v);
        }
        return;
    }
    if (t.kind == TokenKind::Identifier && !negative) {
        uint32_t v = 0;
        if (FindStateValueName(info.kind, t.text, &v)) {
            while (info.kind == StateValueKind::ColorWrite && PeekPunct('|')) {
                Take();
                Token more = ExpectIdentifier("a colour channel after '|'");
                uint32_t bit = 0;
                if (!FindStateValueName(info.kind, more.text, &bit))
                    Fail(more.line, "'" + more.text + "' is not a colour channel (Red, Green, Blue, Alpha)");
                v |= bit;
            }
            a->value = v;
            return;
        }
        bool named = info.kind != StateValueKind::Uint && info.kind != StateValueKind::Float &&
                     info.kind != StateValueKind::Color;
        Fail(t.line, "'" + t.text + "' is not a value of " + info.name + " (expected " +
                         StateValueNames(info.kind) + (named ? " or a number" : "") + ")");
    }
    Fail(t.line, std::string("expected a value for '") + info.name + "', found " + Describe(t));
}

// ---- whole-file checks ---------------------------------------------------------------------------

void Parser::Finish() {
    if (d_.techniques.empty()) Fail(1, "the effect declares no technique");

    for (const ShaderReference& r : shaderRefs_) {
        PassDesc& pass = d_.techniques[r.technique].passes[r.pass];
        int* slot = r.stage == ShaderStage::Vertex ? &pass.vertexShader : &pass.pixelShader;
        if (r.name.empty()) continue;  // null
        int found = -1;
        for (size_t i = 0; i < d_.shaders.size(); ++i)
            if (d_.shaders[i].name == r.name) found = int(i);
        const char* want = r.stage == ShaderStage::Vertex ? "vertex" : "fragment";
        if (found < 0) Fail(r.line, std::string("no glsl ") + want + " block named '" + r.name + "'");
        if (d_.shaders[found].stage != r.stage)
            Fail(r.line, "'" + r.name + "' is a glsl " +
                             (d_.shaders[found].stage == ShaderStage::Vertex ? "vertex" : "fragment") +
                             " block, not a " + want + " block");
        *slot = found;
    }
    for (const TechniqueDesc& t : d_.techniques)
        for (const PassDesc& p : t.passes)
            if (p.vertexShader >= 0 && p.pixelShader < 0)
                Fail(p.line, "a pass of technique '" + t.name +
                                 "' has a vertex shader but no pixel shader; give it a glsl fragment block");

    // Sampler units: an explicit register(sN) first, then the free units in declaration order.
    bool used[kSamplerCount] = {};
    for (const ParameterDesc& p : d_.parameters) {
        if (!IsSamplerType(p.type) || p.sampler.unit < 0) continue;
        if (used[p.sampler.unit])
            Fail(p.line, "sampler '" + p.name + "' takes register s" + std::to_string(p.sampler.unit) +
                             ", which another sampler has");
        used[p.sampler.unit] = true;
    }
    for (ParameterDesc& p : d_.parameters) {
        if (!IsSamplerType(p.type) || p.sampler.unit >= 0) continue;
        for (uint32_t u = 0; u < kSamplerCount && p.sampler.unit < 0; ++u) {
            if (!used[u]) {
                used[u] = true;
                p.sampler.unit = int(u);
            }
        }
        if (p.sampler.unit < 0)
            Fail(p.line, "sampler '" + p.name + "' is one too many: an effect has " + std::to_string(kSamplerCount) +
                             " sampler units");
    }
    for (ParameterDesc& p : d_.parameters)
        for (StateAssignment& a : p.sampler.states) a.index = uint32_t(p.sampler.unit);
}

}  // namespace velor::effect_parser
