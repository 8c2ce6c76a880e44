// DeclData and FVFData: vertex elements that the standard mesh blocks cannot carry (tangents,
// binormals, further texture coordinates, second colours).
//
// Both hold one record per position of the mesh, written as DWORDs (a float as its bit pattern):
// DeclData lists its elements as {type, method, usage, usage index} and packs them in that order;
// FVFData gives an FVF code whose layout, less the position, is the record. Each count is checked
// against the mesh before anything is sized by it.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "engine/gfx/vertex_format.h"
#include "engine/mesh/xfile/xfile_cursor.h"
#include "engine/mesh/xfile/xfile_readers.h"

namespace velor {

namespace {

constexpr uint32_t kMaxBlockElements = kMaxDeclLength - 2;  // room for the position and the end marker

bool KnownType(uint32_t type) { return type <= uint32_t(DeclType::UByte4N); }

bool KnownUsage(uint32_t usage) {
    return (usage >= uint32_t(DeclUsage::BlendWeight) && usage <= uint32_t(DeclUsage::Binormal)) ||
           usage == uint32_t(DeclUsage::Color);
}

// The records: nDWords, then the DWORDs; nDWords must be the position count times the record size.
bool ReadRecords(XCursor& in, const XMeshData& mesh, XVertexData* block) {
    uint32_t count = 0;
    const uint32_t line = in.Line();
    if (!in.Uint(&count, "the DWORD count")) return false;
    const uint64_t expected = uint64_t(mesh.positions.size()) * (block->stride / 4);
    if (count != expected)
        return in.Fail(line, "expected " + std::to_string(expected) + " DWORDs (" +
                                 std::to_string(mesh.positions.size()) + " vertices of " +
                                 std::to_string(block->stride / 4) + "), found a count of " + std::to_string(count));
    if (!in.Expect(count, 1, "vertex data DWORDs")) return false;
    block->data.resize(size_t(count) * 4);
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t value = 0;
        if (!in.Uint(&value, "a vertex data DWORD")) return false;
        std::memcpy(block->data.data() + size_t(i) * 4, &value, 4);
    }
    return in.Finish("the vertex data");
}

std::string ElementName(const VertexElement& e) {
    static constexpr const char* kUsages[] = {"POSITION", "BLENDWEIGHT", "BLENDINDICES", "NORMAL", "PSIZE",
                                              "TEXCOORD", "TANGENT",     "BINORMAL"};
    const uint32_t usage = uint32_t(e.usage);
    const std::string name = usage < 8 ? kUsages[usage] : (e.usage == DeclUsage::Color ? "COLOR" : "usage " + std::to_string(usage));
    return name + std::to_string(e.usageIndex);
}

bool Fail(std::string_view label, std::string* error, uint32_t line, const std::string& message) {
    if (error != nullptr) *error = XFileError(label, line, message);
    return false;
}

bool Taken(const std::vector<VertexElement>& taken, const VertexElement& e) {
    return std::any_of(taken.begin(), taken.end(),
                       [&](const VertexElement& t) { return t.usage == e.usage && t.usageIndex == e.usageIndex; });
}

}  // namespace

bool ReadDeclDataObject(const XObject& object, const XMeshData& mesh, std::string_view label, XVertexData* block,
                        std::string* error) {
    XCursor in(object, label, error);
    *block = XVertexData{};
    block->line = object.line;
    uint32_t count = 0;
    const uint32_t countLine = in.Line();
    if (!in.Uint(&count, "the element count")) return false;
    if (count > kMaxBlockElements)
        return in.Fail(countLine, "expected at most " + std::to_string(kMaxBlockElements) + " vertex elements, found " +
                                      std::to_string(count));
    if (!in.Expect(count, 4, "vertex elements")) return false;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t type = 0, method = 0, usage = 0, index = 0;
        const uint32_t line = in.Line();
        if (!in.Uint(&type, "an element type") || !in.Uint(&method, "an element method") ||
            !in.Uint(&usage, "an element usage") || !in.Uint(&index, "an element usage index"))
            return false;
        const std::string which = "vertex element " + std::to_string(i);
        if (!KnownType(type)) return in.Fail(line, which + ": type " + std::to_string(type) + " is not one the engine draws (0-8)");
        if (method != uint32_t(DeclMethod::Default))
            return in.Fail(line, which + ": method " + std::to_string(method) + ", expected 0 (default)");
        if (!KnownUsage(usage))
            return in.Fail(line, which + ": usage " + std::to_string(usage) +
                                     " cannot come from DeclData (the Mesh gives the positions)");
        if (index > 15) return in.Fail(line, which + ": usage index " + std::to_string(index) + ", expected 0-15");
        const VertexElement element{0, uint16_t(block->stride), DeclType(type), DeclMethod::Default, DeclUsage(usage),
                                    uint8_t(index)};
        if (Taken(block->elements, element)) return in.Fail(line, which + ": " + ElementName(element) + " is given twice");
        block->elements.push_back(element);
        block->stride += DeclTypeSize(element.type);
    }
    return ReadRecords(in, mesh, block);
}

bool ReadFvfDataObject(const XObject& object, const XMeshData& mesh, std::string_view label, XVertexData* block,
                       std::string* error) {
    XCursor in(object, label, error);
    *block = XVertexData{};
    block->line = object.line;
    block->fromFvf = true;
    uint32_t fvf = 0;
    const uint32_t line = in.Line();
    if (!in.Uint(&fvf, "the FVF code")) return false;
    VertexElement decl[kMaxDeclLength];
    if (Failed(DeclaratorFromFvf(fvf, decl))) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%X", fvf);
        return in.Fail(line, std::string("FVF code ") + code + " has no vertex layout the engine knows");
    }
    // The record is the FVF's layout without the position, which the Mesh gives.
    for (const auto& e : DeclarationElements(decl)) {
        if (e.usage == DeclUsage::Position) continue;
        block->elements.push_back(VertexElement{0, uint16_t(block->stride), e.type, DeclMethod::Default, e.usage, e.usageIndex});
        block->stride += DeclTypeSize(e.type);
    }
    return ReadRecords(in, mesh, block);
}

bool ResolveVertexData(XMeshData* mesh, std::string_view label, std::string* error) {
    if (mesh->vertexData.empty()) return true;
    // The standard blocks' elements, then each block's in turn; a DeclData element replaces a standard
    // one of the same usage and index, FVFData texture sets follow every set already taken.
    auto has = [&](DeclUsage usage) {
        for (const auto& block : mesh->vertexData)
            if (!block.fromFvf)
                for (const auto& e : block.elements)
                    if (e.usage == usage && e.usageIndex == 0) return true;
        return false;
    };
    if (has(DeclUsage::Normal)) mesh->hasNormals = false;
    if (has(DeclUsage::Color)) mesh->hasColors = false;
    if (has(DeclUsage::TexCoord)) mesh->hasTexCoords = false;
    std::vector<VertexElement> taken{{0, 0, DeclType::Float3, DeclMethod::Default, DeclUsage::Position, 0}};
    if (mesh->hasNormals) taken.push_back({0, 0, DeclType::Float3, DeclMethod::Default, DeclUsage::Normal, 0});
    if (mesh->hasColors) taken.push_back({0, 0, DeclType::Color, DeclMethod::Default, DeclUsage::Color, 0});
    if (mesh->hasTexCoords) taken.push_back({0, 0, DeclType::Float2, DeclMethod::Default, DeclUsage::TexCoord, 0});
    for (const auto& block : mesh->vertexData)
        if (!block.fromFvf) taken.insert(taken.end(), block.elements.begin(), block.elements.end());
    for (auto& block : mesh->vertexData) {
        if (!block.fromFvf) continue;
        uint32_t sets = 0;
        for (const auto& t : taken)
            if (t.usage == DeclUsage::TexCoord) sets = std::max(sets, uint32_t(t.usageIndex) + 1);
        for (auto& e : block.elements) {
            if (e.usage == DeclUsage::TexCoord) {
                if (sets + e.usageIndex > 15)
                    return Fail(label, error, block.line,
                                "FVFData gives texture set " + std::to_string(sets + e.usageIndex) +
                                    ", more than the 16 a vertex holds");
                e.usageIndex = uint8_t(sets + e.usageIndex);
            }
            if (Taken(taken, e))
                return Fail(label, error, block.line, "FVFData gives " + ElementName(e) + ", which the mesh already has");
        }
        taken.insert(taken.end(), block.elements.begin(), block.elements.end());
    }
    // Two DeclData blocks naming one element.
    for (size_t a = 0; a < mesh->vertexData.size(); ++a)
        for (size_t b = a + 1; b < mesh->vertexData.size(); ++b)
            for (const auto& e : mesh->vertexData[b].elements)
                if (Taken(mesh->vertexData[a].elements, e))
                    return Fail(label, error, mesh->vertexData[b].line,
                                ElementName(e) + " is given by an earlier block too");
    if (taken.size() > kMaxDeclLength - 1)  // room for the end marker
        return Fail(label, error, mesh->line, "the mesh has more vertex elements than a declaration holds");
    return true;
}

}  // namespace velor
