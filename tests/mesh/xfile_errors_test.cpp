// Malformed files are refused with "file: line N: what was expected", never a crash.
#include "tests/mesh/mesh_test_support.h"

namespace velor {
namespace {

struct BadFile {
    const char* name;
    std::string text;
    const char* message;  // expected to start the error, after "bad.x: "
};

const char* kTriangle = "3; 0;0;0;, 1;0;0;, 0;1;0;;\n";

std::vector<BadFile> BadFiles() {
    const std::string header = "xof 0303txt 0032\n";
    std::string deep = header;
    for (int i = 0; i < 70; ++i) deep += "Frame {\n";
    return {
        {"EmptyFile", "", "line 1: expected the X file header 'xof 0303txt 0032'"},
        {"NotAnXFile", "solid cube\nfacet normal 0 0 1\n", "line 1: expected the X file header"},
        {"BinaryHeader", std::string("xof 0303bin 0032\x01\x00\x05\x00", 20), "line 1: binary X files are not supported yet"},
        {"CompressedHeader", "xof 0303tzip0032\x12\x34", "line 1: compressed X files are not supported"},
        {"OddFloatSize", "xof 0303txt 0016\n", "line 1: expected float size 0032 or 0064"},
        {"TruncatedInsideMesh", header + "Mesh M {\n3;\n0;0;0;, 1;0;",
         "line 4: expected '}' to close 'Mesh' opened at line 2, found the end of the file"},
        {"MoreVerticesThanData", header + "Mesh {\n100;\n0;0;0;;\n1; 3; 0,0,0;;\n}\n",
         "line 4: expected 100 vertex positions (300 values) in 'Mesh', found only 8 values"},
        {"MoreFacesThanData", header + "Mesh {\n" + kTriangle + "5;\n3;0,1,2;;\n}\n",
         "line 5: expected 5 faces (20 values) in 'Mesh', found only 4 values"},
        {"FaceIndexOutOfRange", header + "Mesh {\n" + kTriangle + "1;\n3;0,1,\n5;;\n}\n",
         "line 6: face 0: vertex index 5 out of range (3 vertices)"},
        {"FaceWithTwoCorners", header + "Mesh {\n" + kTriangle + "1;\n2;0,1;;\n3;0,1,2;;\n}\n",
         "line 5: face 0 has 2 corners, expected at least 3"},
        {"NegativeCount", header + "Mesh {\n-3;\n}\n", "line 3: expected the vertex count (a whole number from 0), found -3"},
        {"StringForCount", header + "Mesh {\n\"three\";\n}\n", "line 3: expected the vertex count, found a string"},
        {"NormalIndexOutOfRange",
         header + "Mesh {\n" + kTriangle + "1; 3;0,1,2;;\nMeshNormals {\n1; 0;0;1;;\n1; 3;0,0,\n1;;\n}\n}\n",
         "line 8: face normal 0: normal index 1 out of range (1 normals)"},
        {"FaceNormalCornersDiffer",
         header + "Mesh {\n" + kTriangle + "1; 3;0,1,2;;\nMeshNormals {\n1; 0;0;1;;\n1;\n4;0,0,0,0;;\n}\n}\n",
         "line 8: face normal 0 has 4 corners, expected 3 as its face"},
        {"TooFewTextureCoords",
         header + "Mesh {\n" + kTriangle + "1; 3;0,1,2;;\nMeshTextureCoords {\n2; 0;0;, 1;1;;\n}\n}\n",
         "line 6: expected 3 texture coordinates (one per vertex), found a count of 2"},
        {"MaterialIndexOutOfRange",
         header + "Mesh {\n" + kTriangle + "1; 3;0,1,2;;\nMeshMaterialList {\n1; 1;\n2;;\n}\n}\n",
         "line 7: face 0: material index 2 out of range (1 materials)"},
        {"MissingMaterials", header + "Mesh {\n" + kTriangle + "1; 3;0,1,2;;\nMeshMaterialList {\n2; 1; 1;;\n}\n}\n",
         "line 7: expected 2 materials in 'MeshMaterialList', found 0"},
        {"ReferenceToMissingName",
         header + "Mesh {\n" + kTriangle + "1; 3;0,1,2;;\nMeshMaterialList {\n1; 1; 0;;\n{ NoSuchMaterial }\n}\n}\n",
         "line 7: reference to unknown object 'NoSuchMaterial'"},
        {"ReferenceToNonMaterial",
         header + "Frame F {}\nMesh {\n" + kTriangle + "1; 3;0,1,2;;\nMeshMaterialList {\n1; 1; 0;;\n{ F }\n}\n}\n",
         "line 8: expected a reference to a Material, 'F' is 'Frame F'"},
        {"SkinWeightOutOfRange",
         header + "Mesh {\n" + kTriangle + "1; 3;0,1,2;;\nSkinWeights {\n\"Bone\"; 1;\n3;\n1.0;\n"
                  "1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1;;\n}\n}\n",
         "line 7: bone 'Bone': vertex index 3 out of range (3 vertices)"},
        {"SkinWeightsShortOfMatrix", header + "Mesh {\n" + kTriangle + "1; 3;0,1,2;;\nSkinWeights {\n\"Bone\"; 1; 0; 1.0;\n1,0,0;;\n}\n}\n",
         "line 8: expected the bone's offset matrix in 'SkinWeights', found '}'"},
        {"AnimationOfMissingFrame", header + "AnimationSet {\nAnimation {\n{ Nowhere }\n}\n}\n",
         "line 4: reference to unknown object 'Nowhere'"},
        {"UnknownKeyType", header + "Frame F {}\nAnimationSet { Animation { {F}\nAnimationKey {\n7; 0;\n}\n}\n}\n",
         "line 5: expected a key type 0 (rotation), 1 (scale), 2 (position) or 4 (matrix), found 7"},
        {"RotationKeyWithThreeValues",
         header + "Frame F {}\nAnimationSet { Animation { {F}\nAnimationKey {\n0; 1;\n0; 3; 1,0,0;;, 10; 4; 1,0,0,0;;;\n}\n}\n}\n",
         "line 6: key 0: expected 4 values for a rotation key, found 3"},
        {"ZeroTicksPerSecond", header + "AnimTicksPerSecond {\n0;\n}\n", "line 3: expected a tick rate above 0, found 0"},
        {"MissingBrace", header + "Mesh Cube 3;\n", "line 2: expected '{' after 'Mesh', found '3'"},
        {"StrayCharacter", header + "Mesh {\n3; 0;0;0; @\n}\n", "line 3: unexpected character '@'"},
        {"StrayByte", header + "Mesh {\n3; 0;0;0; \x01\n}\n", "line 3: unexpected byte 0x01"},
        // Where D3DX refuses and a lenient reader would quietly load something else.
        {"FaceCountOneShort", header + "Mesh {\n" + kTriangle + "1;\n3;0,1,2;,\n3;0,2,1;;\n}\n",
         "line 6: 4 values left over in 'Mesh' after the faces (is a count one short?)"},
        {"FaceNormalCountOneShort",
         header + "Mesh {\n" + kTriangle + "1; 3;0,1,2;;\nMeshNormals {\n1; 0;0;1;;\n1; 3;0,0,0;, 3;0,0,0;;\n}\n}\n",
         "line 7: 4 values left over in 'MeshNormals' after the face normals (is a count one short?)"},
        {"MaterialValuesLeftOver",
         header + "Mesh {\n" + kTriangle + "1; 3;0,1,2;;\nMeshMaterialList {\n1; 1; 0;;\nMaterial { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; 7; }\n}\n}\n",
         "line 7: 1 values left over in 'Material' after the emissive colour"},
        {"DeclDataWithHugeCount",
         header + "Mesh {\n" + kTriangle + "1; 3;0,1,2;;\nDeclData {\n1; 2;0;3;0;;\n4294967295;\n}\n}\n",
         "line 7: expected 9 DWORDs (3 vertices of 3), found a count of 4294967295"},
        {"FVFDataWithoutData", header + "Mesh {\n" + kTriangle + "1; 3;0,1,2;;\nFVFData {\n258; 0;;\n}\n}\n",
         "line 6: expected 6 DWORDs (3 vertices of 2), found a count of 0"},
        {"UnknownVersion", "xof 0304txt 0032\n", "line 1: X file version '0304' is not supported (0302 or 0303)"},
        {"OldVersion", "xof 0201txt 0032\n", "line 1: X file version '0201' is not supported"},
        {"UnclosedString", header + "Mesh {\n\"abc;\n}\n", "line 3: string not closed before the end of the file"},
        {"NumberOutOfRange", header + "Mesh {\n3; 1e999;\n}\n", "line 3: number out of range"},
        {"WordForNumber", header + "Mesh {\n3; 0;0;0;, 1;nan;0;, 0;1;0;;\n}\n", "line 3: expected a number, found 'nan'"},
        {"HexForNumber", header + "Mesh {\n3;\n0x10;0;0;,\n}\n", "line 4: expected a number, found '0x10'"},
        {"NestedTooDeep", deep, "line 66: objects nested more than 64 deep"},
        {"NoMesh", header + "Frame Empty {}\n", "line 1: expected a Mesh, the file holds none"},
        {"MeshWithoutFaces", header + "Mesh Nothing {\n" + kTriangle + "0;;\n}\n",
         "line 2: expected at least one face, the file's meshes have none"},
    };
}

// A frame alone is a valid hierarchy, so that case is for the flat loader only.
std::vector<BadFile> BadHierarchyFiles() {
    auto files = BadFiles();
    std::erase_if(files, [](const BadFile& f) { return std::string(f.name) == "NoMesh"; });
    return files;
}

class XFileErrors : public testing::TestWithParam<BadFile> {};
class XFileHierarchyErrors : public testing::TestWithParam<BadFile> {};

TEST_P(XFileErrors, RefusedWithFileLineAndWhatWasExpected) {
    const BadFile& bad = GetParam();
    std::shared_ptr<Mesh> mesh;
    std::string error;
    EXPECT_EQ(LoadMeshFromXInMemory(bad.text, "bad.x", MeshOption::Managed, nullptr, nullptr, nullptr, nullptr, nullptr,
                                    &mesh, &error),
              Result::InvalidData);
    EXPECT_EQ(mesh, nullptr);
    EXPECT_EQ(error.rfind(std::string("bad.x: ") + bad.message, 0), 0u) << "got: " << error;
}

// The hierarchy loader reads the same files and must refuse them the same way, leaving nothing behind.
TEST_P(XFileHierarchyErrors, RefusedWithNothingLeftBehind) {
    const BadFile& bad = GetParam();
    test::TestAllocator allocator;
    Frame* root = nullptr;
    std::shared_ptr<AnimationController> controller;
    std::string error;
    EXPECT_NE(LoadMeshHierarchyFromXInMemory(bad.text, "bad.x", 0, nullptr, &allocator, nullptr, &root, &controller,
                                             &error),
              Result::Ok);
    EXPECT_EQ(root, nullptr);
    EXPECT_EQ(controller, nullptr);
    EXPECT_EQ(allocator.liveFrames, 0);
    EXPECT_EQ(allocator.liveContainers, 0);
    EXPECT_EQ(error.rfind("bad.x: line ", 0), 0u) << error;
}

std::string CaseName(const testing::TestParamInfo<BadFile>& info) { return info.param.name; }
INSTANTIATE_TEST_SUITE_P(Table, XFileErrors, testing::ValuesIn(BadFiles()), CaseName);
INSTANTIATE_TEST_SUITE_P(Table, XFileHierarchyErrors, testing::ValuesIn(BadHierarchyFiles()), CaseName);

TEST(XFileHierarchyAllocator, RefusedContainerUnwindsTheFramesMadeSoFar) {
    test::TestAllocator allocator;
    allocator.refuseContainers = true;
    Frame* root = nullptr;
    std::string error;
    EXPECT_NE(LoadMeshHierarchyFromX(test::DataPath("skinned.x").c_str(), 0, nullptr, &allocator, nullptr, &root,
                                     nullptr, &error),
              Result::Ok);
    EXPECT_EQ(root, nullptr);
    EXPECT_GT(allocator.frameNames.size(), 0u);
    EXPECT_EQ(allocator.liveFrames, 0);
    EXPECT_NE(error.find("refused"), std::string::npos) << error;
}

}  // namespace
}  // namespace velor
