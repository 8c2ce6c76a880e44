#pragma once
// The D3D9 state block the device keeps on the CPU, and the groups of it a change marks dirty. The
// device owns it; the backend is handed it read-only, with the groups changed since the last hand-over.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/gfx/d3d_types.h"
#include "engine/gfx/resources.h"
#include "engine/gfx/vertex_format.h"
#include "engine/math/math_types.h"

namespace velor {

class GpuProgram;

class VertexDeclaration {
public:
    explicit VertexDeclaration(const VertexElement* elements) : elements_(DeclarationElements(elements)) {}
    const std::vector<VertexElement>& Elements() const { return elements_; }
    Result GetDeclaration(VertexElement* out, uint32_t* count) const;

private:
    std::vector<VertexElement> elements_;
};

// Engine-side: a program bound by an effect pass instead of the fixed-function shaders.
struct ProgramBinding {
    std::shared_ptr<GpuProgram> program;  // nullptr = fixed function
    bool operator==(const ProgramBinding&) const = default;
};

struct DeviceState {
    std::array<uint32_t, kRenderStateCount> render{};
    std::array<std::array<uint32_t, kSamplerStateCount>, kSamplerCount> sampler{};
    std::array<std::array<uint32_t, kTextureStageStateCount>, kSamplerCount> stage{};
    Matrix world, view, projection;
    Material material;
    std::array<Light, kMaxLights> lights{};
    std::array<bool, kMaxLights> lightEnabled{};
    std::array<bool, kMaxLights> lightSet{};  // SetLight has filled the slot; otherwise LightEnable fills it
    std::array<std::shared_ptr<BaseTexture>, kSamplerCount> textures{};
    std::shared_ptr<VertexBuffer> stream0;
    uint32_t stream0Offset = 0, stream0Stride = 0;
    std::shared_ptr<IndexBuffer> indices;
    std::shared_ptr<VertexDeclaration> declaration;  // set by SetVertexDeclaration or derived from the FVF
    uint32_t fvf = 0;
    Viewport viewport;
    std::shared_ptr<Surface> renderTarget;  // nullptr = back buffer
    bool targetDepth = true;
    ProgramBinding program;
};

// Groups of DeviceState a change marks dirty, for the backend to apply at the next draw.
enum DirtyGroup : uint32_t {
    kDirtyRender = 1, kDirtySampler = 2, kDirtyTransform = 4 /* world or view */, kDirtyLighting = 8, kDirtyTexture = 16,
    kDirtyVertexInput = 32, kDirtyViewport = 64, kDirtyTarget = 128, kDirtyProgram = 256, kDirtyProjection = 512,
    kDirtyAll = 0x3FF,
};

}  // namespace velor
