#include "engine/mesh/mesh.h"

#include <algorithm>
#include <cstring>

#include "engine/gfx/vertex_format.h"

namespace velor {

namespace {

Pool PoolFromOptions(uint32_t options, uint32_t systemMem, uint32_t managed) {
    if (options & systemMem) return Pool::SystemMem;
    if (options & managed) return Pool::Managed;
    return Pool::Default;
}

uint32_t VertexUsage(uint32_t options) {
    uint32_t usage = 0;
    if (options & MeshOption::VbWriteOnly) usage |= Usage::WriteOnly;
    if (options & MeshOption::VbDynamic) usage |= Usage::Dynamic;
    return usage;
}

uint32_t IndexUsage(uint32_t options) {
    uint32_t usage = 0;
    if (options & MeshOption::IbWriteOnly) usage |= Usage::WriteOnly;
    if (options & MeshOption::IbDynamic) usage |= Usage::Dynamic;
    return usage;
}

std::vector<VertexElement> WithEndMarker(const std::vector<VertexElement>& elements) {
    std::vector<VertexElement> decl = elements;
    decl.push_back(kDeclEnd);
    return decl;
}

}  // namespace

Mesh::Mesh(uint32_t numFaces, uint32_t numVertices, uint32_t options, const std::vector<VertexElement>& elements,
           Device* device)
    : numFaces_(numFaces), numVertices_(numVertices), options_(options), elements_(elements), device_(device) {
    auto decl = WithEndMarker(elements_);
    stride_ = DeclarationVertexSize(decl.data());
    uint32_t fvf = 0;
    if (Succeeded(FvfFromDeclarator(decl.data(), &fvf))) fvf_ = fvf;
    vertices_ = std::make_shared<VertexBuffer>(numVertices * stride_, VertexUsage(options), fvf_,
                                               PoolFromOptions(options, MeshOption::VbSystemMem, MeshOption::VbManaged));
    const bool wide = (options & MeshOption::Use32Bit) != 0;
    indices_ = std::make_shared<IndexBuffer>(numFaces * 3 * (wide ? 4 : 2), IndexUsage(options),
                                             wide ? Format::Index32 : Format::Index16,
                                             PoolFromOptions(options, MeshOption::IbSystemMem, MeshOption::IbManaged));
    attributes_.assign(numFaces, 0);
}

Result Mesh::GetDeclaration(VertexElement declaration[kMaxDeclLength]) const {
    if (declaration == nullptr) return Result::InvalidCall;
    size_t n = std::min<size_t>(elements_.size(), kMaxDeclLength - 1);
    std::copy_n(elements_.begin(), n, declaration);
    declaration[n] = kDeclEnd;
    return Result::Ok;
}

Result Mesh::GetVertexBuffer(std::shared_ptr<VertexBuffer>* buffer) const {
    if (buffer == nullptr) return Result::InvalidCall;
    *buffer = vertices_;
    return Result::Ok;
}

Result Mesh::GetIndexBuffer(std::shared_ptr<IndexBuffer>* buffer) const {
    if (buffer == nullptr) return Result::InvalidCall;
    *buffer = indices_;
    return Result::Ok;
}

Result Mesh::LockVertexBuffer(uint32_t flags, void** data) { return vertices_->Lock(0, 0, data, flags); }
Result Mesh::UnlockVertexBuffer() { return vertices_->Unlock(); }
Result Mesh::LockIndexBuffer(uint32_t flags, void** data) { return indices_->Lock(0, 0, data, flags); }
Result Mesh::UnlockIndexBuffer() { return indices_->Unlock(); }

Result Mesh::LockAttributeBuffer(uint32_t flags, uint32_t** data) {
    (void)flags;
    if (data == nullptr) return Result::InvalidCall;
    *data = attributes_.data();
    return Result::Ok;
}

// Writes through the attribute pointer may regroup faces, so the table no longer describes them.
Result Mesh::UnlockAttributeBuffer() {
    attributeTable_.clear();
    return Result::Ok;
}

Result Mesh::GetAttributeTable(AttributeRange* table, uint32_t* size) const {
    if (size == nullptr) return Result::InvalidCall;
    if (table != nullptr) std::copy(attributeTable_.begin(), attributeTable_.end(), table);
    *size = uint32_t(attributeTable_.size());
    return Result::Ok;
}

Result Mesh::SetAttributeTable(const AttributeRange* table, uint32_t size) {
    if (table == nullptr && size != 0) return Result::InvalidCall;
    for (uint32_t i = 0; i < size; ++i) {
        const auto& r = table[i];
        if (uint64_t(r.faceStart) + r.faceCount > numFaces_ || uint64_t(r.vertexStart) + r.vertexCount > numVertices_)
            return Result::InvalidCall;
    }
    attributeTable_.assign(table, table + size);
    return Result::Ok;
}

uint32_t Mesh::IndexAt(uint32_t i) const {
    const uint8_t* data = indices_->Data();
    if (indices_->GetFormat() == Format::Index32) {
        uint32_t v;
        std::memcpy(&v, data + size_t(i) * 4, 4);
        return v;
    }
    uint16_t v;
    std::memcpy(&v, data + size_t(i) * 2, 2);
    return v;
}

void Mesh::SetIndexAt(uint32_t i, uint32_t value) {
    void* data = nullptr;
    indices_->Lock(0, 0, &data, 0);
    auto* bytes = static_cast<uint8_t*>(data);
    if (indices_->GetFormat() == Format::Index32) {
        std::memcpy(bytes + size_t(i) * 4, &value, 4);
    } else {
        uint16_t v = uint16_t(value);
        std::memcpy(bytes + size_t(i) * 2, &v, 2);
    }
    indices_->Unlock();
}

uint8_t* Mesh::VertexData() {
    void* data = nullptr;
    vertices_->Lock(0, 0, &data, 0);
    vertices_->Unlock();
    return static_cast<uint8_t*>(data);
}

const uint8_t* Mesh::VertexData() const { return vertices_->Data(); }

void Mesh::Replace(uint32_t numVertices, std::vector<uint8_t> vertices, const std::vector<uint32_t>& indices,
                   std::vector<uint32_t> attributes) {
    numVertices_ = numVertices;
    numFaces_ = uint32_t(attributes.size());
    vertices_ = std::make_shared<VertexBuffer>(uint32_t(vertices.size()), vertices_->GetUsage(), fvf_,
                                               PoolFromOptions(options_, MeshOption::VbSystemMem, MeshOption::VbManaged));
    void* data = nullptr;
    if (!vertices.empty() && Succeeded(vertices_->Lock(0, 0, &data, 0))) {
        std::memcpy(data, vertices.data(), vertices.size());
        vertices_->Unlock();
    }
    const bool wide = indices_->GetFormat() == Format::Index32;
    indices_ = std::make_shared<IndexBuffer>(uint32_t(indices.size() * (wide ? 4 : 2)), 0,
                                             wide ? Format::Index32 : Format::Index16,
                                             PoolFromOptions(options_, MeshOption::IbSystemMem, MeshOption::IbManaged));
    if (!indices.empty() && Succeeded(indices_->Lock(0, 0, &data, 0))) {
        auto* bytes = static_cast<uint8_t*>(data);
        for (size_t i = 0; i < indices.size(); ++i) {
            if (wide) {
                std::memcpy(bytes + i * 4, &indices[i], 4);
            } else {
                const uint16_t v = uint16_t(indices[i]);
                std::memcpy(bytes + i * 2, &v, 2);
            }
        }
        indices_->Unlock();
    }
    attributes_ = std::move(attributes);
    attributeTable_.clear();
}

std::vector<AttributeRange> Mesh::AttributeRuns(uint32_t attribId) const {
    std::vector<AttributeRange> runs;
    for (uint32_t f = 0; f < numFaces_;) {
        if (attributes_[f] != attribId) {
            ++f;
            continue;
        }
        AttributeRange run;
        run.attribId = attribId;
        run.faceStart = f;
        while (f < numFaces_ && attributes_[f] == attribId) ++f;
        run.faceCount = f - run.faceStart;
        run.vertexStart = 0;
        run.vertexCount = numVertices_;
        runs.push_back(run);
    }
    return runs;
}

std::vector<AttributeRange> BuildAttributeTable(const Mesh& mesh) {
    std::vector<AttributeRange> table;
    const auto& attributes = mesh.Attributes();
    for (uint32_t f = 0; f < mesh.GetNumFaces();) {
        AttributeRange range;
        range.attribId = attributes[f];
        range.faceStart = f;
        uint32_t lo = UINT32_MAX, hi = 0;
        while (f < mesh.GetNumFaces() && attributes[f] == range.attribId) {
            for (uint32_t c = 0; c < 3; ++c) {
                uint32_t v = mesh.IndexAt(f * 3 + c);
                lo = std::min(lo, v);
                hi = std::max(hi, v);
            }
            ++f;
        }
        range.faceCount = f - range.faceStart;
        range.vertexStart = lo;
        range.vertexCount = hi >= lo ? hi - lo + 1 : 0;
        table.push_back(range);
    }
    return table;
}

Result CreateMesh(uint32_t numFaces, uint32_t numVertices, uint32_t options, const VertexElement* declaration,
                  Device* device, std::shared_ptr<Mesh>* mesh) {
    if (mesh == nullptr || declaration == nullptr) return Result::InvalidCall;
    *mesh = nullptr;
    if (numFaces == 0 || numVertices == 0) return Result::InvalidCall;
    if (!(options & MeshOption::Use32Bit) && numVertices > 0xFFFF) return Result::InvalidCall;
    // The end marker must come within kMaxDeclLength entries.
    uint32_t length = 0;
    while (length < kMaxDeclLength && declaration[length].stream != 0xFF) ++length;
    if (length == kMaxDeclLength) return Result::InvalidCall;
    auto elements = DeclarationElements(declaration);
    const VertexElement* position = FindElement(elements, DeclUsage::Position, 0);
    if (position == nullptr || position->stream != 0) return Result::InvalidCall;
    for (const auto& e : elements)
        if (e.stream != 0 || DeclTypeSize(e.type) == 0) return Result::InvalidCall;
    if (uint64_t(numFaces) * 3 * 4 > 0xFFFFFFFFull || uint64_t(numVertices) * DeclarationVertexSize(declaration) > 0xFFFFFFFFull)
        return Result::OutOfMemory;
    *mesh = std::make_shared<Mesh>(numFaces, numVertices, options, elements, device);
    return Result::Ok;
}

Result CreateMeshFVF(uint32_t numFaces, uint32_t numVertices, uint32_t options, uint32_t fvf, Device* device,
                     std::shared_ptr<Mesh>* mesh) {
    if (mesh == nullptr) return Result::InvalidCall;
    *mesh = nullptr;
    VertexElement decl[kMaxDeclLength];
    if (Failed(DeclaratorFromFvf(fvf, decl))) return Result::InvalidCall;
    return CreateMesh(numFaces, numVertices, options, decl, device, mesh);
}

}  // namespace velor
