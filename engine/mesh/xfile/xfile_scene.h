#pragma once
// What an X file holds once its templates are read: frames with their meshes, and animation sets.
// Every count and index here has been checked against the data that follows it; the mesh builder
// and the loaders may index with them freely.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/gfx/d3d_types.h"
#include "engine/math/math_types.h"
#include "engine/mesh/material_list.h"

namespace velor {

struct XSkinWeightsData {
    std::string boneName;
    std::vector<uint32_t> vertices;  // file vertex indices, each below the mesh's position count
    std::vector<float> weights;
    Matrix offset;
};

// A DeclData or FVFData block: vertex elements beyond what the standard blocks give, with one record
// per position of the mesh. Element offsets are within a record.
struct XVertexData {
    uint32_t line = 0;
    bool fromFvf = false;  // FVFData: its texture coordinate sets come after the mesh's other sets
    std::vector<VertexElement> elements;
    uint32_t stride = 0;        // bytes per record
    std::vector<uint8_t> data;  // stride bytes for each position
};

struct XMeshData {
    std::string name;
    uint32_t line = 0;
    std::vector<Vector3> positions;
    std::vector<uint32_t> polygonSizes;    // corners of each polygon, at least 3
    std::vector<uint32_t> polygonCorners;  // position index of each corner, polygons one after another
    bool hasNormals = false;
    std::vector<Vector3> normals;          // normalised
    std::vector<uint32_t> cornerNormals;   // normal index of each corner, aligned with polygonCorners
    bool hasTexCoords = false;
    std::vector<Vector2> texCoords;        // one per position
    bool hasColors = false;
    std::vector<Color> colors;             // one per position; white where the file gives none
    bool hasMaterialList = false;
    std::vector<uint32_t> polygonMaterials;  // one per polygon, each below materials.size()
    std::vector<XMaterial> materials;
    // DeclData and FVFData blocks, in file order. Once the mesh is read no element repeats another or
    // one of the standard blocks above: an element of a block replaces the standard block's (whose
    // has* flag is then false) and FVFData texture sets are numbered after the others.
    std::vector<XVertexData> vertexData;
    std::vector<XSkinWeightsData> skinWeights;
    uint32_t maxSkinWeightsPerVertex = 0, maxSkinWeightsPerFace = 0, headerBones = 0;  // XSkinMeshHeader
};

struct XFrameData {
    std::string name;
    Matrix transform;  // the last FrameTransformMatrix, identity when there is none
    std::vector<XFrameData> children;
    std::vector<XMeshData> meshes;
    // For each child and each mesh: the product of the frame's FrameTransformMatrix blocks that come
    // before it in the file (a later block applied before an earlier one, as a nested frame's would
    // be), identity when none does. LoadMeshFromX places meshes with these.
    std::vector<Matrix> childPlacements, meshPlacements;
};

template <typename T>
struct XKey {
    uint32_t time = 0;  // ticks
    T value;
};

struct XAnimationData {
    std::string name;
    std::string frameName;  // the frame it animates
    std::vector<XKey<Quaternion>> rotationKeys;  // the file's (w, x, y, z), taken as they are
    std::vector<XKey<Vector3>> scaleKeys;
    std::vector<XKey<Vector3>> positionKeys;
    std::vector<XKey<Matrix>> matrixKeys;
    bool closed = true;            // AnimationOptions openclosed
    uint32_t positionQuality = 1;  // AnimationOptions: 0 spline, 1 linear
};

struct XAnimationSetData {
    std::string name;
    std::vector<XAnimationData> animations;
};

struct XFileData {
    std::vector<XFrameData> frames;  // top-level frames
    std::vector<XMeshData> meshes;   // top-level meshes outside any frame
    std::vector<XAnimationSetData> animationSets;
    uint32_t ticksPerSecond = 0;     // 0: the file gives none
};

// Reads an X file held in memory; label names it in error messages ("label: line N: ...").
Result ReadXFileFromMemory(std::string_view text, std::string_view label, XFileData* data, std::string* error);
Result ReadXFile(const char* path, XFileData* data, std::string* error);

}  // namespace velor
