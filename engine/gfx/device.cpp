#include "engine/gfx/device.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "engine/gfx/device_defaults.h"
#include "engine/gfx/frame_recorder.h"
#include "engine/gfx/gl_backend.h"
#include "engine/gfx/pixel_scale.h"
#include "engine/os/window.h"

namespace velor {

Result VertexDeclaration::GetDeclaration(VertexElement* out, uint32_t* count) const {
    if (count != nullptr) *count = uint32_t(elements_.size() + 1);
    if (out != nullptr) {
        std::copy(elements_.begin(), elements_.end(), out);
        out[elements_.size()] = kDeclEnd;
    }
    return Result::Ok;
}

Device::Device(Window* window, const PresentParameters& parameters)
    : window_(window), parameters_(parameters), pixelScale_(std::clamp(parameters.pixelScale, 1.0f, kMaxPixelScale)) {
    ResetToDefaults(state_);
    state_.viewport = Viewport{0, 0, parameters.backBufferWidth, parameters.backBufferHeight, 0, 1};
    state_.scissor = Rect{0, 0, int32_t(parameters.backBufferWidth), int32_t(parameters.backBufferHeight)};
}

Device::~Device() = default;

Result Device::Initialise() {
    backend_ = std::make_unique<GlBackend>(window_);
    std::string error;
    if (!backend_->Initialise(parameters_.backBufferWidth, parameters_.backBufferHeight, pixelScale_, &error))
        return Result::NotAvailable;
    calls_ = backend_.get();
    // D3DPRESENT_INTERVAL_DEFAULT (0) and _ONE (1) wait for the vertical retrace; IMMEDIATE does not.
    backend_->SetVsync(parameters_.presentationInterval <= 1);
    // New storage holds whatever the driver leaves there: black, so that what no viewport covers
    // (the letterbox bands) is black by the device's doing.
    backend_->ClearBackBuffer();
    return Result::Ok;
}

// ---- frame -------------------------------------------------------------------------------------

Result Device::TestCooperativeLevel() {
    if (contextLost_ || backend_->ContextWasReset()) {
        contextLost_ = true;
        return Result::DriverInternalError;
    }
    // A full-screen device is lost while its window is minimised or hidden, and wants a Reset after.
    if (IsLostNow()) {
        wasLost_ = true;
        return Result::DeviceLost;
    }
    if (wasLost_) {
        wasLost_ = false;
        needsReset_ = true;
    }
    return needsReset_ ? Result::DeviceNotReset : Result::Ok;
}

bool Device::IsLostNow() const { return hidden_ || (window_ != nullptr && window_->IsHidden()); }

Result Device::Reset(const PresentParameters& parameters) {
    if (contextLost_) return Result::DriverInternalError;
    if (IsLostNow()) return Result::DeviceLost;
    parameters_ = parameters;
    needsReset_ = false;
    wasLost_ = false;
    ResetToDefaults(state_);
    state_.viewport = Viewport{0, 0, parameters.backBufferWidth, parameters.backBufferHeight, 0, 1};
    state_.scissor = Rect{0, 0, int32_t(parameters.backBufferWidth), int32_t(parameters.backBufferHeight)};
    dirty_ = kDirtyAll;
    // Whatever the frames before the reset drew goes, outside the viewport as well.
    backend_->ClearBackBuffer();
    return Result::Ok;
}

Result Device::BeginScene() {
    if (inScene_) return Result::InvalidCall;
    inScene_ = true;
    return Result::Ok;
}

Result Device::EndScene() {
    if (!inScene_) return Result::InvalidCall;
    inScene_ = false;
    calls_->Flush();
    return Result::Ok;
}

Result Device::Present() {
    if (IsLostNow() || needsReset_) return Result::DeviceLost;
    if (!rasterize_) return Result::Ok;
    calls_->Present();
    return Result::Ok;
}

Result Device::Clear(uint32_t rectCount, const Rect* rects, uint32_t flags, Color color, float z, uint32_t stencil) {
    if ((flags & (Clear::Target | Clear::ZBuffer | Clear::Stencil)) == 0) return Result::InvalidCall;
    if (rectCount > 0 && rects == nullptr) return Result::InvalidCall;
    if (!rasterize_) return Result::Ok;
    calls_->Clear(state_, TakeDirty(), rectCount, rects, flags, color, z, stencil);
    return Result::Ok;
}

Result Device::SetViewport(const Viewport* viewport) {
    if (viewport == nullptr) return Result::InvalidCall;
    state_.viewport = *viewport;
    dirty_ |= kDirtyViewport;
    return Result::Ok;
}

Result Device::GetViewport(Viewport* viewport) const {
    if (viewport == nullptr) return Result::InvalidCall;
    *viewport = state_.viewport;
    return Result::Ok;
}

Result Device::SetScissorRect(const Rect* rect) {
    if (rect == nullptr) return Result::InvalidCall;
    state_.scissor = *rect;
    dirty_ |= kDirtyViewport;
    return Result::Ok;
}

Result Device::GetScissorRect(Rect* rect) const {
    if (rect == nullptr) return Result::InvalidCall;
    *rect = state_.scissor;
    return Result::Ok;
}

Result Device::GetDeviceCaps(DeviceCaps* caps) const {
    if (caps == nullptr) return Result::InvalidCall;
    *caps = DeviceCaps{};
    caps->maxTextureWidth = caps->maxTextureHeight = backend_->MaxTextureSize();
    return Result::Ok;
}

// ---- states --------------------------------------------------------------------------------------
// Setting a state to the value it has costs one comparison; a change only marks its group dirty.

namespace {
// The group each render state marks, by its value; 0 for a state no draw reads.
constexpr std::array<uint32_t, kRenderStateCount> kRenderStateGroups = [] {
    std::array<uint32_t, kRenderStateCount> groups{};
    for (const RenderStateRow& row : kRenderStateRows) groups[uint32_t(row.state)] = DirtyGroupOf(row.target);
    return groups;
}();

// The fixed function reads stage 0's operations and arguments; the other stages and states are stored.
uint32_t StageStateGroup(uint32_t stage, TextureStageState state) {
    return stage == 0 && state != TextureStageState::TexCoordIndex ? uint32_t(kDirtyFixedFunction) : 0u;
}
}  // namespace

Result Device::SetRenderState(RenderState state, uint32_t value) {
    uint32_t index = uint32_t(state);
    if (index >= kRenderStateCount) return Result::InvalidCall;
    if (state_.render[index] != value) {
        state_.render[index] = value;
        dirty_ |= kRenderStateGroups[index];
    }
    return Result::Ok;
}

Result Device::GetRenderState(RenderState state, uint32_t* value) const {
    uint32_t index = uint32_t(state);
    if (index >= kRenderStateCount || value == nullptr) return Result::InvalidCall;
    *value = state_.render[index];
    return Result::Ok;
}

Result Device::SetSamplerState(uint32_t sampler, SamplerState state, uint32_t value) {
    if (sampler >= kSamplerCount || uint32_t(state) >= kSamplerStateCount) return Result::InvalidCall;
    uint32_t& slot = state_.sampler[sampler][uint32_t(state)];
    if (slot != value) {
        slot = value;
        dirty_ |= kDirtySampler;
    }
    return Result::Ok;
}

Result Device::GetSamplerState(uint32_t sampler, SamplerState state, uint32_t* value) const {
    if (sampler >= kSamplerCount || uint32_t(state) >= kSamplerStateCount || value == nullptr) return Result::InvalidCall;
    *value = state_.sampler[sampler][uint32_t(state)];
    return Result::Ok;
}

Result Device::SetTextureStageState(uint32_t stage, TextureStageState state, uint32_t value) {
    if (stage >= kSamplerCount || uint32_t(state) >= kTextureStageStateCount) return Result::InvalidCall;
    uint32_t& slot = state_.stage[stage][uint32_t(state)];
    if (slot != value) {
        slot = value;
        dirty_ |= StageStateGroup(stage, state);
    }
    return Result::Ok;
}

Result Device::GetTextureStageState(uint32_t stage, TextureStageState state, uint32_t* value) const {
    if (stage >= kSamplerCount || uint32_t(state) >= kTextureStageStateCount || value == nullptr)
        return Result::InvalidCall;
    *value = state_.stage[stage][uint32_t(state)];
    return Result::Ok;
}

namespace {
Matrix* TransformSlot(DeviceState& state, TransformState which) {
    switch (which) {
    case TransformState::World: return &state.world;
    case TransformState::View: return &state.view;
    case TransformState::Projection: return &state.projection;
    default: return nullptr;
    }
}
}  // namespace

Result Device::SetTransform(TransformState state, const Matrix* matrix) {
    Matrix* slot = TransformSlot(state_, state);
    if (slot == nullptr || matrix == nullptr) return Result::InvalidCall;
    if (std::memcmp(slot, matrix, sizeof(Matrix)) != 0) {
        *slot = *matrix;
        // The projection has a group of its own: the clouds move the world thousands of times a
        // frame and the projection stays.
        dirty_ |= state == TransformState::Projection ? kDirtyProjection : kDirtyTransform;
        // The view moves the lights' view-space directions too.
        if (state == TransformState::View) dirty_ |= kDirtyLighting;
    }
    return Result::Ok;
}

Result Device::GetTransform(TransformState state, Matrix* matrix) const {
    Matrix* slot = TransformSlot(const_cast<DeviceState&>(state_), state);
    if (slot == nullptr || matrix == nullptr) return Result::InvalidCall;
    *matrix = *slot;
    return Result::Ok;
}

Result Device::SetMaterial(const Material* material) {
    if (material == nullptr) return Result::InvalidCall;
    state_.material = *material;
    dirty_ |= kDirtyLighting;
    return Result::Ok;
}

Result Device::GetMaterial(Material* material) const {
    if (material == nullptr) return Result::InvalidCall;
    *material = state_.material;
    return Result::Ok;
}

Result Device::SetLight(uint32_t index, const Light* light) {
    if (index >= kMaxLights || light == nullptr) return Result::InvalidCall;
    state_.lights[index] = *light;
    state_.lightSet[index] = true;
    dirty_ |= kDirtyLighting;
    return Result::Ok;
}

Result Device::GetLight(uint32_t index, Light* light) const {
    if (index >= kMaxLights || light == nullptr) return Result::InvalidCall;
    *light = state_.lights[index];
    return Result::Ok;
}

Result Device::LightEnable(uint32_t index, bool enable) {
    if (index >= kMaxLights) return Result::InvalidCall;
    // A light never set is Direct3D 9's default: white directional light along +z.
    if (!state_.lightSet[index]) {
        Light light;
        light.type = LightType::Directional;
        light.diffuse = ColorValue{1.0f, 1.0f, 1.0f, 0.0f};
        light.direction = Vector3{0.0f, 0.0f, 1.0f};
        state_.lights[index] = light;
        state_.lightSet[index] = true;
        dirty_ |= kDirtyLighting;
    }
    if (state_.lightEnabled[index] != enable) {
        state_.lightEnabled[index] = enable;
        dirty_ |= kDirtyLighting;
    }
    return Result::Ok;
}

Result Device::GetLightEnable(uint32_t index, bool* enable) const {
    if (index >= kMaxLights || enable == nullptr) return Result::InvalidCall;
    *enable = state_.lightEnabled[index];
    return Result::Ok;
}

Result Device::SetTexture(uint32_t stage, std::shared_ptr<BaseTexture> texture) {
    if (stage >= kSamplerCount) return Result::InvalidCall;
    if (state_.textures[stage] != texture) {
        state_.textures[stage] = std::move(texture);
        dirty_ |= kDirtyTexture;
    }
    return Result::Ok;
}

Result Device::GetTexture(uint32_t stage, std::shared_ptr<BaseTexture>* texture) const {
    if (stage >= kSamplerCount || texture == nullptr) return Result::InvalidCall;
    *texture = state_.textures[stage];
    return Result::Ok;
}

// ---- geometry ------------------------------------------------------------------------------------

Result Device::CreateVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, Pool pool,
                                  std::shared_ptr<VertexBuffer>* buffer) {
    if (buffer == nullptr || length == 0) return Result::InvalidCall;
    *buffer = std::make_shared<VertexBuffer>(length, usage, fvf, pool);
    return Result::Ok;
}

Result Device::CreateIndexBuffer(uint32_t length, uint32_t usage, Format format, Pool pool,
                                 std::shared_ptr<IndexBuffer>* buffer) {
    if (buffer == nullptr || length == 0 || (format != Format::Index16 && format != Format::Index32))
        return Result::InvalidCall;
    *buffer = std::make_shared<IndexBuffer>(length, usage, format, pool);
    return Result::Ok;
}

Result Device::CreateVertexDeclaration(const VertexElement* elements, std::shared_ptr<VertexDeclaration>* decl) {
    if (elements == nullptr || decl == nullptr) return Result::InvalidCall;
    *decl = std::make_shared<VertexDeclaration>(elements);
    return Result::Ok;
}

Result Device::SetVertexDeclaration(std::shared_ptr<VertexDeclaration> decl) {
    if (state_.declaration != decl) {
        state_.declaration = std::move(decl);
        state_.fvf = 0;
        dirty_ |= kDirtyVertexInput;
    }
    return Result::Ok;
}

Result Device::GetVertexDeclaration(std::shared_ptr<VertexDeclaration>* decl) const {
    if (decl == nullptr) return Result::InvalidCall;
    *decl = state_.declaration;
    return Result::Ok;
}

Result Device::SetFVF(uint32_t fvf) {
    if (fvf == state_.fvf && state_.declaration != nullptr) return Result::Ok;
    VertexElement elements[kMaxDeclLength];
    if (Failed(DeclaratorFromFvf(fvf, elements))) return Result::InvalidCall;
    // One declaration per FVF, so that switching between FVFs is seen as the same input again.
    auto& declaration = fvfDeclarations_[fvf];
    if (declaration == nullptr) declaration = std::make_shared<VertexDeclaration>(elements);
    state_.declaration = declaration;
    state_.fvf = fvf;
    dirty_ |= kDirtyVertexInput;
    return Result::Ok;
}

Result Device::GetFVF(uint32_t* fvf) const {
    if (fvf == nullptr) return Result::InvalidCall;
    *fvf = state_.fvf;
    return Result::Ok;
}

Result Device::SetStreamSource(uint32_t stream, std::shared_ptr<VertexBuffer> buffer, uint32_t offset, uint32_t stride) {
    if (stream != 0) return Result::InvalidCall;  // one stream is all the demo uses
    if (state_.stream0 == buffer && state_.stream0Offset == offset && state_.stream0Stride == stride) return Result::Ok;
    state_.stream0 = std::move(buffer);
    state_.stream0Offset = offset;
    state_.stream0Stride = stride;
    dirty_ |= kDirtyVertexInput;
    return Result::Ok;
}

Result Device::GetStreamSource(uint32_t stream, std::shared_ptr<VertexBuffer>* buffer, uint32_t* offset,
                               uint32_t* stride) const {
    if (stream != 0 || buffer == nullptr || offset == nullptr || stride == nullptr) return Result::InvalidCall;
    *buffer = state_.stream0;
    *offset = state_.stream0Offset;
    *stride = state_.stream0Stride;
    return Result::Ok;
}

Result Device::SetIndices(std::shared_ptr<IndexBuffer> buffer) {
    state_.indices = std::move(buffer);
    return Result::Ok;
}

Result Device::GetIndices(std::shared_ptr<IndexBuffer>* buffer) const {
    if (buffer == nullptr) return Result::InvalidCall;
    *buffer = state_.indices;
    return Result::Ok;
}

namespace {
uint32_t VertexCount(PrimitiveType type, uint32_t primitives) {
    switch (type) {
    case PrimitiveType::PointList: return primitives;
    case PrimitiveType::LineList: return primitives * 2;
    case PrimitiveType::LineStrip: return primitives + 1;
    case PrimitiveType::TriangleList: return primitives * 3;
    case PrimitiveType::TriangleStrip:
    case PrimitiveType::TriangleFan: return primitives + 2;
    }
    return 0;
}
}  // namespace

Result Device::DrawPrimitive(PrimitiveType type, uint32_t startVertex, uint32_t primitiveCount) {
    if (state_.stream0 == nullptr || state_.declaration == nullptr || primitiveCount == 0) return Result::InvalidCall;
    uint32_t count = VertexCount(type, primitiveCount);
    uint32_t stride = state_.stream0Stride;
    uint64_t end = uint64_t(state_.stream0Offset) + (uint64_t(startVertex) + count) * stride;
    if (stride == 0 || end > state_.stream0->GetLength()) return Result::InvalidCall;
    if (!rasterize_) return Result::Ok;
    calls_->Draw(state_, TakeDirty(), type, startVertex, count);
    return Result::Ok;
}

Result Device::DrawIndexedPrimitive(PrimitiveType type, int32_t baseVertexIndex, uint32_t minVertexIndex,
                                    uint32_t numVertices, uint32_t startIndex, uint32_t primitiveCount) {
    (void)minVertexIndex;
    (void)numVertices;
    if (state_.stream0 == nullptr || state_.declaration == nullptr || state_.indices == nullptr || primitiveCount == 0)
        return Result::InvalidCall;
    uint32_t count = VertexCount(type, primitiveCount);
    uint64_t end = (uint64_t(startIndex) + count) * state_.indices->IndexSize();
    if (end > state_.indices->GetLength() || baseVertexIndex < 0) return Result::InvalidCall;
    if (!rasterize_) return Result::Ok;
    calls_->DrawIndexed(state_, TakeDirty(), type, baseVertexIndex, startIndex, count);
    return Result::Ok;
}

Result Device::DrawPrimitiveUP(PrimitiveType type, uint32_t primitiveCount, const void* vertices, uint32_t stride) {
    if (vertices == nullptr || stride == 0 || primitiveCount == 0 || state_.declaration == nullptr)
        return Result::InvalidCall;
    uint32_t count = VertexCount(type, primitiveCount);
    if (rasterize_) calls_->DrawUser(state_, TakeDirty(), type, count, vertices, stride);
    // Direct3D leaves stream 0 unset after a user-pointer draw.
    state_.stream0 = nullptr;
    state_.stream0Offset = state_.stream0Stride = 0;
    dirty_ |= kDirtyVertexInput;
    return Result::Ok;
}

// ---- textures and targets ----------------------------------------------------------------------

Result Device::CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage, Format format, Pool pool,
                             std::shared_ptr<Texture>* texture) {
    if (texture == nullptr || width == 0 || height == 0) return Result::InvalidCall;
    uint32_t limit = backend_->MaxTextureSize();
    if (width > limit || height > limit) return Result::InvalidCall;
    if (format == Format::Unknown) format = Format::A8R8G8B8;
    bool target = (usage & Usage::RenderTarget) != 0;
    if (target && format != Format::A8R8G8B8 && format != Format::X8R8G8B8 && format != Format::A16B16G16R16F)
        return Result::InvalidCall;
    if (!target && format != Format::A8R8G8B8 && format != Format::X8R8G8B8) return Result::InvalidCall;
    *texture = std::make_shared<Texture>(width, height, target ? 1 : levels, usage, format, pool);
    // A target the size of the back buffer stands in for it (a scene drawn off screen and then
    // processed): it gets the back buffer's real pixels.
    if (target && width == parameters_.backBufferWidth && height == parameters_.backBufferHeight)
        (*texture)->SetPixelScale(pixelScale_);
    return Result::Ok;
}

Result Device::CreateCubeTexture(uint32_t edge, uint32_t levels, uint32_t usage, Format format, Pool pool,
                                 std::shared_ptr<CubeTexture>* texture) {
    if (texture == nullptr || edge == 0 || (usage & Usage::RenderTarget) != 0) return Result::InvalidCall;
    if (format == Format::Unknown) format = Format::A8R8G8B8;
    if (format != Format::A8R8G8B8 && format != Format::X8R8G8B8) return Result::InvalidCall;
    *texture = std::make_shared<CubeTexture>(edge, levels, usage, format, pool);
    return Result::Ok;
}

Result Device::SetRenderTarget(uint32_t index, std::shared_ptr<Surface> surface) {
    if (index != 0) return Result::InvalidCall;
    if (surface != nullptr && !surface->GetTexture()->IsRenderTarget()) return Result::InvalidCall;
    state_.renderTarget = std::move(surface);
    uint32_t width = parameters_.backBufferWidth, height = parameters_.backBufferHeight;
    if (state_.renderTarget != nullptr) {
        width = state_.renderTarget->GetTexture()->LevelWidth(state_.renderTarget->Level());
        height = state_.renderTarget->GetTexture()->LevelHeight(state_.renderTarget->Level());
    }
    state_.viewport = Viewport{0, 0, width, height, 0, 1};
    state_.scissor = Rect{0, 0, int32_t(width), int32_t(height)};
    dirty_ |= kDirtyTarget | kDirtyViewport;
    return Result::Ok;
}

Result Device::GetRenderTarget(uint32_t index, std::shared_ptr<Surface>* surface) const {
    if (index != 0 || surface == nullptr) return Result::InvalidCall;
    *surface = state_.renderTarget;
    return Result::Ok;
}

Result Device::SetRenderTargetDepth(bool useOwnDepth) {
    state_.targetDepth = useOwnDepth;
    dirty_ |= kDirtyTarget;
    return Result::Ok;
}

Result Device::GetRenderTargetDepth(bool* useOwnDepth) const {
    if (useOwnDepth == nullptr) return Result::InvalidCall;
    *useOwnDepth = state_.targetDepth;
    return Result::Ok;
}

// ---- engine side -------------------------------------------------------------------------------

Result Device::CreateShader(ShaderType type, const std::string& source, std::shared_ptr<GpuShader>* shader,
                            std::string* log) {
    return backend_->Programs().CreateShader(type, source, shader, log);
}

Result Device::CreateProgram(const GpuShader* vertex, const GpuShader& pixel, std::shared_ptr<GpuProgram>* program,
                             std::string* log) {
    return backend_->Programs().CreateProgram(vertex, pixel, program, log);
}

void Device::BindProgram(const ProgramBinding& binding) {
    if (binding != state_.program) {
        state_.program = binding;
        dirty_ |= kDirtyProgram;
    }
}

}  // namespace velor
