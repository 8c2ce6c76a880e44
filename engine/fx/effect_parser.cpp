// The effect parser, first half: structs, parameters, sampler states and default values, and the
// entry point. The description is built in a local copy, so a failed parse leaves the caller's
// untouched.
//
// Names are resolved where they can be: a sampler's Texture and a pass's <parameter> must name a
// parameter declared above them (as in D3DX effects), while a pass may name GLSL blocks written
// anywhere in the file, so those are checked once the whole file is read.
#include "engine/fx/effect_parser.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>

#include "engine/fx/effect_parser_internal.h"
#include "engine/fx/glsl_names.h"
#include "engine/gfx/d3d_types.h"

namespace velor {

namespace effect_parser {

const TypeName kTypeNames[13] = {
    {"float", ParamType::Float},         {"float2", ParamType::Float2},       {"float3", ParamType::Float3},
    {"float4", ParamType::Float4},       {"float4x4", ParamType::Float4x4},   {"int", ParamType::Int},
    {"bool", ParamType::Bool},           {"texture", ParamType::Texture},     {"texture2D", ParamType::Texture},
    {"textureCUBE", ParamType::Texture}, {"sampler", ParamType::Sampler2D},   {"sampler2D", ParamType::Sampler2D},
    {"samplerCUBE", ParamType::SamplerCube},
};

bool SameNoCase(std::string_view a, const char* b) {
    size_t n = std::strlen(b);
    if (a.size() != n) return false;
    for (size_t i = 0; i < n; ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

std::string Describe(const Token& t) { return t.kind == TokenKind::End ? "the end of the file" : "'" + t.text + "'"; }

int Parser::FindParameterOfKind(const Token& name, bool (*ok)(ParamType), const char* kind) const {
    int p = FindParameter(name.text);
    if (p < 0) throw ParseError{name.line, "no parameter named '" + name.text + "' is declared above"};
    if (!ok(d_.parameters[p].type))
        throw ParseError{name.line, "'" + name.text + "' is a " + ParamTypeName(d_.parameters[p].type) +
                                        " parameter, not " + kind};
    return p;
}

// ---- structs and parameters ------------------------------------------------------------------

void Parser::ParseStruct() {
    Take();  // struct
    Token name = ExpectIdentifier("a struct name after 'struct'");
    CheckGlslName(name, "struct");
    CheckNewGlobalName(name);
    StructType s;
    s.name = name.text;
    s.line = name.line;
    Expect('{', "after 'struct " + name.text + "'");
    while (!PeekPunct('}')) {
        Token typeTok = ExpectIdentifier("a member type or '}' in struct '" + name.text + "'");
        StructMember m;
        if (!LookupType(typeTok.text, &m.type, &m.structIndex))
            Fail(typeTok.line, "unknown type '" + typeTok.text + "'");
        if (!IsNumericType(m.type) && m.type != ParamType::Struct)
            Fail(typeTok.line, std::string("a struct member cannot be a ") + ParamTypeName(m.type));
        Token memberName = ExpectIdentifier("a member name after '" + typeTok.text + "'");
        CheckGlslName(memberName, "member");
        for (const StructMember& other : s.members)
            if (other.name == memberName.text)
                Fail(memberName.line, "struct '" + s.name + "' has two members named '" + memberName.text + "'");
        m.name = memberName.text;
        m.offset = s.size;
        m.size = m.type == ParamType::Struct ? d_.structs[m.structIndex].size : ParamTypeSize(m.type);
        if (m.type == ParamType::Struct) {
            s.depth = std::max(s.depth, d_.structs[m.structIndex].depth + 1);
            if (s.depth > kMaxStructDepth)
                Fail(typeTok.line, "structs nest more than " + std::to_string(kMaxStructDepth) + " deep");
        }
        if (s.size + m.size > kMaxStructBytes)
            Fail(memberName.line, "struct '" + s.name + "' grows past " + std::to_string(kMaxStructBytes) + " bytes");
        s.size += m.size;
        s.members.push_back(std::move(m));
        Expect(';', "after member '" + memberName.text + "'");
    }
    Take();  // }
    if (s.members.empty()) Fail(name.line, "struct '" + s.name + "' has no members");
    Expect(';', "after the closing '}' of struct '" + s.name + "'");
    d_.structs.push_back(std::move(s));
}

void Parser::ParseParameter() {
    Token typeTok = Take();
    ParameterDesc p;
    if (!LookupType(typeTok.text, &p.type, &p.structIndex))
        Fail(typeTok.line, "unknown type '" + typeTok.text + "' (expected a parameter, struct, glsl block or technique)");
    Token name = ExpectIdentifier("a parameter name after '" + typeTok.text + "'");
    CheckGlslName(name, "parameter");
    CheckNewGlobalName(name);
    p.name = name.text;
    p.line = name.line;
    p.size = p.type == ParamType::Struct ? d_.structs[p.structIndex].size : ParamTypeSize(p.type);
    p.defaultValue.assign(p.size, 0);

    while (PeekPunct(':')) {
        Take();
        Token s = ExpectIdentifier("a semantic or register(sN) after ':'");
        if (s.text == "register") {
            if (!IsSamplerType(p.type)) Fail(s.line, "only a sampler takes register(sN)");
            Expect('(', "after 'register'");
            Token r = ExpectIdentifier("a sampler register such as s0");
            int unit = -1;
            if (r.text.size() == 2 && (r.text[0] == 's' || r.text[0] == 'S') && r.text[1] >= '0' && r.text[1] <= '9')
                unit = r.text[1] - '0';
            if (unit < 0 || unit >= int(kSamplerCount))
                Fail(r.line, "sampler register '" + r.text + "' is not one of s0 to s" + std::to_string(kSamplerCount - 1));
            p.sampler.unit = unit;
            Expect(')', "after the register");
        } else {
            if (!p.semantic.empty()) Fail(s.line, "parameter '" + p.name + "' has a second semantic '" + s.text + "'");
            p.semantic = s.text;
        }
    }

    if (PeekPunct('=')) {
        int line = Take().line;
        if (IsSamplerType(p.type)) {
            Token kw = Take();
            if (kw.kind != TokenKind::Identifier || kw.text != "sampler_state")
                Fail(kw.line, "a sampler is initialised with sampler_state { ... }, found " + Describe(kw));
            ParseSamplerState(p);
        } else if (p.type == ParamType::Texture) {
            Fail(line, "texture '" + p.name + "' cannot have a default value; set it with SetTexture");
        } else {
            ParseDefault(p, line);
        }
    }
    Expect(';', "after the declaration of '" + p.name + "'");
    d_.parameters.push_back(std::move(p));
}

void Parser::ParseSamplerState(ParameterDesc& p) {
    Expect('{', "after sampler_state");
    p.sampler.hasStateBlock = true;
    while (!PeekPunct('}')) {
        Token state = ExpectIdentifier("a sampler state or '}' in the sampler_state of '" + p.name + "'");
        Expect('=', "after '" + state.text + "'");
        if (SameNoCase(state.text, "Texture")) {
            if (p.sampler.textureParam >= 0) Fail(state.line, "sampler '" + p.name + "' sets Texture twice");
            Token tex = ParameterReference("a texture parameter");
            p.sampler.textureParam = FindParameterOfKind(tex, [](ParamType t) { return t == ParamType::Texture; },
                                                         "a texture");
        } else {
            const StateInfo* info = FindSamplerState(state.text);
            if (!info) Fail(state.line, "unknown sampler state '" + state.text + "'");
            StateAssignment a;
            a.kind = StateKind::Sampler;
            a.state = info->id;
            a.line = state.line;
            ParseStateValue(*info, false, &a);
            for (const StateAssignment& other : p.sampler.states)
                if (other.state == a.state)
                    Fail(state.line, "sampler '" + p.name + "' sets " + info->name + " twice");
            p.sampler.states.push_back(a);
        }
        Expect(';', "after the value of '" + state.text + "'");
    }
    Take();  // }
}

void Parser::ParseLiterals(std::vector<Literal>& out, int depth) {
    const Token& t = Peek();
    if (depth > kMaxListDepth) Fail(t.line, "default value nested more than " + std::to_string(kMaxListDepth) + " deep");
    if (PeekPunct('{')) {
        Take();
        if (PeekPunct('}')) Fail(Peek().line, "empty '{ }' in a default value");
        for (;;) {
            ParseLiterals(out, depth + 1);
            if (!PeekPunct(',')) break;
            Take();
            if (PeekPunct('}')) break;  // trailing comma, as HLSL allows
        }
        Expect('}', "to close the list of values");
        return;
    }
    if (t.kind == TokenKind::Identifier && (t.text == "true" || t.text == "false")) {
        Token b = Take();
        out.push_back({b.text == "true" ? 1.0 : 0.0, true, true, b.text, b.line});
        return;
    }
    if (t.kind == TokenKind::Identifier) {
        Token ctor = Take();
        ParamType type;
        int structIndex;
        if (!LookupType(ctor.text, &type, &structIndex) || !IsNumericType(type))
            Fail(ctor.line, "expected a default value, found " + Describe(ctor));
        Expect('(', "after '" + ctor.text + "'");
        for (;;) {
            ParseLiterals(out, depth + 1);
            if (!PeekPunct(',')) break;
            Take();
        }
        Expect(')', "to close '" + ctor.text + "('");
        return;
    }
    bool negative = false;
    if (PeekPunct('-')) {
        Take();
        negative = true;
    }
    Token n = Take();
    if (n.kind != TokenKind::Number) Fail(n.line, "expected a default value, found " + Describe(n));
    out.push_back({negative ? -n.number : n.number, n.isInteger, false, (negative ? "-" : "") + n.text, n.line});
}

void Parser::CollectLeaves(ParamType type, int structIndex, uint32_t offset, std::vector<Leaf>& out) const {
    if (type == ParamType::Struct) {
        for (const StructMember& m : d_.structs[structIndex].members)
            CollectLeaves(m.type, m.structIndex, offset + m.offset, out);
        return;
    }
    ParamType scalar = type == ParamType::Int || type == ParamType::Bool ? type : ParamType::Float;
    for (uint32_t i = 0; i < ParamTypeComponents(type); ++i) out.push_back({scalar, offset + 4 * i});
}

void Parser::ParseDefault(ParameterDesc& p, int line) {
    std::vector<Literal> values;
    ParseLiterals(values);
    std::vector<Leaf> leaves;
    CollectLeaves(p.type, p.structIndex, 0, leaves);
    if (values.size() != leaves.size())
        Fail(line, "'" + p.name + "' takes " + std::to_string(leaves.size()) + " value" +
                       (leaves.size() == 1 ? "" : "s") + ", the default gives " + std::to_string(values.size()));
    for (size_t i = 0; i < leaves.size(); ++i) {
        const Literal& v = values[i];
        uint8_t* dst = p.defaultValue.data() + leaves[i].offset;
        bool inRange = leaves[i].scalar == ParamType::Float ? std::fabs(v.value) <= double(FLT_MAX)
                                                            : v.value <= 2147483647.0 && v.value >= -2147483648.0;
        if (!inRange) Fail(v.line, "'" + v.text + "' is out of range");
        if (leaves[i].scalar == ParamType::Float) {
            float f = float(v.value);
            std::memcpy(dst, &f, 4);
        } else if (leaves[i].scalar == ParamType::Int) {
            if (!v.isInteger) Fail(v.line, "'" + v.text + "' is not an integer, as int '" + p.name + "' needs");
            int32_t n = int32_t(v.value);
            std::memcpy(dst, &n, 4);
        } else {
            if (!v.isInteger) Fail(v.line, "'" + v.text + "' is not true, false or an integer");
            int32_t n = v.value != 0 ? 1 : 0;
            std::memcpy(dst, &n, 4);
        }
    }
    p.hasDefault = true;
}

}  // namespace effect_parser

bool ParseEffect(std::string_view source, std::string_view fileName, EffectDesc* desc, std::string* error) {
    try {
        effect_parser::Parser parser(source);
        EffectDesc parsed = parser.Run();
        *desc = std::move(parsed);
        return true;
    } catch (const effect_parser::ParseError& e) {
        if (error) *error = std::string(fileName) + ":" + std::to_string(e.line) + ": " + e.message;
        return false;
    } catch (const std::bad_alloc&) {
        if (error) *error = std::string(fileName) + ": out of memory while parsing";
        return false;
    }
}

}  // namespace velor
