// Point seeking: fixed steps toward a target, the distance before the step, overshoot, and tables
// that are never touched outside their bounds.
#include <gtest/gtest.h>

#include <cmath>

#include "demo/sprites/point_seeking.h"

namespace velor::demo {
namespace {

TEST(SeekPoint2, StepsHalfAUnitTowardTheTargetAndGivesTheDistanceBefore) {
    gSeeking.waypoints[10] = {5, 0};
    float d = SeekPoint2(10, {1.5f, -1}, 0.5f);
    EXPECT_NEAR(d, std::sqrt(12.25f + 1.0f), 1e-6);
    EXPECT_NEAR(d, 3.640f, 5e-4);
    const Vector2& p = gSeeking.waypoints[10];
    // 0.5 along (-3.5, -1) / 3.640.
    EXPECT_NEAR(p.x, 5 - 0.5f * 3.5f / 3.6400549f, 1e-5);
    EXPECT_NEAR(p.y, -0.5f * 1.0f / 3.6400549f, 1e-5);
    EXPECT_NEAR(std::hypot(p.x - 5, p.y), 0.5f, 1e-5);
}

TEST(SeekPoint2, OvershootsANearTargetAndComesBackNextTime) {
    gSeeking.waypoints[3] = {0, 0};
    EXPECT_FLOAT_EQ(SeekPoint2(3, {0.3f, 0}, 1.0f), 0.3f);
    EXPECT_FLOAT_EQ(gSeeking.waypoints[3].x, 1.0f) << "carried past the target";
    EXPECT_FLOAT_EQ(SeekPoint2(3, {0.3f, 0}, 1.0f), 0.7f);
    EXPECT_FLOAT_EQ(gSeeking.waypoints[3].x, 0.0f) << "and back by one step";
}

TEST(SeekPoint3, PointAtItsTargetGivesZeroAndStays) {
    gSeeking.followers[5] = {1, 2, 3};
    EXPECT_EQ(SeekPoint3(5, {1, 2, 3}, 0.5f), 0.0f);
    EXPECT_FLOAT_EQ(gSeeking.followers[5].x, 1.0f);
    EXPECT_FLOAT_EQ(gSeeking.followers[5].y, 2.0f);
    EXPECT_FLOAT_EQ(gSeeking.followers[5].z, 3.0f);
}

TEST(SeekPoint3, StepZeroLeavesThePointButStillGivesTheDistance) {
    gSeeking.followers[6] = {0, 0, 0};
    EXPECT_FLOAT_EQ(SeekPoint3(6, {2, 3, 6}, 0.0f), 7.0f);
    EXPECT_EQ(gSeeking.followers[6].x, 0.0f);
    EXPECT_EQ(gSeeking.followers[6].y, 0.0f);
    EXPECT_EQ(gSeeking.followers[6].z, 0.0f);
}

TEST(SeekPoint3, FollowerAtTheOriginSeekingAMirroredVertexMovesInMinusX) {
    gSeeking.followers[7] = {0, 0, 0};
    EXPECT_FLOAT_EQ(SeekPoint3(7, {-1199, 0, 0}, 0.25f), 1199.0f);
    EXPECT_FLOAT_EQ(gSeeking.followers[7].x, -0.25f);
    EXPECT_EQ(gSeeking.followers[7].y, 0.0f);
}

TEST(SeekPoint3, OvershootJittersAboutTheTargetByAtMostOneStep) {
    gSeeking.followers[8] = {0, 0, 0};
    const Vector3 target{0, 0, 1};
    for (int i = 0; i < 20; ++i) SeekPoint3(8, target, 0.3f);
    EXPECT_LE(std::fabs(gSeeking.followers[8].z - 1.0f), 0.3f + 1e-5);
}

TEST(FollowerTable, HoldsAtLeastAHundredAndGrowsWithTheFigure) {
    EXPECT_GE(gSeeking.followers.size(), 100u);
    ReserveFollowers(2500);
    ASSERT_EQ(gSeeking.followers.size(), 2500u);
    EXPECT_EQ(gSeeking.followers[2499].x, 0.0f) << "new followers start at the origin";
    ReserveFollowers(10);
    EXPECT_EQ(gSeeking.followers.size(), 2500u) << "never shrinks";
    gSeeking.followers[2499] = {4, 0, 0};
    EXPECT_FLOAT_EQ(SeekPoint3(2499, {0, 0, 0}, 1.0f), 4.0f);
    EXPECT_FLOAT_EQ(gSeeking.followers[2499].x, 3.0f);
}

TEST(FollowerTable, IndicesOutsideEitherTableMoveNothing) {
    const size_t size = gSeeking.followers.size();
    for (int i : {-1, int(size), int(size) + 1000}) {
        EXPECT_EQ(SeekPoint3(i, {1, 1, 1}, 1.0f), 0.0f) << i;
    }
    EXPECT_EQ(gSeeking.followers.size(), size);
    for (int i : {-1, kWaypointCount, 1000}) {
        EXPECT_EQ(SeekPoint2(i, {1, 1}, 1.0f), 0.0f) << i;
    }
}

}  // namespace
}  // namespace velor::demo
