#include "engine/gfx/vertex_format.h"

#include <algorithm>

namespace velor {

uint32_t DeclTypeSize(DeclType type) {
    switch (type) {
    case DeclType::Float1: return 4;
    case DeclType::Float2: return 8;
    case DeclType::Float3: return 12;
    case DeclType::Float4: return 16;
    case DeclType::Color: return 4;
    case DeclType::UByte4: return 4;
    case DeclType::Short2: return 4;
    case DeclType::Short4: return 8;
    case DeclType::UByte4N: return 4;
    case DeclType::Unused: return 0;
    }
    return 0;
}

std::vector<VertexElement> DeclarationElements(const VertexElement* decl) {
    std::vector<VertexElement> out;
    if (decl == nullptr) return out;
    for (uint32_t i = 0; i < kMaxDeclLength && decl[i].stream != 0xFF; ++i) out.push_back(decl[i]);
    return out;
}

uint32_t DeclarationVertexSize(const VertexElement* decl, uint32_t stream) {
    uint32_t size = 0;
    for (const auto& e : DeclarationElements(decl))
        if (e.stream == stream) size = std::max(size, uint32_t(e.offset) + DeclTypeSize(e.type));
    return size;
}

uint32_t FvfVertexSize(uint32_t fvf) {
    VertexElement decl[kMaxDeclLength];
    if (Failed(DeclaratorFromFvf(fvf, decl))) return 0;
    return DeclarationVertexSize(decl);
}

Result DeclaratorFromFvf(uint32_t fvf, VertexElement decl[kMaxDeclLength]) {
    uint32_t n = 0, offset = 0;
    auto add = [&](DeclType type, DeclUsage usage, uint8_t index) {
        decl[n++] = VertexElement{0, uint16_t(offset), type, DeclMethod::Default, usage, index};
        offset += DeclTypeSize(type);
    };
    switch (fvf & Fvf::PositionMask) {
    case Fvf::XYZ: add(DeclType::Float3, DeclUsage::Position, 0); break;
    case Fvf::XYZRHW: add(DeclType::Float4, DeclUsage::Position, 0); break;  // D3DDECLUSAGE_POSITIONT in D3D
    case 0: break;
    default: decl[0] = kDeclEnd; return Result::InvalidCall;
    }
    if (fvf & Fvf::Normal) add(DeclType::Float3, DeclUsage::Normal, 0);
    if (fvf & Fvf::PSize) add(DeclType::Float1, DeclUsage::PSize, 0);
    if (fvf & Fvf::Diffuse) add(DeclType::Color, DeclUsage::Color, 0);
    if (fvf & Fvf::Specular) add(DeclType::Color, DeclUsage::Color, 1);
    uint32_t texCount = (fvf & Fvf::TexCountMask) >> Fvf::TexCountShift;
    if (texCount > 8) {
        decl[0] = kDeclEnd;
        return Result::InvalidCall;
    }
    for (uint32_t t = 0; t < texCount; ++t) {
        // D3DFVF_TEXCOORDSIZEn bits pick 1-4 floats per set; 0 is the default of two.
        uint32_t sizeCode = (fvf >> (16 + 2 * t)) & 3;
        static constexpr DeclType kTypes[4] = {DeclType::Float2, DeclType::Float3, DeclType::Float4, DeclType::Float1};
        add(kTypes[sizeCode], DeclUsage::TexCoord, uint8_t(t));
    }
    decl[n] = kDeclEnd;
    return Result::Ok;
}

Result FvfFromDeclarator(const VertexElement* decl, uint32_t* fvf) {
    if (fvf == nullptr) return Result::InvalidCall;
    VertexElement expected[kMaxDeclLength];
    uint32_t code = 0;
    auto elements = DeclarationElements(decl);
    for (const auto& e : elements) {
        switch (e.usage) {
        case DeclUsage::Position: code |= e.type == DeclType::Float4 ? Fvf::XYZRHW : Fvf::XYZ; break;
        case DeclUsage::Normal: code |= Fvf::Normal; break;
        case DeclUsage::PSize: code |= Fvf::PSize; break;
        case DeclUsage::Color: code |= e.usageIndex == 0 ? Fvf::Diffuse : Fvf::Specular; break;
        case DeclUsage::TexCoord: {
            uint32_t count = ((code & Fvf::TexCountMask) >> Fvf::TexCountShift) + 1;
            code = (code & ~Fvf::TexCountMask) | (count << Fvf::TexCountShift);
            static constexpr uint32_t kSizeCodes[4] = {3, 0, 1, 2};  // Float1..Float4
            if (uint32_t(e.type) <= 3) code |= kSizeCodes[uint32_t(e.type)] << (16 + 2 * e.usageIndex);
            break;
        }
        default: return Result::InvalidCall;
        }
    }
    // Only declarations laid out exactly as the FVF would lay them out have an FVF.
    if (Failed(DeclaratorFromFvf(code, expected))) return Result::InvalidCall;
    auto canonical = DeclarationElements(expected);
    if (canonical.size() != elements.size()) return Result::InvalidCall;
    for (size_t i = 0; i < elements.size(); ++i) {
        const auto &a = elements[i], &b = canonical[i];
        // D3DX ignores the usage index of a position or normal: POSITION 1 maps to D3DFVF_XYZ.
        const bool indexMatters = a.usage != DeclUsage::Position && a.usage != DeclUsage::Normal;
        if (a.stream != b.stream || a.offset != b.offset || a.type != b.type || a.usage != b.usage ||
            (indexMatters && a.usageIndex != b.usageIndex))
            return Result::InvalidCall;
    }
    *fvf = code;
    return Result::Ok;
}

const VertexElement* FindElement(const std::vector<VertexElement>& elements, DeclUsage usage, uint8_t index) {
    for (const auto& e : elements)
        if (e.usage == usage && e.usageIndex == index) return &e;
    return nullptr;
}

}  // namespace velor
