#include "tests/content/x_text_probe.h"

#include <cctype>
#include <cstdlib>

namespace velor::content::probe {

const XObject* XObject::Child(const std::string& childType) const {
    for (const XObject& c : children)
        if (c.type == childType) return &c;
    return nullptr;
}

std::vector<const XObject*> XObject::Children(const std::string& childType) const {
    std::vector<const XObject*> out;
    for (const XObject& c : children)
        if (c.type == childType) out.push_back(&c);
    return out;
}

namespace {

class Lexer {
public:
    explicit Lexer(const std::string& text) : s_(text) {}

    enum class Kind { End, Word, Number, String, Open, Close, Separator, Error };
    struct Token {
        Kind kind;
        std::string text;
    };

    Token Next() {
        for (;;) {
            while (pos_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[pos_]))) ++pos_;
            if (pos_ < s_.size() && (s_[pos_] == '#' || (s_[pos_] == '/' && pos_ + 1 < s_.size() && s_[pos_ + 1] == '/'))) {
                while (pos_ < s_.size() && s_[pos_] != '\n') ++pos_;
                continue;
            }
            break;
        }
        if (pos_ >= s_.size()) return {Kind::End, ""};
        const char c = s_[pos_];
        if (c == '{') return ++pos_, Token{Kind::Open, "{"};
        if (c == '}') return ++pos_, Token{Kind::Close, "}"};
        if (c == ';' || c == ',') return ++pos_, Token{Kind::Separator, std::string(1, c)};
        if (c == '"') {
            const size_t end = s_.find('"', pos_ + 1);
            if (end == std::string::npos) return {Kind::Error, "unterminated string"};
            Token t{Kind::String, s_.substr(pos_ + 1, end - pos_ - 1)};
            pos_ = end + 1;
            return t;
        }
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '.') {
            size_t end = pos_ + 1;
            while (end < s_.size() && (std::isdigit(static_cast<unsigned char>(s_[end])) || s_[end] == '.' ||
                                       s_[end] == 'e' || s_[end] == 'E' || s_[end] == '-' || s_[end] == '+'))
                ++end;
            Token t{Kind::Number, s_.substr(pos_, end - pos_)};
            pos_ = end;
            return t;
        }
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            size_t end = pos_ + 1;
            while (end < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[end])) || s_[end] == '_' || s_[end] == '-'))
                ++end;
            Token t{Kind::Word, s_.substr(pos_, end - pos_)};
            pos_ = end;
            return t;
        }
        return {Kind::Error, std::string("unexpected character '") + c + "'"};
    }

private:
    const std::string& s_;
    size_t pos_ = 16;   // after the "xof 0303txt 0032" header
};

// Reads the body of an object after its '{' up to the matching '}'.
bool ReadBody(Lexer& lex, XObject& obj, std::string& error) {
    for (;;) {
        Lexer::Token t = lex.Next();
        switch (t.kind) {
            case Lexer::Kind::Close: return true;
            case Lexer::Kind::End: error = obj.type + ": missing '}'"; return false;
            case Lexer::Kind::Error: error = t.text; return false;
            case Lexer::Kind::Separator: break;
            case Lexer::Kind::Number: obj.numbers.push_back(std::strtod(t.text.c_str(), nullptr)); break;
            case Lexer::Kind::String: obj.strings.push_back(t.text); break;
            case Lexer::Kind::Open: {
                // A reference: { Name }
                Lexer::Token name = lex.Next();
                Lexer::Token close = lex.Next();
                if (name.kind != Lexer::Kind::Word || close.kind != Lexer::Kind::Close) {
                    error = obj.type + ": malformed reference";
                    return false;
                }
                obj.references.push_back(name.text);
                break;
            }
            case Lexer::Kind::Word: {
                XObject child;
                child.type = t.text;
                Lexer::Token n = lex.Next();
                if (n.kind == Lexer::Kind::Word) {
                    child.name = n.text;
                    n = lex.Next();
                }
                if (n.kind != Lexer::Kind::Open) {
                    error = child.type + ": expected '{'";
                    return false;
                }
                if (!ReadBody(lex, child, error)) return false;
                obj.children.push_back(std::move(child));
                break;
            }
        }
    }
}

void Collect(const XObject& o, const std::string& type, std::vector<const XObject*>& out) {
    if (o.type == type) out.push_back(&o);
    for (const XObject& c : o.children) Collect(c, type, out);
}

}  // namespace

XDocument ParseXText(const std::string& text) {
    XDocument doc;
    doc.header = text.substr(0, 16);
    if (doc.header != "xof 0303txt 0032") {
        doc.error = "not a text X file: header \"" + doc.header + "\"";
        return doc;
    }
    Lexer lex(text);
    XObject root;
    root.type = "(file)";
    for (;;) {
        Lexer::Token t = lex.Next();
        if (t.kind == Lexer::Kind::End) break;
        if (t.kind != Lexer::Kind::Word) {
            doc.error = "expected an object at top level, got '" + t.text + "'";
            return doc;
        }
        XObject obj;
        obj.type = t.text;
        Lexer::Token n = lex.Next();
        if (n.kind == Lexer::Kind::Word) {
            obj.name = n.text;
            n = lex.Next();
        }
        if (n.kind != Lexer::Kind::Open || !ReadBody(lex, obj, doc.error)) {
            if (doc.error.empty()) doc.error = obj.type + ": expected '{'";
            return doc;
        }
        doc.objects.push_back(std::move(obj));
    }
    return doc;
}

std::vector<const XObject*> FindAll(const XDocument& doc, const std::string& type) {
    std::vector<const XObject*> out;
    for (const XObject& o : doc.objects) Collect(o, type, out);
    return out;
}

namespace {

// Reads "n; 3; a, b, c; ..." face lists from numbers starting at pos.
bool ReadFaces(const std::vector<double>& nums, size_t& pos, std::vector<std::array<uint32_t, 3>>& faces,
               std::string& error) {
    if (pos >= nums.size()) return error = "face count missing", false;
    const size_t count = size_t(nums[pos++]);
    for (size_t f = 0; f < count; ++f) {
        if (pos + 4 > nums.size()) return error = "face list ends early", false;
        if (nums[pos] != 3) return error = "face " + std::to_string(f) + " is not a triangle", false;
        faces.push_back({uint32_t(nums[pos + 1]), uint32_t(nums[pos + 2]), uint32_t(nums[pos + 3])});
        pos += 4;
    }
    return true;
}

}  // namespace

ProbeMesh InterpretMesh(const XObject& mesh) {
    ProbeMesh m;
    const std::vector<double>& n = mesh.numbers;
    size_t pos = 0;
    if (n.empty()) return m.error = "Mesh has no data", m;
    const size_t verts = size_t(n[pos++]);
    if (pos + verts * 3 > n.size()) return m.error = "vertex list ends early", m;
    for (size_t i = 0; i < verts; ++i, pos += 3) m.positions.push_back({n[pos], n[pos + 1], n[pos + 2]});
    if (!ReadFaces(n, pos, m.faces, m.error)) return m;
    if (pos != n.size()) return m.error = "Mesh has " + std::to_string(n.size() - pos) + " values after its faces", m;

    if (const XObject* normals = mesh.Child("MeshNormals")) {
        const std::vector<double>& v = normals->numbers;
        size_t p = 0;
        const size_t count = v.empty() ? 0 : size_t(v[p++]);
        if (p + count * 3 > v.size()) return m.error = "normal list ends early", m;
        for (size_t i = 0; i < count; ++i, p += 3) m.normals.push_back({v[p], v[p + 1], v[p + 2]});
        if (!ReadFaces(v, p, m.normalFaces, m.error)) return m;
    }
    if (const XObject* uv = mesh.Child("MeshTextureCoords")) {
        const std::vector<double>& v = uv->numbers;
        const size_t count = v.empty() ? 0 : size_t(v[0]);
        if (1 + count * 2 != v.size()) return m.error = "texture coordinate count does not match its data", m;
        for (size_t i = 0; i < count; ++i) m.uvs.push_back({v[1 + 2 * i], v[2 + 2 * i]});
    }
    if (const XObject* list = mesh.Child("MeshMaterialList")) {
        const std::vector<double>& v = list->numbers;
        if (v.size() < 2) return m.error = "material list header missing", m;
        const size_t materials = size_t(v[0]), indexes = size_t(v[1]);
        if (2 + indexes != v.size()) return m.error = "material index count does not match its data", m;
        for (size_t i = 0; i < indexes; ++i) m.faceMaterials.push_back(uint32_t(v[2 + i]));
        for (const XObject* mat : list->Children("Material")) {
            ProbeMaterial pm;
            if (mat->numbers.size() != 11) return m.error = "Material needs 11 numbers", m;
            for (int k = 0; k < 4; ++k) pm.diffuse[size_t(k)] = mat->numbers[size_t(k)];
            for (int k = 0; k < 3; ++k) pm.emissive[size_t(k)] = mat->numbers[size_t(8 + k)];
            if (const XObject* tex = mat->Child("TextureFilename")) pm.texture = tex->strings.empty() ? "" : tex->strings[0];
            m.materials.push_back(pm);
        }
        if (m.materials.size() != materials) return m.error = "material count does not match the Material objects", m;
    }
    if (const XObject* header = mesh.Child("XSkinMeshHeader")) {
        if (header->numbers.size() != 3) return m.error = "XSkinMeshHeader needs three numbers", m;
        m.hasSkinHeader = true;
        for (int k = 0; k < 3; ++k) m.skinHeader[size_t(k)] = int(header->numbers[size_t(k)]);
    }
    for (const XObject* sw : mesh.Children("SkinWeights")) {
        ProbeSkin s;
        if (sw->strings.size() != 1) return m.error = "SkinWeights needs one bone name", m;
        s.bone = sw->strings[0];
        const std::vector<double>& v = sw->numbers;
        const size_t count = v.empty() ? 0 : size_t(v[0]);
        if (1 + 2 * count + 16 != v.size()) return m.error = "SkinWeights " + s.bone + ": counts do not match its data", m;
        for (size_t i = 0; i < count; ++i) s.vertices.push_back(uint32_t(v[1 + i]));
        for (size_t i = 0; i < count; ++i) s.weights.push_back(v[1 + count + i]);
        for (size_t k = 0; k < 16; ++k) s.offset[k] = v[1 + 2 * count + k];
        m.skin.push_back(std::move(s));
    }
    return m;
}

}  // namespace velor::content::probe
