// CloneMesh: the same faces and attributes with another vertex declaration or index width. Each
// element of the new declaration is filled from the source element with the same usage and usage
// index: bytes copied when the types match, otherwise converted through four floats (missing
// components take the shader defaults 0, 0, 0, 1). Elements the source lacks stay zero.
#include <cstdint>
#include <cstring>

#include "engine/gfx/vertex_format.h"
#include "engine/mesh/mesh.h"

namespace velor {

namespace {

void ReadElement(const uint8_t* p, DeclType type, float out[4]) {
    out[0] = out[1] = out[2] = 0.0f;
    out[3] = 1.0f;
    switch (type) {
    case DeclType::Float1:
    case DeclType::Float2:
    case DeclType::Float3:
    case DeclType::Float4: std::memcpy(out, p, DeclTypeSize(type)); break;
    case DeclType::Color: {  // D3DCOLOR bytes B, G, R, A read as (R, G, B, A)
        out[0] = p[2] / 255.0f;
        out[1] = p[1] / 255.0f;
        out[2] = p[0] / 255.0f;
        out[3] = p[3] / 255.0f;
        break;
    }
    case DeclType::UByte4:
        for (int i = 0; i < 4; ++i) out[i] = float(p[i]);
        break;
    case DeclType::UByte4N:
        for (int i = 0; i < 4; ++i) out[i] = p[i] / 255.0f;
        break;
    case DeclType::Short2:
    case DeclType::Short4:
        for (uint32_t i = 0; i < DeclTypeSize(type) / 2; ++i) {
            int16_t s;
            std::memcpy(&s, p + 2 * i, 2);
            out[i] = float(s);
        }
        break;
    case DeclType::Unused: break;
    }
}

uint8_t UnitToByte(float f) {
    if (!(f > 0.0f)) return 0;
    if (f >= 1.0f) return 255;
    return uint8_t(f * 255.0f + 0.5f);
}

// D3DX's integer conversions round half up by truncating x + 0.5 and keep the low bits of the result:
// 256 becomes 0 in a UBYTE4 and 32768 becomes -32768 in a SHORT2. UBYTE4 takes negative values as 0.
int64_t RoundHalfUp(float f) {
    const float shifted = f + 0.5f;
    if (!(shifted > -9.0e18f && shifted < 9.0e18f)) return 0;  // NaN or beyond any integer
    return int64_t(shifted);  // truncates toward zero
}

uint8_t ToByte(float f) {
    if (!(f > 0.0f)) return 0;
    return uint8_t(uint64_t(RoundHalfUp(f)) & 0xFFu);
}

int16_t ToShort(float f) { return int16_t(uint16_t(uint64_t(RoundHalfUp(f)) & 0xFFFFu)); }

void WriteElement(uint8_t* p, DeclType type, const float in[4]) {
    switch (type) {
    case DeclType::Float1:
    case DeclType::Float2:
    case DeclType::Float3:
    case DeclType::Float4: std::memcpy(p, in, DeclTypeSize(type)); break;
    case DeclType::Color:
        p[0] = UnitToByte(in[2]);
        p[1] = UnitToByte(in[1]);
        p[2] = UnitToByte(in[0]);
        p[3] = UnitToByte(in[3]);
        break;
    case DeclType::UByte4:
        for (int i = 0; i < 4; ++i) p[i] = ToByte(in[i]);
        break;
    case DeclType::UByte4N:
        for (int i = 0; i < 4; ++i) p[i] = UnitToByte(in[i]);
        break;
    case DeclType::Short2:
    case DeclType::Short4:
        for (uint32_t i = 0; i < DeclTypeSize(type) / 2; ++i) {
            const int16_t s = ToShort(in[i]);
            std::memcpy(p + 2 * i, &s, 2);
        }
        break;
    case DeclType::Unused: break;
    }
}

}  // namespace

Result Mesh::CloneMesh(uint32_t options, const VertexElement* declaration, Device* device,
                       std::shared_ptr<Mesh>* cloneMesh) const {
    if (cloneMesh == nullptr) return Result::InvalidCall;
    *cloneMesh = nullptr;
    std::shared_ptr<Mesh> clone;
    Result r = CreateMesh(numFaces_, numVertices_, options, declaration, device, &clone);
    if (Failed(r)) return r;

    struct Pair {
        const VertexElement* from;
        const VertexElement* to;
    };
    std::vector<Pair> pairs;
    for (const auto& to : clone->elements_)
        if (const VertexElement* from = FindElement(elements_, to.usage, to.usageIndex)) pairs.push_back({from, &to});

    const uint8_t* src = VertexData();
    uint8_t* dst = clone->VertexData();
    for (uint32_t v = 0; v < numVertices_; ++v) {
        const uint8_t* s = src + size_t(v) * stride_;
        uint8_t* d = dst + size_t(v) * clone->stride_;
        for (const auto& pair : pairs) {
            if (pair.from->type == pair.to->type) {
                std::memcpy(d + pair.to->offset, s + pair.from->offset, DeclTypeSize(pair.to->type));
            } else {
                float value[4];
                ReadElement(s + pair.from->offset, pair.from->type, value);
                WriteElement(d + pair.to->offset, pair.to->type, value);
            }
        }
    }

    void* data = nullptr;
    clone->indices_->Lock(0, 0, &data, 0);
    auto* out = static_cast<uint8_t*>(data);
    const bool wide = clone->indices_->GetFormat() == Format::Index32;
    for (uint32_t i = 0; i < numFaces_ * 3; ++i) {
        uint32_t index = IndexAt(i);
        if (wide) {
            std::memcpy(out + size_t(i) * 4, &index, 4);
        } else {
            uint16_t narrow = uint16_t(index);
            std::memcpy(out + size_t(i) * 2, &narrow, 2);
        }
    }
    clone->indices_->Unlock();

    clone->attributes_ = attributes_;
    clone->attributeTable_ = attributeTable_;
    *cloneMesh = std::move(clone);
    return Result::Ok;
}

Result Mesh::CloneMeshFVF(uint32_t options, uint32_t fvf, Device* device, std::shared_ptr<Mesh>* cloneMesh) const {
    if (cloneMesh == nullptr) return Result::InvalidCall;
    *cloneMesh = nullptr;
    VertexElement decl[kMaxDeclLength];
    if (Failed(DeclaratorFromFvf(fvf, decl))) return Result::InvalidCall;
    return CloneMesh(options, decl, device, cloneMesh);
}

}  // namespace velor
