#pragma once
// ID3DXSkinInfo: the bones of a skinned mesh (names, offset matrices, weighted vertices) and software
// skinning from a source vertex array into a destination array of the same layout.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/gfx/d3d_types.h"
#include "engine/math/math_types.h"

namespace velor {

class SkinInfo {
public:
    // Use CreateSkinInfo.
    SkinInfo(uint32_t numVertices, const std::vector<VertexElement>& elements, uint32_t numBones);

    uint32_t GetNumBones() const { return uint32_t(bones_.size()); }
    uint32_t GetNumVertices() const { return numVertices_; }
    const char* GetBoneName(uint32_t bone) const;  // nullptr past the last bone
    Result SetBoneName(uint32_t bone, const char* name);
    // The stored matrix (D3DX hands out a pointer into the skin info); nullptr past the last bone.
    const Matrix* GetBoneOffsetMatrix(uint32_t bone) const;
    Result SetBoneOffsetMatrix(uint32_t bone, const Matrix* offset);
    uint32_t GetNumBoneInfluences(uint32_t bone) const;
    // vertices and weights must each have room for GetNumBoneInfluences(bone) entries.
    Result GetBoneInfluence(uint32_t bone, uint32_t* vertices, float* weights) const;
    Result SetBoneInfluence(uint32_t bone, uint32_t numInfluences, const uint32_t* vertices, const float* weights);
    Result GetMaxVertexInfluences(uint32_t* maxVertexInfluences) const;
    Result GetDeclaration(VertexElement declaration[kMaxDeclLength]) const;
    Result SetDeclaration(const VertexElement* declaration);
    uint32_t GetFVF() const;

    // Destination position and normal start at zero; for each bone and each of its influences
    // (v, w): position += w · TransformCoord(source position, M[bone]) and normal += w ·
    // TransformNormal(source normal, N[bone]), N being the inverse-transpose matrices when given and
    // M otherwise. Normals are not renormalised; every other element is copied from the source.
    // Both arrays hold GetNumVertices() vertices of the declaration's layout.
    Result UpdateSkinnedMesh(const Matrix* boneTransforms, const Matrix* boneInvTransposeTransforms,
                             const void* sourceVertices, void* destinationVertices) const;

    // Follows a vertex reordering: vertexRemap[new vertex] = old vertex, numVertices entries.
    Result Remap(uint32_t numVertices, const uint32_t* vertexRemap);

private:
    struct Bone {
        std::string name;
        bool named = false;
        Matrix offset;
        std::vector<uint32_t> vertices;
        std::vector<float> weights;
    };

    uint32_t numVertices_;
    std::vector<VertexElement> elements_;
    std::vector<Bone> bones_;
};

// D3DXCreateSkinInfo / D3DXCreateSkinInfoFVF: bones without names, identity offsets, no influences.
Result CreateSkinInfo(uint32_t numVertices, const VertexElement* declaration, uint32_t numBones,
                      std::shared_ptr<SkinInfo>* skinInfo);
Result CreateSkinInfoFVF(uint32_t numVertices, uint32_t fvf, uint32_t numBones, std::shared_ptr<SkinInfo>* skinInfo);

}  // namespace velor
