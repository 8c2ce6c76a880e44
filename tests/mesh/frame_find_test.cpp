// FrameFind walks as D3DX does: a frame, then its next sibling's branch, then its first child's.
#include <deque>

#include "tests/mesh/mesh_test_support.h"

namespace velor {
namespace {

// Frames built by hand; a null name is a frame without one.
struct Tree {
    std::vector<std::unique_ptr<Frame>> frames;
    std::deque<std::string> names;  // a deque keeps each name where it is

    Frame* Make(const char* name) {
        frames.push_back(std::make_unique<Frame>());
        if (name != nullptr) {
            names.emplace_back(name);
            frames.back()->name = names.back().data();
        }
        return frames.back().get();
    }
};

TEST(FrameFind, SiblingsBranchComesBeforeChildren) {
    // root ── child "X" (first)      root's sibling "X" (second), whose child is "Y"
    Tree tree;
    Frame* root = tree.Make("Root");
    Frame* child = tree.Make("X");
    Frame* sibling = tree.Make("X");
    Frame* nephew = tree.Make("Y");
    Frame* grandchild = tree.Make("Y");
    root->frameFirstChild = child;
    root->frameSibling = sibling;
    sibling->frameFirstChild = nephew;
    child->frameFirstChild = grandchild;
    EXPECT_EQ(FrameFind(root, "Root"), root);
    EXPECT_EQ(FrameFind(root, "X"), sibling);
    // The sibling's whole branch is searched before the root's children.
    EXPECT_EQ(FrameFind(root, "Y"), nephew);
    EXPECT_EQ(FrameFind(child, "Y"), grandchild);
    EXPECT_EQ(FrameFind(root, "Z"), nullptr);
}

TEST(FrameFind, NullNameFindsTheFirstFrameWithoutOne) {
    Tree tree;
    Frame* root = tree.Make("Root");
    Frame* empty = tree.Make("");
    Frame* unnamedChild = tree.Make(nullptr);
    Frame* unnamedSibling = tree.Make(nullptr);
    root->frameFirstChild = empty;
    empty->frameSibling = unnamedChild;
    root->frameSibling = unnamedSibling;
    EXPECT_EQ(FrameFind(root, nullptr), unnamedSibling);
    EXPECT_EQ(FrameFind(root->frameFirstChild, nullptr), unnamedChild);
    EXPECT_EQ(FrameFind(unnamedSibling, nullptr), unnamedSibling);  // a root without a name
    EXPECT_EQ(FrameFind(root, ""), empty);
}

TEST(FrameFind, NullNameFindsTheUnnamedRootOfALoadedMesh) {
    const char* text = "xof 0303txt 0032\nMesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }\n";
    test::TestAllocator allocator;
    Frame* root = nullptr;
    std::string error;
    ASSERT_EQ(LoadMeshHierarchyFromXInMemory(text, "bare.x", 0, nullptr, &allocator, nullptr, &root, nullptr, &error),
              Result::Ok)
        << error;
    EXPECT_EQ(root->name, nullptr);
    EXPECT_EQ(FrameFind(root, nullptr), root);
    FrameDestroy(root, &allocator);
}

}  // namespace
}  // namespace velor
