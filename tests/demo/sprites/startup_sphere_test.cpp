// The sphere the real start-up makes, which the swarm walks: the other swarm tests build a sphere of
// their own, so only this one notices when the start-up's sphere changes shape.
#include <cstring>

#include "demo/content/demo_resources.h"
#include "demo/scene/scene_object.h"
#include "demo/sprites/sphere_swarm.h"
#include "engine/mesh/mesh_shapes.h"
#include "tests/demo/sprites/demo_device_fixture.h"

namespace velor::demo {
namespace {

class StartUpSphere : public test::DemoDeviceTest {
protected:
    void TearDown() override {
        gResources = DemoResources{};
        test::DemoDeviceTest::TearDown();
    }
};

TEST_F(StartUpSphere, IsTheSwarmsSphereOfRadius0Point2With40SlicesAnd32Stacks) {
    CreateDemoResources(false);
    ASSERT_NE(gResources.sphereMesh, nullptr);
    ASSERT_NE(gResources.sphereVertexBuffer, nullptr);
    EXPECT_EQ(Object(kSphereMeshSlot).mesh, gResources.sphereMesh);

    std::shared_ptr<Mesh> expected;
    ASSERT_EQ(CreateSphere(device_, 0.2f, 40, 32, &expected), Result::Ok);
    std::shared_ptr<VertexBuffer> expectedVertices;
    expected->GetVertexBuffer(&expectedVertices);
    EXPECT_EQ(gResources.sphereMesh->GetNumVertices(), 1242u);  // 40 * 31 + the two poles
    EXPECT_EQ(gResources.sphereMesh->GetNumFaces(), expected->GetNumFaces());
    ASSERT_EQ(gResources.sphereVertexBuffer->GetLength(), expectedVertices->GetLength());
    EXPECT_EQ(std::memcmp(gResources.sphereVertexBuffer->Data(), expectedVertices->Data(), expectedVertices->GetLength()), 0)
        << "the start-up's sphere has other vertices";

    // The swarm's walk over it: 931 whole 32-byte records in its 29,808 bytes.
    for (SnapshotEntry& entry : gPointSnapshot) entry = {{-7, -7, -7}, {0, 0, 0}};
    CopySphereVertices();
    EXPECT_NE(gPointSnapshot[930].position.x, -7.0f);
    EXPECT_EQ(gPointSnapshot[931].position.x, -7.0f);
}

}  // namespace
}  // namespace velor::demo
