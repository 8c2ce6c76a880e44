#include <cmath>

#include "tests/mesh/mesh_test_support.h"

namespace velor {
namespace {

struct Loaded {
    test::TestAllocator allocator;
    Frame* root = nullptr;
    std::shared_ptr<AnimationController> controller;

    Loaded(std::string_view text, const char* label) {
        std::string error;
        EXPECT_EQ(LoadMeshHierarchyFromXInMemory(text, label, 0, nullptr, &allocator, nullptr, &root, &controller, &error),
                  Result::Ok)
            << error;
    }
    explicit Loaded(const std::string& path) {
        std::string error;
        EXPECT_EQ(LoadMeshHierarchyFromX(path.c_str(), 0, nullptr, &allocator, nullptr, &root, &controller, &error),
                  Result::Ok)
            << error;
    }
    ~Loaded() { FrameDestroy(root, &allocator); }

    const Matrix& MatrixOf(const char* name) const { return FrameFind(root, name)->transformationMatrix; }
};

const char* kSlide = R"(xof 0303txt 0032
Frame Mover {
 FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 7,7,7,1;; }
 Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3; 0,1,2;; }
}
Frame Still { FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,9,1;; } }
AnimationSet Slide {
 Animation {
  { Mover }
  AnimationKey { 2; 2; 0; 3; 0,0,0;;, 4800; 3; 10,0,0;;; }
  AnimationKey { 1; 2; 0; 3; 1,1,1;;, 4800; 3; 3,1,1;;; }
 }
}
AnimationSet Other {
 Animation { { Still } AnimationKey { 2; 1; 0; 3; 0,0,1;;; } }
}
)";

TEST(AnimationController, WithoutTicksPerSecondKeysRunAt4800AndPositionsLoop) {
    Loaded file(kSlide, "slide.x");
    ASSERT_NE(file.controller, nullptr);
    std::shared_ptr<AnimationSet> set;
    ASSERT_EQ(file.controller->GetTrackAnimationSet(0, &set), Result::Ok);
    ASSERT_NE(set, nullptr);
    EXPECT_STREQ(set->GetName(), "Slide");  // the first set of the file plays on track 0
    EXPECT_EQ(set->GetSourceTicksPerSecond(), 4800.0);
    EXPECT_DOUBLE_EQ(set->GetPeriod(), 1.0);

    file.controller->AdvanceTime(0.25);
    const Matrix& m = file.MatrixOf("Mover");
    EXPECT_FLOAT_EQ(m.m[0][0], 1.5f);
    EXPECT_FLOAT_EQ(m.m[3][0], 2.5f);
    EXPECT_FLOAT_EQ(m.m[3][2], 0.0f);  // the frame's own translation is replaced, not added to
    file.controller->AdvanceTime(1.0);  // 1.25 s wraps to 0.25 s
    EXPECT_FLOAT_EQ(m.m[3][0], 2.5f);
    EXPECT_DOUBLE_EQ(file.controller->GetTime(), 1.25);
    EXPECT_EQ(file.MatrixOf("Still").m[3][2], 9.0f);  // its set is not on a track
}

TEST(AnimationController, RotationKeysAreSlerpedAndUnanimatedFramesKeepTheirMatrix) {
    Loaded file(test::DataPath("skinned.x"));
    ASSERT_NE(file.controller, nullptr);
    file.controller->AdvanceTime(0.5);  // half way to a quarter turn about z
    const Matrix& bone1 = file.MatrixOf("Bone1");
    const float c = std::cos(3.14159265f / 4);
    EXPECT_NEAR(bone1.m[0][0], c, 1e-5f);
    EXPECT_NEAR(bone1.m[0][1], c, 1e-5f);  // x turns towards +y
    EXPECT_NEAR(bone1.m[1][0], -c, 1e-5f);
    EXPECT_NEAR(bone1.m[3][1], 1.0f, 1e-6f);
    EXPECT_EQ(file.MatrixOf("Tip").m[3][1], 1.0f);
    EXPECT_EQ(file.MatrixOf("Root").m[0][0], 1.0f);
}

TEST(AnimationController, TracksCarryTheSetsAndTheirSpeed) {
    Loaded file(test::DataPath("skinned.x"));
    AnimationController& controller = *file.controller;
    ASSERT_EQ(controller.GetNumAnimationSets(), 1u);
    EXPECT_EQ(controller.GetMaxNumTracks(), 2u);
    std::shared_ptr<AnimationSet> set;
    controller.GetAnimationSet(0, &set);
    EXPECT_STREQ(set->GetName(), "Bend");
    EXPECT_DOUBLE_EQ(set->GetPeriod(), 2.0);
    ASSERT_EQ(set->GetNumAnimations(), 2u);
    const char* name = nullptr;
    set->GetAnimationNameByIndex(0, &name);
    EXPECT_STREQ(name, "Bone1");
    EXPECT_EQ(set->GetNumRotationKeys(0), 3u);
    EXPECT_EQ(set->GetNumTranslationKeys(0), 2u);
    EXPECT_EQ(set->GetNumScaleKeys(1), 2u);
    TrackDesc track;
    controller.GetTrackDesc(0, &track);
    EXPECT_TRUE(track.enable);
    controller.GetTrackDesc(1, &track);
    EXPECT_FALSE(track.enable);

    controller.SetTrackSpeed(0, 2.0f);
    controller.AdvanceTime(0.5);  // one second of animation
    EXPECT_NEAR(file.MatrixOf("Bone1").m[0][1], 1.0f, 1e-5f);
    controller.GetTrackDesc(0, &track);
    EXPECT_DOUBLE_EQ(track.position, 1.0);
}

TEST(AnimationController, MatrixKeysInterpolateElementByElement) {
    const char* text = R"(xof 0303txt 0032
AnimTicksPerSecond { 10; }
Frame Box { Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3; 0,1,2;; } }
AnimationSet { Animation { { Box }
 AnimationKey { 4; 2;
  0; 16; 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1;;,
  10; 16; 2,0,0,0, 0,1,0,0, 0,0,1,0, 4,0,0,1;;;
 }
} }
)";
    Loaded file(text, "matrix.x");
    ASSERT_NE(file.controller, nullptr);
    file.controller->AdvanceTime(0.5);
    const Matrix& m = file.MatrixOf("Box");
    EXPECT_FLOAT_EQ(m.m[0][0], 1.5f);
    EXPECT_FLOAT_EQ(m.m[3][0], 2.0f);
}

TEST(AnimationController, AFileWithoutAnimationHasNoController) {
    Loaded file(test::DataPath("cube.x"));
    EXPECT_NE(file.root, nullptr);
    EXPECT_EQ(file.controller, nullptr);
}

TEST(AnimationSet, PeriodicPositionFollowsThePlaybackType) {
    struct Case {
        PlaybackType type;
        double position, expected;
    };
    for (const Case& c : {Case{PlaybackType::Loop, 2.5, 0.5}, Case{PlaybackType::Loop, -0.5, 1.5},
                          Case{PlaybackType::Once, 2.5, 2.0}, Case{PlaybackType::PingPong, 2.5, 1.5}}) {
        AnimationSet set("s", 10.0, c.type);
        set.RegisterAnimationKeys("a", {{0, {}}, {20, {}}}, {}, {}, {}, nullptr);
        EXPECT_DOUBLE_EQ(set.GetPeriodicPosition(c.position), c.expected);
    }
}

}  // namespace
}  // namespace velor
