// CPU cost of the demo's most frequent pattern: a handful of state changes, then a one-point draw.
// Headless (llvmpipe); glFinish is left out so the figure is the device's CPU side plus the driver's
// command recording, not the raster.
#include <benchmark/benchmark.h>

#include "engine/gfx/device_controls.h"
#include "engine/math/d3dx_math.h"
#include "tests/support/gl_test_device.h"

namespace velor {
namespace {

struct PointVertex {
    float x, y, z;
    uint32_t color;
};

// A device drawing one unlit point sprite from a vertex buffer, and two world matrices to alternate.
struct PointScene {
    test::TestDevice test;
    std::shared_ptr<VertexBuffer> buffer;
    Matrix worlds[2];

    bool Create(benchmark::State& state) {
        std::string error;
        test = test::CreateTestDevice(&error);
        if (test.device == nullptr) {
            state.SkipWithError(error.c_str());
            return false;
        }
        Device* device = test.device.get();
        device->CreateVertexBuffer(sizeof(PointVertex), Usage::WriteOnly | Usage::Points, Fvf::XYZ | Fvf::Diffuse,
                                   Pool::Default, &buffer);
        void* data = nullptr;
        buffer->Lock(0, 0, &data, 0);
        *static_cast<PointVertex*>(data) = {0, 0, 0, 0xFFFFFFFFu};
        buffer->Unlock();
        device->SetFVF(Fvf::XYZ | Fvf::Diffuse);
        device->SetStreamSource(0, buffer, 0, sizeof(PointVertex));
        device->SetRenderState(RenderState::PointSpriteEnable, 1);
        device->SetRenderState(RenderState::PointScaleEnable, 1);
        device->SetRenderState(RenderState::Lighting, 0);
        MatrixTranslation(&worlds[0], 0.1f, 0, 2);
        MatrixTranslation(&worlds[1], -0.1f, 0, 2);
        return true;
    }
};

void BM_OnePointDrawAfterElevenStateChanges(benchmark::State& state) {
    PointScene scene;
    if (!scene.Create(state)) return;
    Device* device = scene.test.device.get();
    const Matrix* worlds = scene.worlds;
    std::shared_ptr<Texture> textures[2];
    for (auto& t : textures) device->CreateTexture(16, 16, 1, 0, Format::A8R8G8B8, Pool::Managed, &t);

    int i = 0;
    for (auto _ : state) {
        int k = i++ & 1;
        device->SetTransform(TransformState::World, &worlds[k]);                          // 1
        device->SetTexture(0, textures[k]);                                                // 2
        device->SetRenderState(RenderState::PointSize, FloatToBits(k ? 0.2f : 0.3f));      // 3
        device->SetRenderState(RenderState::PointSizeMin, FloatToBits(k ? 1.0f : 2.0f));   // 4
        device->SetRenderState(RenderState::PointScaleA, FloatToBits(k ? 0.0f : 0.1f));    // 5
        device->SetRenderState(RenderState::PointScaleB, FloatToBits(k ? 0.0f : 0.1f));    // 6
        device->SetRenderState(RenderState::PointScaleC, FloatToBits(k ? 1.0f : 0.9f));    // 7
        device->SetRenderState(RenderState::AlphaBlendEnable, k);                          // 8
        device->SetRenderState(RenderState::SrcBlend, uint32_t(k ? Blend::SrcAlpha : Blend::One));  // 9
        device->SetRenderState(RenderState::DestBlend, uint32_t(k ? Blend::One : Blend::InvSrcAlpha));  // 10
        device->SetRenderState(RenderState::ZWriteEnable, k);                              // 11
        device->DrawPrimitive(PrimitiveType::PointList, 0, 1);
        if ((i & 1023) == 0) device->Clear(0, nullptr, Clear::Target, 0, 1, 0);  // keep the queue from growing
    }
    ReadBackBuffer(*device);  // drain what was queued
}
// The floor: the same draw with only the world transform changing.
void BM_OnePointDrawAfterWorldChange(benchmark::State& state) {
    PointScene scene;
    if (!scene.Create(state)) return;
    Device* device = scene.test.device.get();
    const Matrix* worlds = scene.worlds;
    int i = 0;
    for (auto _ : state) {
        device->SetTransform(TransformState::World, &worlds[i++ & 1]);
        device->DrawPrimitive(PrimitiveType::PointList, 0, 1);
        if ((i & 1023) == 0) device->Clear(0, nullptr, Clear::Target, 0, 1, 0);
    }
    ReadBackBuffer(*device);
}
BENCHMARK(BM_OnePointDrawAfterWorldChange)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

BENCHMARK(BM_OnePointDrawAfterElevenStateChanges)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The raster of eight full-screen additive quads through the fixed function, with the alpha test
// off (argument 0) or on with a function that passes everything (1): what the test costs per pixel.
void BM_FullScreenQuadsAlphaTest(benchmark::State& state) {
    PointScene scene;
    if (!scene.Create(state)) return;
    Device* device = scene.test.device.get();
    const PointVertex quad[6] = {{-1, -1, 0.5f, 0x10FFFFFFu}, {-1, 1, 0.5f, 0x10FFFFFFu}, {1, -1, 0.5f, 0x10FFFFFFu},
                                 {1, -1, 0.5f, 0x10FFFFFFu},  {-1, 1, 0.5f, 0x10FFFFFFu}, {1, 1, 0.5f, 0x10FFFFFFu}};
    Matrix identity;
    MatrixIdentity(&identity);
    device->SetTransform(TransformState::World, &identity);
    device->SetRenderState(RenderState::CullMode, uint32_t(Cull::None));
    device->SetRenderState(RenderState::ZEnable, 0);
    device->SetRenderState(RenderState::AlphaBlendEnable, 1);
    device->SetRenderState(RenderState::SrcBlend, uint32_t(Blend::SrcAlpha));
    device->SetRenderState(RenderState::DestBlend, uint32_t(Blend::One));
    device->SetRenderState(RenderState::AlphaTestEnable, uint32_t(state.range(0)));
    device->SetRenderState(RenderState::AlphaFunc, uint32_t(Cmp::GreaterEqual));
    device->SetRenderState(RenderState::AlphaRef, 0);
    for (auto _ : state) {
        for (int i = 0; i < 8; ++i) device->DrawPrimitiveUP(PrimitiveType::TriangleList, 2, quad, sizeof(PointVertex));
        ReadBackBuffer(*device);
    }
}
BENCHMARK(BM_FullScreenQuadsAlphaTest)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
}  // namespace velor

BENCHMARK_MAIN();
