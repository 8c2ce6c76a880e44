#include "engine/mesh/xfile/xfile_parser.h"

#include <cstdio>

#include "engine/mesh/xfile/xfile_lexer.h"

namespace velor {

std::string XFileError(std::string_view label, uint32_t line, std::string_view message) {
    std::string text(label);
    text += ": line ";
    text += std::to_string(line);
    text += ": ";
    text += message;
    return text;
}

namespace {

bool IsDigits(std::string_view s) {
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

std::string Quoted(std::string_view s) {
    std::string out = "'";
    for (char c : s) {
        if (c >= 32 && c < 127) {
            out += c;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", unsigned(static_cast<unsigned char>(c)));
            out += hex;
        }
        if (out.size() > 40) {
            out += "...";
            break;
        }
    }
    return out + "'";
}

std::string Describe(const XToken& token) {
    switch (token.kind) {
    case XTokenKind::Name:
    case XTokenKind::Number: return Quoted(token.text);
    case XTokenKind::Separator: return Quoted(token.text);
    default: return std::string(DescribeTokenKind(token.kind));
    }
}

class Parser {
public:
    Parser(std::string_view text, std::string_view label) : lexer_(text, 1), label_(label) {}

    bool ParseTopLevel(std::vector<XObject>* objects) {
        for (;;) {
            XToken token = lexer_.Next();
            switch (token.kind) {
            case XTokenKind::End: return true;
            case XTokenKind::Separator: continue;
            case XTokenKind::Name:
                if (token.text == "template") {
                    if (!SkipTemplate(token)) return false;
                    continue;
                }
                objects->emplace_back();
                if (!ParseObject(token, 0, &objects->back())) return false;
                continue;
            default: return Fail(token, "expected a template or a data object, found " + Describe(token));
            }
        }
    }

    std::string error;

private:
    bool Fail(const XToken& token, const std::string& message) {
        if (token.kind == XTokenKind::Invalid) {
            error = XFileError(label_, token.line, token.text);
        } else {
            error = XFileError(label_, token.line, message);
        }
        return false;
    }

    // template Name { <guid> members... [restrictions] }: nothing in it shapes how data is read here.
    bool SkipTemplate(const XToken& keyword) {
        XToken token = lexer_.Next();
        if (token.kind == XTokenKind::Name) token = lexer_.Next();
        if (token.kind != XTokenKind::OpenBrace) return Fail(token, "expected '{' after 'template', found " + Describe(token));
        uint32_t depth = 1;
        while (depth > 0) {
            token = lexer_.Next();
            if (token.kind == XTokenKind::OpenBrace) ++depth;
            else if (token.kind == XTokenKind::CloseBrace) --depth;
            else if (token.kind == XTokenKind::Invalid) return Fail(token, "");
            else if (token.kind == XTokenKind::End)
                return Fail(token, "expected '}' to close the template opened at line " + std::to_string(keyword.line) +
                                       ", found the end of the file");
        }
        return true;
    }

    bool ParseReference(const XToken& open, XObject* parent) {
        XObject reference;
        reference.isReference = true;
        reference.line = open.line;
        XToken token = lexer_.Next();
        if (token.kind == XTokenKind::Name) {
            reference.name = std::string(token.text);
            token = lexer_.Next();
        }
        if (token.kind == XTokenKind::Guid) token = lexer_.Next();
        if (token.kind != XTokenKind::CloseBrace)
            return Fail(token, "expected '}' to close the reference, found " + Describe(token));
        reference.endLine = token.line;
        parent->children.push_back(std::move(reference));
        return true;
    }

    bool ParseObject(const XToken& templateName, uint32_t depth, XObject* object) {
        if (depth >= kXMaxNesting)
            return Fail(templateName, "objects nested more than " + std::to_string(kXMaxNesting) + " deep");
        object->templateName = std::string(templateName.text);
        object->line = templateName.line;
        XToken token = lexer_.Next();
        if (token.kind == XTokenKind::Name || (token.kind == XTokenKind::Number && token.integral)) {
            object->name = std::string(token.text);
            token = lexer_.Next();
        }
        if (token.kind == XTokenKind::Guid) token = lexer_.Next();
        // Among an object's values, a word ended by a separator ("nan;", "1e;", "0x10,") cannot begin
        // an object: it stands where a number should, and saying so beats "expected '{'".
        if (depth > 0 && token.kind == XTokenKind::Separator)
            return Fail(templateName, "expected a number, found " + Quoted(object->templateName));
        if (token.kind != XTokenKind::OpenBrace)
            return Fail(token, "expected '{' after " + Quoted(object->templateName) + ", found " + Describe(token));
        for (;;) {
            token = lexer_.Next();
            switch (token.kind) {
            case XTokenKind::CloseBrace: object->endLine = token.line; return true;
            case XTokenKind::Separator:
            case XTokenKind::Guid: continue;
            case XTokenKind::Number: {
                XValue value;
                value.number = token.number;
                value.integral = token.integral;
                value.line = token.line;
                object->values.push_back(value);
                continue;
            }
            case XTokenKind::String: {
                XValue value;
                value.line = token.line;
                value.stringIndex = int32_t(object->strings.size());
                object->strings.emplace_back(token.text);
                object->values.push_back(value);
                continue;
            }
            case XTokenKind::OpenBrace:
                if (!ParseReference(token, object)) return false;
                continue;
            case XTokenKind::Name:
                if (token.text == "template") {
                    if (!SkipTemplate(token)) return false;
                    continue;
                }
                object->children.emplace_back();
                if (!ParseObject(token, depth + 1, &object->children.back())) return false;
                continue;
            case XTokenKind::End:
                return Fail(token, "expected '}' to close " + Quoted(object->templateName) + " opened at line " +
                                       std::to_string(object->line) + ", found the end of the file");
            default:
                return Fail(token, "unexpected " + Describe(token) + " in " + Quoted(object->templateName));
            }
        }
    }

    XLexer lexer_;
    std::string_view label_;
};

void IndexNames(const std::vector<XObject>& objects, std::unordered_map<std::string, const XObject*>* named) {
    for (const auto& object : objects) {
        if (object.isReference) continue;
        if (!object.name.empty()) named->emplace(object.name, &object);
        IndexNames(object.children, named);
    }
}

}  // namespace

Result ParseXDocument(std::string_view text, std::string_view label, XDocument* document, std::string* error) {
    auto fail = [&](uint32_t line, const std::string& message) {
        if (error != nullptr) *error = XFileError(label, line, message);
        return Result::InvalidData;
    };
    if (document == nullptr) return Result::InvalidCall;
    *document = XDocument{};
    document->label = std::string(label);
    if (text.size() < 16 || text.substr(0, 4) != "xof ")
        return fail(1, "expected the X file header 'xof 0303txt 0032'");
    const std::string_view version = text.substr(4, 4), format = text.substr(8, 4), floatSize = text.substr(12, 4);
    if (!IsDigits(version)) return fail(1, "expected a four-digit version after 'xof ', found " + Quoted(version));
    if (version != "0302" && version != "0303")
        return fail(1, "X file version " + Quoted(version) + " is not supported (0302 or 0303)");
    if (format == "bin ") return fail(1, "binary X files are not supported yet (only the text format 'txt ')");
    if (format == "tzip" || format == "bzip") return fail(1, "compressed X files are not supported (only the text format 'txt ')");
    if (format != "txt ") return fail(1, "expected the format 'txt ' in the header, found " + Quoted(format));
    if (floatSize != "0032" && floatSize != "0064") return fail(1, "expected float size 0032 or 0064, found " + Quoted(floatSize));

    Parser parser(text.substr(16), label);
    if (!parser.ParseTopLevel(&document->objects)) {
        if (error != nullptr) *error = parser.error;
        return Result::InvalidData;
    }
    IndexNames(document->objects, &document->named);
    return Result::Ok;
}

}  // namespace velor
