// Mesh building as D3DX does it. The demo reads vertex buffers raw and ties points to vertex
// numbers, so the order is part of the contract: the file's vertices first, in file order, then the
// copies that corners with a different normal value need, in the order the faces first use them.
// Texture coordinates and colours are per vertex in the format, so only normals split vertices.
#include <algorithm>
#include <cstring>
#include <numeric>
#include <unordered_map>

#include "engine/gfx/vertex_format.h"
#include "engine/math/d3dx_math.h"
#include "engine/mesh/xfile/xfile_mesh_builder.h"

namespace velor {

namespace {

constexpr uint32_t kNone = 0xFFFFFFFFu;

// A file vertex with one normal value; -0 and +0 are the same value.
struct CornerKey {
    uint32_t vertex;
    uint32_t normal[3];
    bool operator==(const CornerKey&) const = default;
};

struct CornerKeyHash {
    size_t operator()(const CornerKey& k) const {
        uint64_t h = k.vertex * 0x9E3779B97F4A7C15ull;
        for (uint32_t c : k.normal) h = (h ^ c) * 0x100000001B3ull;
        return size_t(h ^ (h >> 29));
    }
};

CornerKey KeyOf(uint32_t vertex, const Vector3& normal) {
    CornerKey key{vertex, {}};
    const float values[3] = {normal.x + 0.0f, normal.y + 0.0f, normal.z + 0.0f};
    std::memcpy(key.normal, values, sizeof values);
    return key;
}

}  // namespace

uint32_t XMeshFvf(const XMeshData& data) {
    uint32_t fvf = Fvf::XYZ;
    if (data.hasNormals) fvf |= Fvf::Normal;
    if (data.hasColors) fvf |= Fvf::Diffuse;
    if (data.hasTexCoords) fvf |= Fvf::Tex1;
    return fvf;
}

bool XMeshElements(const std::vector<const XMeshData*>& meshes, std::vector<VertexElement>* elements,
                   const XMeshData** conflict) {
    uint32_t fvf = 0;
    for (const XMeshData* mesh : meshes) fvf |= XMeshFvf(*mesh);
    VertexElement decl[kMaxDeclLength];
    DeclaratorFromFvf(fvf, decl);
    *elements = DeclarationElements(decl);
    uint32_t stride = DeclarationVertexSize(decl);
    for (const XMeshData* mesh : meshes)
        for (const auto& block : mesh->vertexData)
            for (const auto& e : block.elements) {
                if (const VertexElement* same = FindElement(*elements, e.usage, e.usageIndex)) {
                    if (same->type == e.type) continue;
                    if (conflict != nullptr) *conflict = mesh;
                    return false;
                }
                if (elements->size() >= kMaxDeclLength - 1) {  // room for the end marker
                    if (conflict != nullptr) *conflict = mesh;
                    return false;
                }
                elements->push_back(VertexElement{0, uint16_t(stride), e.type, DeclMethod::Default, e.usage, e.usageIndex});
                stride += DeclTypeSize(e.type);
            }
    // Blocks that only add what an FVF can say (a colour, more texture sets) give the FVF's layout.
    std::vector<VertexElement> ordered = *elements;
    auto rank = [](const VertexElement& e) {
        switch (e.usage) {
        case DeclUsage::Position: return 0;
        case DeclUsage::Normal: return 1;
        case DeclUsage::PSize: return 2;
        case DeclUsage::Color: return 3 + e.usageIndex;
        case DeclUsage::TexCoord: return 300 + e.usageIndex;
        default: return 1000;
        }
    };
    std::stable_sort(ordered.begin(), ordered.end(), [&](const VertexElement& a, const VertexElement& b) { return rank(a) < rank(b); });
    uint16_t offset = 0;
    for (auto& e : ordered) {
        e.offset = offset;
        offset = uint16_t(offset + DeclTypeSize(e.type));
    }
    ordered.push_back(kDeclEnd);
    uint32_t orderedFvf = 0;
    if (Succeeded(FvfFromDeclarator(ordered.data(), &orderedFvf))) {
        ordered.pop_back();
        *elements = std::move(ordered);
    }
    return true;
}

void AppendXMesh(const XMeshData& data, const Matrix* transform, uint32_t noListAttribute, BuiltMesh* out) {
    const uint32_t fileVertices = uint32_t(data.positions.size());
    // Normal of each built vertex (index into data.normals) and the file vertex behind it; a map from
    // (file vertex, normal value) finds the copy already made for a corner.
    std::vector<uint32_t> normalOf(fileVertices, kNone), source(fileVertices);
    std::iota(source.begin(), source.end(), 0u);
    std::unordered_map<CornerKey, uint32_t, CornerKeyHash> made;
    std::vector<uint32_t> cornerVertex(data.polygonCorners.size());
    for (size_t k = 0; k < data.polygonCorners.size(); ++k) {
        uint32_t v = data.polygonCorners[k];
        if (data.hasNormals) {
            const uint32_t n = data.cornerNormals[k];
            const CornerKey key = KeyOf(v, data.normals[n]);
            auto it = made.find(key);
            if (it != made.end()) {
                v = it->second;
            } else if (normalOf[v] == kNone) {
                normalOf[v] = n;
                made.emplace(key, v);
            } else {
                const uint32_t copy = uint32_t(normalOf.size());
                normalOf.push_back(n);
                source.push_back(v);
                made.emplace(key, copy);
                v = copy;
            }
        }
        cornerVertex[k] = v;
    }

    // ---- vertices ----
    std::vector<VertexElement> decl = out->elements;
    decl.push_back(kDeclEnd);
    const auto& elements = out->elements;
    // The standard blocks fill their elements only when this mesh has them: another mesh of a merged
    // file may have put them in the layout.
    const VertexElement* normalElement = data.hasNormals ? FindElement(elements, DeclUsage::Normal) : nullptr;
    const VertexElement* colorElement = FindElement(elements, DeclUsage::Color);
    if (colorElement != nullptr && colorElement->type != DeclType::Color) colorElement = nullptr;
    const VertexElement* texElement = FindElement(elements, DeclUsage::TexCoord);
    out->stride = DeclarationVertexSize(decl.data());
    // Where each element of the mesh's DeclData and FVFData blocks goes in the vertex.
    struct BlockCopy {
        const XVertexData* block;
        const VertexElement* from;
        const VertexElement* to;
    };
    std::vector<BlockCopy> copies;
    for (const auto& block : data.vertexData)
        for (const auto& e : block.elements)
            if (const VertexElement* to = FindElement(elements, e.usage, e.usageIndex)) copies.push_back({&block, &e, to});

    Matrix normalMatrix;
    if (transform != nullptr) {
        Matrix inverse;
        if (MatrixInverse(&inverse, nullptr, transform) != nullptr) MatrixTranspose(&normalMatrix, &inverse);
        else normalMatrix = *transform;
    }

    const uint32_t base = out->vertexCount;
    const uint32_t added = uint32_t(source.size());
    out->vertices.resize(size_t(base + added) * out->stride, 0);
    for (uint32_t i = 0; i < added; ++i) {
        uint8_t* vertex = out->vertices.data() + size_t(base + i) * out->stride;
        const uint32_t v = source[i];
        Vector3 position = data.positions[v];
        if (transform != nullptr) Vec3TransformCoord(&position, &position, transform);
        std::memcpy(vertex, &position, sizeof position);
        if (normalElement != nullptr && normalOf[i] != kNone) {
            Vector3 normal = data.normals[normalOf[i]];
            if (transform != nullptr) {
                Vec3TransformNormal(&normal, &normal, &normalMatrix);
                Vec3Normalize(&normal, &normal);
            }
            std::memcpy(vertex + normalElement->offset, &normal, sizeof normal);
        }
        if (colorElement != nullptr) {
            const Color colour = data.hasColors ? data.colors[v] : 0xFFFFFFFFu;
            std::memcpy(vertex + colorElement->offset, &colour, sizeof colour);
        }
        if (texElement != nullptr && data.hasTexCoords)
            std::memcpy(vertex + texElement->offset, &data.texCoords[v], sizeof(Vector2));
        for (const auto& copy : copies) {
            uint8_t* to = vertex + copy.to->offset;
            std::memcpy(to, copy.block->data.data() + size_t(v) * copy.block->stride + copy.from->offset,
                        DeclTypeSize(copy.from->type));
            const bool direction = copy.from->usage == DeclUsage::Normal || copy.from->usage == DeclUsage::Tangent ||
                                   copy.from->usage == DeclUsage::Binormal;
            if (transform != nullptr && direction &&
                (copy.from->type == DeclType::Float3 || copy.from->type == DeclType::Float4)) {
                Vector3 d;
                std::memcpy(&d, to, sizeof d);
                Vec3TransformNormal(&d, &d, &normalMatrix);
                Vec3Normalize(&d, &d);
                std::memcpy(to, &d, sizeof d);
            }
        }
        out->sourceVertex.push_back(v);
    }
    out->vertexCount = base + added;

    // ---- triangles ----
    const uint32_t attributeBase = uint32_t(out->materials.size());
    size_t corner = 0;
    for (size_t p = 0; p < data.polygonSizes.size(); ++p) {
        const uint32_t size = data.polygonSizes[p];
        const uint32_t attribute = data.hasMaterialList ? attributeBase + data.polygonMaterials[p] : noListAttribute;
        for (uint32_t i = 1; i + 1 < size; ++i) {
            out->indices.push_back(base + cornerVertex[corner]);
            out->indices.push_back(base + cornerVertex[corner + i]);
            out->indices.push_back(base + cornerVertex[corner + i + 1]);
            out->attributes.push_back(attribute);
        }
        corner += size;
    }
    if (data.hasMaterialList) out->materials.insert(out->materials.end(), data.materials.begin(), data.materials.end());
}

Result CreateMeshFromBuilt(const BuiltMesh& built, uint32_t options, Device* device, std::shared_ptr<Mesh>* mesh,
                           std::vector<uint32_t>* adjacency) {
    const uint32_t faces = uint32_t(built.attributes.size());
    if (built.vertexCount > 0xFFFF) options |= MeshOption::Use32Bit;
    std::shared_ptr<Mesh> result;
    std::vector<VertexElement> decl = built.elements;
    decl.push_back(kDeclEnd);
    Result r = CreateMesh(faces, built.vertexCount, options, decl.data(), device, &result);
    if (Failed(r)) return r;

    std::vector<uint32_t> order(faces);
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(),
                     [&](uint32_t a, uint32_t b) { return built.attributes[a] < built.attributes[b]; });

    std::memcpy(result->VertexData(), built.vertices.data(), built.vertices.size());
    void* data = nullptr;
    result->LockIndexBuffer(0, &data);
    const bool wide = (result->GetOptions() & MeshOption::Use32Bit) != 0;
    for (uint32_t f = 0; f < faces; ++f)
        for (uint32_t c = 0; c < 3; ++c) {
            const uint32_t index = built.indices[size_t(order[f]) * 3 + c];
            if (wide) {
                std::memcpy(static_cast<uint8_t*>(data) + (size_t(f) * 3 + c) * 4, &index, 4);
            } else {
                const uint16_t narrow = uint16_t(index);
                std::memcpy(static_cast<uint8_t*>(data) + (size_t(f) * 3 + c) * 2, &narrow, 2);
            }
        }
    result->UnlockIndexBuffer();
    auto& attributes = result->MutableAttributes();
    for (uint32_t f = 0; f < faces; ++f) attributes[f] = built.attributes[order[f]];
    const auto table = BuildAttributeTable(*result);
    result->SetAttributeTable(table.data(), uint32_t(table.size()));

    if (adjacency != nullptr) {
        adjacency->resize(size_t(faces) * 3);
        result->GenerateAdjacency(0.0f, adjacency->data());
    }
    *mesh = std::move(result);
    return Result::Ok;
}

std::shared_ptr<SkinInfo> CreateSkinInfoFromX(const XMeshData& data, const BuiltMesh& built, const Mesh& mesh) {
    if (data.skinWeights.empty()) return nullptr;
    VertexElement decl[kMaxDeclLength];
    mesh.GetDeclaration(decl);
    std::shared_ptr<SkinInfo> skin;
    if (Failed(CreateSkinInfo(mesh.GetNumVertices(), decl, uint32_t(data.skinWeights.size()), &skin))) return nullptr;
    // Built vertices of each file vertex: the original first, then its copies.
    std::vector<std::vector<uint32_t>> copies(data.positions.size());
    for (uint32_t b = 0; b < built.sourceVertex.size(); ++b) copies[built.sourceVertex[b]].push_back(b);
    for (uint32_t bone = 0; bone < data.skinWeights.size(); ++bone) {
        const auto& weights = data.skinWeights[bone];
        skin->SetBoneName(bone, weights.boneName.c_str());
        skin->SetBoneOffsetMatrix(bone, &weights.offset);
        std::vector<uint32_t> vertices;
        std::vector<float> values;
        for (size_t i = 0; i < weights.vertices.size(); ++i)
            for (uint32_t to : copies[weights.vertices[i]]) {
                vertices.push_back(to);
                values.push_back(weights.weights[i]);
            }
        skin->SetBoneInfluence(bone, uint32_t(vertices.size()), vertices.data(), values.data());
    }
    return skin;
}

}  // namespace velor
