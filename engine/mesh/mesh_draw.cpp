// DrawSubset is the one mesh operation that needs the device; it lives apart so that everything else
// in this library links and runs without it.
#include "engine/gfx/device.h"
#include "engine/mesh/mesh.h"

namespace velor {

Result Mesh::DrawSubset(uint32_t attribId) {
    if (device_ == nullptr) return Result::InvalidCall;
    if (fvf_ != 0) {
        device_->SetFVF(fvf_);
    } else {
        if (drawDeclaration_ == nullptr) {
            std::vector<VertexElement> decl = elements_;
            decl.push_back(kDeclEnd);
            Result r = device_->CreateVertexDeclaration(decl.data(), &drawDeclaration_);
            if (Failed(r)) return r;
        }
        device_->SetVertexDeclaration(drawDeclaration_);
    }
    device_->SetStreamSource(0, vertices_, 0, stride_);
    device_->SetIndices(indices_);
    std::vector<AttributeRange> ranges;
    if (attributeTable_.empty()) {
        ranges = AttributeRuns(attribId);
    } else {
        for (const auto& range : attributeTable_)
            if (range.attribId == attribId) ranges.push_back(range);
    }
    for (const auto& range : ranges) {
        if (range.faceCount == 0) continue;
        Result r = device_->DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, range.vertexStart,
                                                 range.vertexCount, range.faceStart * 3, range.faceCount);
        if (Failed(r)) return r;
    }
    return Result::Ok;
}

}  // namespace velor
