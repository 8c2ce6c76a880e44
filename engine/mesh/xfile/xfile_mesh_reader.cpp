// Mesh and its companions (MeshNormals, MeshTextureCoords, MeshVertexColors, MeshMaterialList,
// Material, TextureFilename, SkinWeights, XSkinMeshHeader, VertexDuplicationIndices; DeclData and
// FVFData in xfile_vertex_data_reader.cpp).
// Each count is checked against the values that remain before anything is sized by it, and each
// index against what it indexes, so a malformed file stops here with its line number.
#include "engine/math/d3dx_math.h"
#include "engine/mesh/xfile/xfile_cursor.h"
#include "engine/mesh/xfile/xfile_readers.h"

namespace velor {

namespace {

std::string Ordinal(const char* what, uint32_t i) { return std::string(what) + " " + std::to_string(i); }

bool ReadPositionsAndFaces(XCursor& in, XMeshData* mesh) {
    uint32_t vertexCount = 0, faceCount = 0;
    if (!in.Uint(&vertexCount, "the vertex count") || !in.Expect(vertexCount, 3, "vertex positions")) return false;
    mesh->positions.resize(vertexCount);
    for (auto& p : mesh->positions)
        if (!in.Vec3(&p, "a vertex position")) return false;
    if (!in.Uint(&faceCount, "the face count") || !in.Expect(faceCount, 4, "faces")) return false;
    mesh->polygonSizes.resize(faceCount);
    for (uint32_t f = 0; f < faceCount; ++f) {
        uint32_t corners = 0;
        const uint32_t line = in.Line();
        if (!in.Uint(&corners, "the corner count of " + Ordinal("face", f))) return false;
        if (corners < 3)
            return in.Fail(line, Ordinal("face", f) + " has " + std::to_string(corners) + " corners, expected at least 3");
        if (!in.Expect(corners, 1, "corner indices")) return false;
        mesh->polygonSizes[f] = corners;
        for (uint32_t c = 0; c < corners; ++c) {
            uint32_t index = 0;
            const uint32_t indexLine = in.Line();
            if (!in.Uint(&index, "a vertex index")) return false;
            if (index >= vertexCount)
                return in.Fail(indexLine, Ordinal("face", f) + ": vertex index " + std::to_string(index) +
                                              " out of range (" + std::to_string(vertexCount) + " vertices)");
            mesh->polygonCorners.push_back(index);
        }
    }
    return in.Finish("the faces");
}

bool ReadNormals(const XObject& object, XMeshData* mesh, std::string_view label, std::string* error) {
    XCursor in(object, label, error);
    uint32_t normalCount = 0, faceCount = 0;
    if (!in.Uint(&normalCount, "the normal count") || !in.Expect(normalCount, 3, "normals")) return false;
    mesh->normals.resize(normalCount);
    for (auto& n : mesh->normals) {
        if (!in.Vec3(&n, "a normal")) return false;
        Vec3Normalize(&n, &n);
    }
    const uint32_t countLine = in.Line();
    if (!in.Uint(&faceCount, "the face normal count")) return false;
    if (faceCount != mesh->polygonSizes.size())
        return in.Fail(countLine, "expected " + std::to_string(mesh->polygonSizes.size()) +
                                      " face normals (one per face), found a count of " + std::to_string(faceCount));
    if (!in.Expect(faceCount, 4, "face normals")) return false;
    mesh->cornerNormals.clear();
    mesh->cornerNormals.reserve(mesh->polygonCorners.size());
    for (uint32_t f = 0; f < faceCount; ++f) {
        uint32_t corners = 0;
        const uint32_t line = in.Line();
        if (!in.Uint(&corners, "the corner count of " + Ordinal("face normal", f))) return false;
        if (corners != mesh->polygonSizes[f])
            return in.Fail(line, Ordinal("face normal", f) + " has " + std::to_string(corners) + " corners, expected " +
                                     std::to_string(mesh->polygonSizes[f]) + " as its face");
        if (!in.Expect(corners, 1, "normal indices")) return false;
        for (uint32_t c = 0; c < corners; ++c) {
            uint32_t index = 0;
            const uint32_t indexLine = in.Line();
            if (!in.Uint(&index, "a normal index")) return false;
            if (index >= normalCount)
                return in.Fail(indexLine, Ordinal("face normal", f) + ": normal index " + std::to_string(index) +
                                              " out of range (" + std::to_string(normalCount) + " normals)");
            mesh->cornerNormals.push_back(index);
        }
    }
    mesh->hasNormals = true;
    return in.Finish("the face normals");
}

bool ReadTexCoords(const XObject& object, XMeshData* mesh, std::string_view label, std::string* error) {
    XCursor in(object, label, error);
    uint32_t count = 0;
    const uint32_t line = in.Line();
    if (!in.Uint(&count, "the texture coordinate count")) return false;
    if (count < mesh->positions.size())
        return in.Fail(line, "expected " + std::to_string(mesh->positions.size()) +
                                 " texture coordinates (one per vertex), found a count of " + std::to_string(count));
    if (!in.Expect(count, 2, "texture coordinates")) return false;
    mesh->texCoords.resize(mesh->positions.size());
    for (uint32_t i = 0; i < count; ++i) {
        Vector2 uv;
        if (!in.Vec2(&uv, "a texture coordinate")) return false;
        if (i < mesh->texCoords.size()) mesh->texCoords[i] = uv;
    }
    mesh->hasTexCoords = true;
    return in.Finish("the texture coordinates");
}

bool ReadVertexColors(const XObject& object, XMeshData* mesh, std::string_view label, std::string* error) {
    XCursor in(object, label, error);
    uint32_t count = 0;
    if (!in.Uint(&count, "the vertex colour count") || !in.Expect(count, 5, "vertex colours")) return false;
    mesh->colors.assign(mesh->positions.size(), 0xFFFFFFFFu);
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t index = 0;
        const uint32_t line = in.Line();
        ColorValue colour;
        if (!in.Uint(&index, "a vertex index") || !in.Color4(&colour, "a colour")) return false;
        if (index >= mesh->positions.size())
            return in.Fail(line, Ordinal("vertex colour", i) + ": vertex index " + std::to_string(index) +
                                     " out of range (" + std::to_string(mesh->positions.size()) + " vertices)");
        mesh->colors[index] = ValueToColor(colour);
    }
    mesh->hasColors = true;
    return in.Finish("the vertex colours");
}

bool ReadMaterialList(const XObject& object, const XDocument& document, XMeshData* mesh, std::string* error) {
    XCursor in(object, document.label, error);
    uint32_t materialCount = 0, indexCount = 0;
    if (!in.Uint(&materialCount, "the material count") || !in.Uint(&indexCount, "the face index count") ||
        !in.Expect(indexCount, 1, "face material indices"))
        return false;
    const size_t faces = mesh->polygonSizes.size();
    mesh->polygonMaterials.assign(faces, 0);
    for (uint32_t i = 0; i < indexCount; ++i) {
        uint32_t index = 0;
        const uint32_t line = in.Line();
        if (!in.Uint(&index, "a material index")) return false;
        if (index >= materialCount)
            return in.Fail(line, Ordinal("face", i) + ": material index " + std::to_string(index) + " out of range (" +
                                     std::to_string(materialCount) + " materials)");
        if (i < faces) mesh->polygonMaterials[i] = index;
    }
    // Exporters often write one index for a mesh of one material: later faces repeat the last.
    for (size_t f = indexCount; f < faces && indexCount > 0; ++f) mesh->polygonMaterials[f] = mesh->polygonMaterials[indexCount - 1];
    if (!in.Finish("the face material indices")) return false;

    mesh->materials.clear();
    for (const auto& child : object.children) {
        if (mesh->materials.size() == materialCount) break;
        const XObject* material = &child;
        if (child.isReference) {
            material = ResolveReference(child, document, error);
            if (material == nullptr) return false;
            if (!IsTemplate(*material, "Material"))
                return in.Fail(child.line, "expected a reference to a Material, '" + child.name + "' is " +
                                               ObjectTitle(*material));
        } else if (!IsTemplate(child, "Material")) {
            continue;
        }
        mesh->materials.emplace_back();
        if (!ReadMaterialObject(*material, document, &mesh->materials.back(), error)) return false;
    }
    if (mesh->materials.size() < materialCount)
        return in.Fail(object.endLine, "expected " + std::to_string(materialCount) + " materials in " +
                                           ObjectTitle(object) + ", found " + std::to_string(mesh->materials.size()));
    mesh->hasMaterialList = materialCount > 0;
    if (!mesh->hasMaterialList) mesh->polygonMaterials.clear();
    return true;
}

bool ReadSkinWeights(const XObject& object, XMeshData* mesh, std::string_view label, std::string* error) {
    XCursor in(object, label, error);
    XSkinWeightsData skin;
    uint32_t count = 0;
    if (!in.String(&skin.boneName, "the bone (frame) name") || !in.Uint(&count, "the weight count") ||
        !in.Expect(count, 2, "vertex indices and weights"))
        return false;
    skin.vertices.resize(count);
    skin.weights.resize(count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t line = in.Line();
        if (!in.Uint(&skin.vertices[i], "a vertex index")) return false;
        if (skin.vertices[i] >= mesh->positions.size())
            return in.Fail(line, "bone '" + skin.boneName + "': vertex index " + std::to_string(skin.vertices[i]) +
                                     " out of range (" + std::to_string(mesh->positions.size()) + " vertices)");
    }
    for (auto& w : skin.weights)
        if (!in.Float(&w, "a weight")) return false;
    if (!in.Mat(&skin.offset, "the bone's offset matrix") || !in.Finish("the offset matrix")) return false;
    mesh->skinWeights.push_back(std::move(skin));
    return true;
}

bool ReadDuplicationIndices(const XObject& object, const XMeshData& mesh, std::string_view label, std::string* error) {
    XCursor in(object, label, error);
    uint32_t count = 0, original = 0;
    if (!in.Uint(&count, "the index count") || !in.Uint(&original, "the original vertex count") ||
        !in.Expect(count, 1, "duplication indices"))
        return false;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t index = 0;
        const uint32_t line = in.Line();
        if (!in.Uint(&index, "a vertex index")) return false;
        if (index >= mesh.positions.size())
            return in.Fail(line, "duplication index " + std::to_string(index) + " out of range (" +
                                     std::to_string(mesh.positions.size()) + " vertices)");
    }
    return in.Finish("the duplication indices");
}

}  // namespace

bool ReadMaterialObject(const XObject& object, const XDocument& document, XMaterial* material, std::string* error) {
    XCursor in(object, document.label, error);
    Material& m = material->matD3D;
    if (!in.Color4(&m.diffuse, "the face colour (r, g, b, a)") || !in.Float(&m.power, "the specular power") ||
        !in.Color3(&m.specular, "the specular colour (r, g, b)") || !in.Color3(&m.emissive, "the emissive colour (r, g, b)"))
        return false;
    if (!in.Finish("the emissive colour")) return false;
    m.ambient = ColorValue{0.0f, 0.0f, 0.0f, 1.0f};
    material->textureFilename.clear();
    for (const auto& child : object.children) {
        if (!IsTemplate(child, "TextureFilename")) continue;
        XCursor name(child, document.label, error);
        if (!name.String(&material->textureFilename, "the texture file name")) return false;
        break;
    }
    return true;
}

bool ReadMeshObject(const XObject& object, const XDocument& document, XMeshData* mesh, std::string* error) {
    *mesh = XMeshData{};
    mesh->name = object.name;
    mesh->line = object.line;
    XCursor in(object, document.label, error);
    if (!ReadPositionsAndFaces(in, mesh)) return false;
    for (const auto& child : object.children) {
        bool ok = true;
        if (IsTemplate(child, "MeshNormals")) ok = ReadNormals(child, mesh, document.label, error);
        else if (IsTemplate(child, "MeshTextureCoords")) ok = ReadTexCoords(child, mesh, document.label, error);
        else if (IsTemplate(child, "MeshVertexColors")) ok = ReadVertexColors(child, mesh, document.label, error);
        else if (IsTemplate(child, "MeshMaterialList")) ok = ReadMaterialList(child, document, mesh, error);
        else if (IsTemplate(child, "SkinWeights")) ok = ReadSkinWeights(child, mesh, document.label, error);
        else if (IsTemplate(child, "VertexDuplicationIndices")) ok = ReadDuplicationIndices(child, *mesh, document.label, error);
        else if (IsTemplate(child, "DeclData") || IsTemplate(child, "FVFData")) {
            mesh->vertexData.emplace_back();
            ok = IsTemplate(child, "DeclData")
                     ? ReadDeclDataObject(child, *mesh, document.label, &mesh->vertexData.back(), error)
                     : ReadFvfDataObject(child, *mesh, document.label, &mesh->vertexData.back(), error);
        } else if (IsTemplate(child, "XSkinMeshHeader")) {
            XCursor header(child, document.label, error);
            uint32_t perVertex = 0, perFace = 0, bones = 0;
            ok = header.Uint(&perVertex, "the largest weight count per vertex") &&
                 header.Uint(&perFace, "the largest weight count per face") && header.Uint(&bones, "the bone count") &&
                 header.Finish("the bone count");
            mesh->maxSkinWeightsPerVertex = perVertex;
            mesh->maxSkinWeightsPerFace = perFace;
            mesh->headerBones = bones;
        }
        if (!ok) return false;
    }
    return ResolveVertexData(mesh, document.label, error);
}

}  // namespace velor
