#pragma once
// A deliberately independent reader of the text X files the generator writes, for tests: it knows
// nothing of the generator's types, so a mistake in the writer cannot be mirrored here. It reads the
// generic structure (objects with a type, an optional name, data values and nested objects or
// references) and then interprets the handful of standard objects the demo's files use.

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace velor::content::probe {

struct XObject {
    std::string type;
    std::string name;
    std::vector<double> numbers;        // every number of the object's own data, in order
    std::vector<std::string> strings;   // every quoted string of the object's own data
    std::vector<std::string> references;
    std::vector<XObject> children;

    const XObject* Child(const std::string& childType) const;
    std::vector<const XObject*> Children(const std::string& childType) const;
};

struct XDocument {
    std::string header;            // the first 16 bytes
    std::vector<XObject> objects;  // top-level objects
    std::string error;             // empty when the whole text was read
};

XDocument ParseXText(const std::string& text);

struct P3 {
    double x = 0, y = 0, z = 0;
};

struct ProbeMaterial {
    std::array<double, 4> diffuse{};
    std::array<double, 3> emissive{};
    std::string texture;
};

struct ProbeSkin {
    std::string bone;
    std::vector<uint32_t> vertices;
    std::vector<double> weights;
    std::array<double, 16> offset{};
};

// A Mesh object, interpreted; `error` says what did not add up.
struct ProbeMesh {
    std::vector<P3> positions;
    std::vector<std::array<uint32_t, 3>> faces;
    std::vector<P3> normals;
    std::vector<std::array<uint32_t, 3>> normalFaces;
    std::vector<std::array<double, 2>> uvs;
    std::vector<uint32_t> faceMaterials;
    std::vector<ProbeMaterial> materials;
    bool hasSkinHeader = false;
    std::array<int, 3> skinHeader{};    // max weights per vertex, per face, bone count
    std::vector<ProbeSkin> skin;
    std::string error;
};
ProbeMesh InterpretMesh(const XObject& mesh);

// Every Mesh object anywhere in the document, depth first.
std::vector<const XObject*> FindAll(const XDocument& doc, const std::string& type);

}  // namespace velor::content::probe
