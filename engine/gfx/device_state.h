#pragma once
// The D3D9 state block the device keeps on the CPU, and the groups of it a change marks dirty. The
// device owns it; the backend is handed it read-only, with the groups changed since the last hand-over.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/gfx/d3d_types.h"
#include "engine/gfx/render_state_table.h"
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

// The state every draw of a merged point run shares (gl_point_run.cpp): all of it but the world
// transform and where the vertices come from. The run compares it whole, so a field added here can
// never be left out of the comparison; a field that may differ between the draws of a run belongs in
// DeviceState below.
struct SharedDrawState {
    std::array<uint32_t, kRenderStateCount> render{};
    std::array<std::array<uint32_t, kSamplerStateCount>, kSamplerCount> sampler{};
    std::array<std::array<uint32_t, kTextureStageStateCount>, kSamplerCount> stage{};
    Matrix view, projection;
    Material material;
    std::array<Light, kMaxLights> lights{};
    std::array<bool, kMaxLights> lightEnabled{};
    std::array<bool, kMaxLights> lightSet{};  // SetLight has filled the slot; otherwise LightEnable fills it
    std::array<std::shared_ptr<BaseTexture>, kSamplerCount> textures{};
    std::shared_ptr<VertexDeclaration> declaration;  // set by SetVertexDeclaration or derived from the FVF
    uint32_t fvf = 0;
    Viewport viewport;
    std::shared_ptr<Surface> renderTarget;  // nullptr = back buffer
    bool targetDepth = true;
    ProgramBinding program;
    bool operator==(const SharedDrawState&) const = default;
};

struct DeviceState : SharedDrawState {
    Matrix world;
    std::shared_ptr<VertexBuffer> stream0;
    uint32_t stream0Offset = 0, stream0Stride = 0;
    std::shared_ptr<IndexBuffer> indices;
};

// Groups of DeviceState a change marks dirty, for the backend to apply at the next draw. Render states
// are split by where they go (see render_state_list.h), so a change costs only its own part.
enum DirtyGroup : uint32_t {
    kDirtyGlStates = 1,  // render states applied to GL
    kDirtySampler = 2, kDirtyTransform = 4 /* world or view */, kDirtyLighting = 8, kDirtyTexture = 16,
    kDirtyVertexInput = 32, kDirtyViewport = 64, kDirtyTarget = 128, kDirtyProgram = 256, kDirtyProjection = 512,
    kDirtyFixedFunction = 1024,  // render and texture-stage states the fixed-function program reads
    kDirtyAll = 0x7FF,
};

constexpr uint32_t DirtyGroupOf(StateTarget target) {
    switch (target) {
    case StateTarget::Gl: return kDirtyGlStates;
    case StateTarget::Program: return kDirtyFixedFunction;
    case StateTarget::Stored: return 0;
    }
    return kDirtyAll;
}

}  // namespace velor
