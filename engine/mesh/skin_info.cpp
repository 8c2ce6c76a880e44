#include "engine/mesh/skin_info.h"

#include <algorithm>
#include <cstring>

#include "engine/gfx/vertex_format.h"
#include "engine/math/d3dx_math.h"

namespace velor {

namespace {

int Float3Offset(const std::vector<VertexElement>& elements, DeclUsage usage) {
    const VertexElement* e = FindElement(elements, usage, 0);
    if (e == nullptr || (e->type != DeclType::Float3 && e->type != DeclType::Float4)) return -1;
    return e->offset;
}

}  // namespace

SkinInfo::SkinInfo(uint32_t numVertices, const std::vector<VertexElement>& elements, uint32_t numBones)
    : numVertices_(numVertices), elements_(elements), bones_(numBones) {
    for (auto& bone : bones_) MatrixIdentity(&bone.offset);
}

const char* SkinInfo::GetBoneName(uint32_t bone) const {
    if (bone >= bones_.size() || !bones_[bone].named) return nullptr;
    return bones_[bone].name.c_str();
}

Result SkinInfo::SetBoneName(uint32_t bone, const char* name) {
    if (bone >= bones_.size() || name == nullptr) return Result::InvalidCall;
    bones_[bone].name = name;
    bones_[bone].named = true;
    return Result::Ok;
}

const Matrix* SkinInfo::GetBoneOffsetMatrix(uint32_t bone) const {
    return bone < bones_.size() ? &bones_[bone].offset : nullptr;
}

Result SkinInfo::SetBoneOffsetMatrix(uint32_t bone, const Matrix* offset) {
    if (bone >= bones_.size() || offset == nullptr) return Result::InvalidCall;
    bones_[bone].offset = *offset;
    return Result::Ok;
}

uint32_t SkinInfo::GetNumBoneInfluences(uint32_t bone) const {
    return bone < bones_.size() ? uint32_t(bones_[bone].vertices.size()) : 0;
}

Result SkinInfo::GetBoneInfluence(uint32_t bone, uint32_t* vertices, float* weights) const {
    if (bone >= bones_.size() || vertices == nullptr || weights == nullptr) return Result::InvalidCall;
    std::copy(bones_[bone].vertices.begin(), bones_[bone].vertices.end(), vertices);
    std::copy(bones_[bone].weights.begin(), bones_[bone].weights.end(), weights);
    return Result::Ok;
}

Result SkinInfo::SetBoneInfluence(uint32_t bone, uint32_t numInfluences, const uint32_t* vertices,
                                  const float* weights) {
    if (bone >= bones_.size()) return Result::InvalidCall;
    if (numInfluences > 0 && (vertices == nullptr || weights == nullptr)) return Result::InvalidCall;
    for (uint32_t i = 0; i < numInfluences; ++i)
        if (vertices[i] >= numVertices_) return Result::InvalidCall;
    bones_[bone].vertices.assign(vertices, vertices + numInfluences);
    bones_[bone].weights.assign(weights, weights + numInfluences);
    return Result::Ok;
}

Result SkinInfo::GetMaxVertexInfluences(uint32_t* maxVertexInfluences) const {
    if (maxVertexInfluences == nullptr) return Result::InvalidCall;
    std::vector<uint32_t> counts(numVertices_, 0);
    for (const auto& bone : bones_)
        for (uint32_t v : bone.vertices) ++counts[v];
    *maxVertexInfluences = counts.empty() ? 0 : *std::max_element(counts.begin(), counts.end());
    return Result::Ok;
}

Result SkinInfo::GetDeclaration(VertexElement declaration[kMaxDeclLength]) const {
    if (declaration == nullptr) return Result::InvalidCall;
    const size_t n = std::min<size_t>(elements_.size(), kMaxDeclLength - 1);
    std::copy_n(elements_.begin(), n, declaration);
    declaration[n] = kDeclEnd;
    return Result::Ok;
}

Result SkinInfo::SetDeclaration(const VertexElement* declaration) {
    if (declaration == nullptr) return Result::InvalidCall;
    elements_ = DeclarationElements(declaration);
    return Result::Ok;
}

uint32_t SkinInfo::GetFVF() const {
    std::vector<VertexElement> decl = elements_;
    decl.push_back(kDeclEnd);
    uint32_t fvf = 0;
    return Succeeded(FvfFromDeclarator(decl.data(), &fvf)) ? fvf : 0;
}

Result SkinInfo::UpdateSkinnedMesh(const Matrix* boneTransforms, const Matrix* boneInvTransposeTransforms,
                                   const void* sourceVertices, void* destinationVertices) const {
    if (boneTransforms == nullptr || sourceVertices == nullptr || destinationVertices == nullptr)
        return Result::InvalidCall;
    std::vector<VertexElement> decl = elements_;
    decl.push_back(kDeclEnd);
    const uint32_t stride = DeclarationVertexSize(decl.data());
    const int position = Float3Offset(elements_, DeclUsage::Position);
    const int normal = Float3Offset(elements_, DeclUsage::Normal);
    if (position < 0 || stride == 0) return Result::InvalidCall;

    const auto* src = static_cast<const uint8_t*>(sourceVertices);
    auto* dst = static_cast<uint8_t*>(destinationVertices);
    if (src != dst) std::memmove(dst, src, size_t(numVertices_) * stride);
    // With the arrays the same, the source must survive the zeroing below.
    std::vector<uint8_t> copy;
    if (src == dst) {
        copy.assign(src, src + size_t(numVertices_) * stride);
        src = copy.data();
    }
    const Vector3 zero{};
    for (uint32_t v = 0; v < numVertices_; ++v) {
        std::memcpy(dst + size_t(v) * stride + position, &zero, sizeof zero);
        if (normal >= 0) std::memcpy(dst + size_t(v) * stride + normal, &zero, sizeof zero);
    }
    for (size_t b = 0; b < bones_.size(); ++b) {
        const Bone& bone = bones_[b];
        const Matrix& m = boneTransforms[b];
        const Matrix& n = boneInvTransposeTransforms != nullptr ? boneInvTransposeTransforms[b] : m;
        for (size_t i = 0; i < bone.vertices.size(); ++i) {
            const uint32_t v = bone.vertices[i];
            const float w = bone.weights[i];
            const uint8_t* s = src + size_t(v) * stride;
            uint8_t* d = dst + size_t(v) * stride;
            Vector3 in, out, sum;
            std::memcpy(&in, s + position, sizeof in);
            Vec3TransformCoord(&out, &in, &m);
            std::memcpy(&sum, d + position, sizeof sum);
            sum = Vector3{sum.x + w * out.x, sum.y + w * out.y, sum.z + w * out.z};
            std::memcpy(d + position, &sum, sizeof sum);
            if (normal < 0) continue;
            std::memcpy(&in, s + normal, sizeof in);
            Vec3TransformNormal(&out, &in, &n);
            std::memcpy(&sum, d + normal, sizeof sum);
            sum = Vector3{sum.x + w * out.x, sum.y + w * out.y, sum.z + w * out.z};
            std::memcpy(d + normal, &sum, sizeof sum);
        }
    }
    return Result::Ok;
}

Result SkinInfo::Remap(uint32_t numVertices, const uint32_t* vertexRemap) {
    if (vertexRemap == nullptr && numVertices > 0) return Result::InvalidCall;
    for (uint32_t i = 0; i < numVertices; ++i)
        if (vertexRemap[i] >= numVertices_) return Result::InvalidCall;
    // New vertices of each old one (a vertex may have been split into several).
    std::vector<std::vector<uint32_t>> copies(numVertices_);
    for (uint32_t i = 0; i < numVertices; ++i) copies[vertexRemap[i]].push_back(i);
    for (auto& bone : bones_) {
        std::vector<uint32_t> vertices;
        std::vector<float> weights;
        for (size_t i = 0; i < bone.vertices.size(); ++i)
            for (uint32_t to : copies[bone.vertices[i]]) {
                vertices.push_back(to);
                weights.push_back(bone.weights[i]);
            }
        bone.vertices = std::move(vertices);
        bone.weights = std::move(weights);
    }
    numVertices_ = numVertices;
    return Result::Ok;
}

Result CreateSkinInfo(uint32_t numVertices, const VertexElement* declaration, uint32_t numBones,
                      std::shared_ptr<SkinInfo>* skinInfo) {
    if (skinInfo == nullptr || declaration == nullptr) return Result::InvalidCall;
    *skinInfo = std::make_shared<SkinInfo>(numVertices, DeclarationElements(declaration), numBones);
    return Result::Ok;
}

Result CreateSkinInfoFVF(uint32_t numVertices, uint32_t fvf, uint32_t numBones, std::shared_ptr<SkinInfo>* skinInfo) {
    if (skinInfo == nullptr) return Result::InvalidCall;
    VertexElement decl[kMaxDeclLength];
    if (Failed(DeclaratorFromFvf(fvf, decl))) return Result::InvalidCall;
    return CreateSkinInfo(numVertices, decl, numBones, skinInfo);
}

}  // namespace velor
