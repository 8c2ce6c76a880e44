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

// Groups of DeviceState a change marks dirty, for the backend to apply at the next draw. Render states
// are split by where they go (see render_state_list.h), so a change costs only its own part.
enum DirtyGroup : uint32_t {
    kDirtyGlStates = 1,  // render states applied to GL
    kDirtySampler = 2, kDirtyTransform = 4 /* world or view */, kDirtyLighting = 8, kDirtyTexture = 16,
    kDirtyVertexInput = 32, kDirtyViewport = 64, kDirtyTarget = 128, kDirtyProgram = 256, kDirtyProjection = 512,
    kDirtyFixedFunction = 1024,  // render and texture-stage states the fixed-function program reads
    kDirtyAll = 0x7FF,
};

// The state every draw of a merged point run shares (gl_point_run.cpp): all of it but the world
// transform and where the vertices come from. It is made of parts, each with the dirty groups that a
// change to it marks; a run compares only the parts whose groups were marked since it started, and each
// part whole, so a field added to a part can never be left out of the comparison. A field that may
// differ between the draws of a run belongs in DeviceState below.
struct RenderStateValues {
    static constexpr uint32_t kGroups = kDirtyGlStates | kDirtyFixedFunction;
    std::array<uint32_t, kRenderStateCount> render{};
    bool operator==(const RenderStateValues&) const = default;
};

struct SamplerStateValues {
    static constexpr uint32_t kGroups = kDirtySampler;
    std::array<std::array<uint32_t, kSamplerStateCount>, kSamplerCount> sampler{};
    bool operator==(const SamplerStateValues&) const = default;
};

struct StageStateValues {
    static constexpr uint32_t kGroups = kDirtyFixedFunction;
    std::array<std::array<uint32_t, kTextureStageStateCount>, kSamplerCount> stage{};
    bool operator==(const StageStateValues&) const = default;
};

struct CameraTransforms {
    static constexpr uint32_t kGroups = kDirtyTransform | kDirtyProjection;
    Matrix view, projection;
    bool operator==(const CameraTransforms&) const = default;
};

struct LightingValues {
    static constexpr uint32_t kGroups = kDirtyLighting;
    Material material;
    std::array<Light, kMaxLights> lights{};
    std::array<bool, kMaxLights> lightEnabled{};
    std::array<bool, kMaxLights> lightSet{};  // SetLight has filled the slot; otherwise LightEnable fills it
    bool operator==(const LightingValues&) const = default;
};

struct TextureBindings {
    static constexpr uint32_t kGroups = kDirtyTexture;
    std::array<std::shared_ptr<BaseTexture>, kSamplerCount> textures{};
    bool operator==(const TextureBindings&) const = default;
};

struct VertexLayout {
    static constexpr uint32_t kGroups = kDirtyVertexInput;
    std::shared_ptr<VertexDeclaration> declaration;  // set by SetVertexDeclaration or derived from the FVF
    uint32_t fvf = 0;
    bool operator==(const VertexLayout&) const = default;
};

struct TargetValues {
    static constexpr uint32_t kGroups = kDirtyViewport | kDirtyTarget;
    Viewport viewport;
    Rect scissor;  // in the target's units, used while ScissorTestEnable is on
    std::shared_ptr<Surface> renderTarget;  // nullptr = back buffer
    bool targetDepth = true;
    bool operator==(const TargetValues&) const = default;
};

struct ProgramValues {
    static constexpr uint32_t kGroups = kDirtyProgram;
    ProgramBinding program;
    bool operator==(const ProgramValues&) const = default;
};

template <class... Parts>
struct DrawStateParts : Parts... {
    // Whether every part a group in `dirty` may have changed holds the same values in both.
    bool SameWhereMarked(const DrawStateParts& other, uint32_t dirty) const {
        return ((!(dirty & Parts::kGroups) || static_cast<const Parts&>(*this) == static_cast<const Parts&>(other)) &&
                ...);
    }
    bool operator==(const DrawStateParts&) const = default;
};

using SharedDrawParts = DrawStateParts<RenderStateValues, SamplerStateValues, StageStateValues, CameraTransforms,
                                       LightingValues, TextureBindings, VertexLayout, TargetValues, ProgramValues>;
struct SharedDrawState : SharedDrawParts {};
// Every field is in a part, where its groups decide when it is compared: the struct adds none of its own.
static_assert(sizeof(SharedDrawState) == sizeof(SharedDrawParts));

struct DeviceState : SharedDrawState {
    Matrix world;
    std::shared_ptr<VertexBuffer> stream0;
    uint32_t stream0Offset = 0, stream0Stride = 0;
    std::shared_ptr<IndexBuffer> indices;
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
