#pragma once
// The effect parser's internals, shared by effect_parser.cpp (declarations: structs, parameters,
// samplers, defaults) and effect_technique_parser.cpp (GLSL blocks, techniques, passes, whole-file
// checks). Engine-internal; the parser's interface is effect_parser.h.
//
// Recursive descent; the first fault ends the parse: a ParseError carries the line and message out
// of however deep the parser is, and ParseEffect turns it into the error text.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/fx/effect_desc.h"
#include "engine/fx/effect_lexer.h"
#include "engine/fx/effect_states.h"
#include "engine/fx/glsl_names.h"

namespace velor::effect_parser {

// Limits that keep hostile files from recursing deep or sizing values past what a shader can hold.
constexpr int kMaxListDepth = 16;          // nested { } in a default value
constexpr int kMaxStructDepth = 8;         // structs inside structs
constexpr uint32_t kMaxStructBytes = 4096;  // a struct's packed size

struct ParseError {
    int line;
    std::string message;
};

struct TypeName {
    const char* name;
    ParamType type;
};

extern const TypeName kTypeNames[13];

bool SameNoCase(std::string_view a, const char* b);  // ASCII, ignoring case
std::string Describe(const Token& t);  // for messages: 'x' or "the end of the file"

// One scalar of a default value as written.
struct Literal {
    double value = 0;
    bool isInteger = false;
    bool isBool = false;
    std::string text;
    int line = 0;
};

// One scalar slot of a parameter's value: where it goes and what it holds.
struct Leaf {
    ParamType scalar;  // Float, Int or Bool
    uint32_t offset;
};

class Parser {
public:
    explicit Parser(std::string_view source) : lex_(source) {}

    EffectDesc Run() {
        while (Peek().kind != TokenKind::End) {
            const Token& t = Peek();
            if (t.kind != TokenKind::Identifier) Fail(t.line, "expected a declaration, found " + Describe(t));
            if (t.text == "struct") {
                ParseStruct();
            } else if (t.text == "glsl") {
                ParseGlsl();
            } else if (t.text == "technique") {
                ParseTechnique();
            } else {
                ParseParameter();
            }
        }
        Finish();
        return std::move(d_);
    }

private:
    // ---- tokens ------------------------------------------------------------------------------
    [[noreturn]] void Fail(int line, std::string message) { throw ParseError{line, std::move(message)}; }

    void CheckLexer() {
        if (!lex_.Error().empty()) Fail(lex_.ErrorLine(), lex_.Error());
    }
    const Token& Peek() {
        if (!ahead_) {
            ahead_ = lex_.Next();
            CheckLexer();
        }
        return *ahead_;
    }
    Token Take() {
        Peek();
        Token t = std::move(*ahead_);
        ahead_.reset();
        return t;
    }
    bool PeekPunct(char c) {
        const Token& t = Peek();
        return t.kind == TokenKind::Punct && t.text[0] == c;
    }
    Token Expect(char c, const std::string& where) {
        Token t = Take();
        if (t.kind != TokenKind::Punct || t.text[0] != c)
            Fail(t.line, std::string("expected '") + c + "' " + where + ", found " + Describe(t));
        return t;
    }
    Token ExpectIdentifier(const std::string& what) {
        Token t = Take();
        if (t.kind != TokenKind::Identifier) Fail(t.line, "expected " + what + ", found " + Describe(t));
        return t;
    }
    // `<name>` or `(name)`: how D3DX effects refer to a parameter from a state.
    Token ParameterReference(const std::string& what) {
        Token open = Take();
        char close = 0;
        if (open.kind == TokenKind::Punct && open.text[0] == '<') close = '>';
        if (open.kind == TokenKind::Punct && open.text[0] == '(') close = ')';
        if (!close) Fail(open.line, "expected <name> of " + what + ", found " + Describe(open));
        Token name = ExpectIdentifier("the name of " + what);
        Expect(close, "after '" + name.text + "'");
        return name;
    }

    // ---- names -------------------------------------------------------------------------------
    bool LookupType(std::string_view name, ParamType* type, int* structIndex) const {
        for (const TypeName& t : kTypeNames) {
            if (name == t.name) {
                *type = t.type;
                *structIndex = -1;
                return true;
            }
        }
        for (size_t i = 0; i < d_.structs.size(); ++i) {
            if (name == d_.structs[i].name) {
                *type = ParamType::Struct;
                *structIndex = int(i);
                return true;
            }
        }
        return false;
    }
    void CheckGlslName(const Token& t, const char* what) {
        std::string problem = GlslNameProblem(t.text);
        if (!problem.empty()) Fail(t.line, std::string(what) + " name '" + t.text + "' " + problem);
    }
    int FindParameter(std::string_view name) const {
        for (size_t i = 0; i < d_.parameters.size(); ++i)
            if (d_.parameters[i].name == name) return int(i);
        return -1;
    }
    int FindParameterOfKind(const Token& name, bool (*ok)(ParamType), const char* kind) const;
    void CheckNewGlobalName(const Token& t) {
        int p = FindParameter(t.text);
        if (p >= 0)
            throw ParseError{t.line, "'" + t.text + "' is already declared as a parameter on line " +
                                         std::to_string(d_.parameters[p].line)};
        for (const StructType& s : d_.structs)
            if (s.name == t.text)
                throw ParseError{t.line, "'" + t.text + "' is already declared as a struct on line " +
                                             std::to_string(s.line)};
        for (const TypeName& type : kTypeNames)
            if (t.text == type.name) throw ParseError{t.line, "'" + t.text + "' is a type name"};
    }

    // ---- declarations --------------------------------------------------------------------------
    void ParseStruct();
    void ParseParameter();
    void ParseSamplerState(ParameterDesc& p);
    void ParseDefault(ParameterDesc& p, int line);
    void ParseLiterals(std::vector<Literal>& out, int depth = 0);
    void CollectLeaves(ParamType type, int structIndex, uint32_t offset, std::vector<Leaf>& out) const;
    void ParseGlsl();
    void ParseTechnique();
    void ParsePass(TechniqueDesc& technique);
    void ParseAssignment(PassDesc& pass, const std::string& passName);
    void ParseStateValue(const StateInfo& info, bool allowParameter, StateAssignment* a);
    void Finish();

    struct ShaderReference {
        size_t technique, pass;
        ShaderStage stage;
        std::string name;
        int line;
    };

    EffectLexer lex_;
    std::optional<Token> ahead_;
    EffectDesc d_;
    std::vector<ShaderReference> shaderRefs_;
};

}  // namespace velor::effect_parser
