#pragma once
// The graphics device: Direct3D 9's device on OpenGL 3.3 core. The whole D3D9 state block lives on
// the CPU (Get* reads it); draws apply only what changed since the last draw, through a shader
// generated per fixed-function state combination, or through a program an effect binds.
//
// Everything is drawn into an off-screen 1024 × 768 back buffer (colour, 24-bit depth, 8-bit
// stencil), y-flipped so that row 0 in memory is the top row, as Direct3D keeps it; Present scales
// it to the window keeping 4:3 with black bars.
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/gfx/d3d_types.h"
#include "engine/gfx/device_state.h"
#include "engine/gfx/gpu_program.h"
#include "engine/gfx/resources.h"
#include "engine/gfx/vertex_format.h"
#include "engine/math/math_types.h"

namespace velor {

class Window;
class BackendCalls;
class FrameRecorder;
class GlBackend;

constexpr uint32_t kBackBufferWidth = 1024;
constexpr uint32_t kBackBufferHeight = 768;

struct PresentParameters {
    uint32_t backBufferWidth = kBackBufferWidth;
    uint32_t backBufferHeight = kBackBufferHeight;
    Format backBufferFormat = Format::X8R8G8B8;
    uint32_t backBufferCount = 0;
    uint32_t swapEffect = 1;  // D3DSWAPEFFECT_DISCARD
    bool windowed = false;
    bool enableAutoDepthStencil = true;
    Format autoDepthStencilFormat = Format::D24S8;
    uint32_t presentationInterval = 0x80000000u;  // D3DPRESENT_INTERVAL_IMMEDIATE
    // The engine's own: real pixels per back-buffer pixel each way, read at CreateDevice
    // (pixel_scale.h). Values below 1 are taken as 1.
    float pixelScale = 1.0f;
};

struct DeviceCaps {
    float maxPointSize = kMaxPointSize;
    uint32_t maxTextureWidth = 0, maxTextureHeight = 0;
    uint32_t maxActiveLights = kMaxLights;
    uint32_t maxSimultaneousTextures = kSamplerCount;
};

class Device {
public:
    ~Device();

    // ---- frame ----
    Result TestCooperativeLevel();
    Result Reset(const PresentParameters& parameters);
    Result BeginScene();
    Result EndScene();
    Result Present();
    // Covers the current viewport only, clipped further by the rectangles when given.
    Result Clear(uint32_t rectCount, const Rect* rects, uint32_t flags, Color color, float z, uint32_t stencil);
    Result SetViewport(const Viewport* viewport);
    Result GetViewport(Viewport* viewport) const;
    // Draws and clears keep inside it while ScissorTestEnable is on. The whole target after creation,
    // Reset and SetRenderTarget.
    Result SetScissorRect(const Rect* rect);
    Result GetScissorRect(Rect* rect) const;
    Result GetDeviceCaps(DeviceCaps* caps) const;

    // ---- states ----
    Result SetRenderState(RenderState state, uint32_t value);
    Result GetRenderState(RenderState state, uint32_t* value) const;
    Result SetSamplerState(uint32_t sampler, SamplerState state, uint32_t value);
    Result GetSamplerState(uint32_t sampler, SamplerState state, uint32_t* value) const;
    Result SetTextureStageState(uint32_t stage, TextureStageState state, uint32_t value);
    Result GetTextureStageState(uint32_t stage, TextureStageState state, uint32_t* value) const;
    Result SetTransform(TransformState state, const Matrix* matrix);
    Result GetTransform(TransformState state, Matrix* matrix) const;
    Result SetMaterial(const Material* material);
    Result GetMaterial(Material* material) const;
    Result SetLight(uint32_t index, const Light* light);
    Result GetLight(uint32_t index, Light* light) const;
    Result LightEnable(uint32_t index, bool enable);
    Result GetLightEnable(uint32_t index, bool* enable) const;
    Result SetTexture(uint32_t stage, std::shared_ptr<BaseTexture> texture);
    Result GetTexture(uint32_t stage, std::shared_ptr<BaseTexture>* texture) const;

    // ---- geometry ----
    Result CreateVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, Pool pool,
                              std::shared_ptr<VertexBuffer>* buffer);
    Result CreateIndexBuffer(uint32_t length, uint32_t usage, Format format, Pool pool,
                             std::shared_ptr<IndexBuffer>* buffer);
    Result CreateVertexDeclaration(const VertexElement* elements, std::shared_ptr<VertexDeclaration>* decl);
    Result SetVertexDeclaration(std::shared_ptr<VertexDeclaration> decl);
    Result GetVertexDeclaration(std::shared_ptr<VertexDeclaration>* decl) const;
    Result SetFVF(uint32_t fvf);
    Result GetFVF(uint32_t* fvf) const;
    Result SetStreamSource(uint32_t stream, std::shared_ptr<VertexBuffer> buffer, uint32_t offset, uint32_t stride);
    Result GetStreamSource(uint32_t stream, std::shared_ptr<VertexBuffer>* buffer, uint32_t* offset,
                           uint32_t* stride) const;
    Result SetIndices(std::shared_ptr<IndexBuffer> buffer);
    Result GetIndices(std::shared_ptr<IndexBuffer>* buffer) const;
    Result DrawPrimitive(PrimitiveType type, uint32_t startVertex, uint32_t primitiveCount);
    Result DrawIndexedPrimitive(PrimitiveType type, int32_t baseVertexIndex, uint32_t minVertexIndex,
                                uint32_t numVertices, uint32_t startIndex, uint32_t primitiveCount);
    // Vertices from user memory (sprites, fonts); clears stream 0 as Direct3D does.
    Result DrawPrimitiveUP(PrimitiveType type, uint32_t primitiveCount, const void* vertices, uint32_t stride);

    // ---- textures and targets ----
    Result CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage, Format format, Pool pool,
                         std::shared_ptr<Texture>* texture);
    Result CreateCubeTexture(uint32_t edge, uint32_t levels, uint32_t usage, Format format, Pool pool,
                             std::shared_ptr<CubeTexture>* texture);
    // nullptr selects the back buffer. The viewport is reset to the whole target, as Direct3D does.
    Result SetRenderTarget(uint32_t index, std::shared_ptr<Surface> surface);
    Result GetRenderTarget(uint32_t index, std::shared_ptr<Surface>* surface) const;  // nullptr = back buffer
    // Depth-stencil for texture targets: one buffer per size, kept by the device. `useOwnDepth` false
    // renders the texture target without depth.
    Result SetRenderTargetDepth(bool useOwnDepth);
    Result GetRenderTargetDepth(bool* useOwnDepth) const;

    // ---- shaders ----
    // The engine's stand-in for Direct3D's shader objects and SetVertexShader/SetPixelShader, in the
    // terms effects need. The engine's other controls (raster, merging, recording, readbacks, lost
    // device, the resolution scale) are in device_controls.h.
    // GLSL 3.30 for one stage, compiled; on failure InvalidData and the compiler's log in `log`.
    Result CreateShader(ShaderType type, const std::string& source, std::shared_ptr<GpuShader>* shader,
                        std::string* log);
    // A vertex and a pixel shader linked; a null `vertex` takes the fixed-function vertex stage (a
    // pass that brings only a pixel shader). On failure InvalidData and the linker's log in `log`.
    Result CreateProgram(const GpuShader* vertex, const GpuShader& pixel, std::shared_ptr<GpuProgram>* program,
                         std::string* log);
    void BindProgram(const ProgramBinding& binding);
    const ProgramBinding& BoundProgram() const { return state_.program; }

private:
    friend class Direct3D;
    friend struct DeviceAccess;  // the engine's controls (device_controls.h)
    Device(Window* window, const PresentParameters& parameters);
    Result Initialise();
    // The groups changed since the backend was last handed them; the backend keeps them from there.
    uint32_t TakeDirty() { return std::exchange(dirty_, 0u); }
    bool IsLostNow() const;

    Window* window_;
    PresentParameters parameters_;
    float pixelScale_ = 1.0f;  // fixed when the device is made
    DeviceState state_;
    uint32_t dirty_ = kDirtyAll;
    std::map<uint32_t, std::shared_ptr<VertexDeclaration>> fvfDeclarations_;
    std::unique_ptr<GlBackend> backend_;
    // Where calls that reach GL go: the backend, or a recorder in front of it while a frame is recorded.
    BackendCalls* calls_ = nullptr;
    std::unique_ptr<FrameRecorder> recorder_;
    bool inScene_ = false;
    bool rasterize_ = true;
    bool hidden_ = false;      // forced by NoteWindowHidden
    bool wasLost_ = false;     // lost at the last test: the next usable test reports not-reset
    bool needsReset_ = false;
    bool contextLost_ = false;
};

// IDirect3D9: adapter queries and device creation.
class Direct3D {
public:
    uint32_t GetAdapterModeCount(uint32_t adapter, Format format) const;
    Result EnumAdapterModes(uint32_t adapter, Format format, uint32_t mode, Format* modeFormat) const;
    Result CheckDeviceType(uint32_t adapter, Format adapterFormat, Format backBufferFormat, bool windowed) const;
    // Render-target formats are checked on the GL context the device will use: the format must be a
    // complete FBO attachment, and blend when QueryPostPixelShaderBlending is asked.
    Result CheckDeviceFormat(uint32_t adapter, Format adapterFormat, uint32_t usage, Format format);
    Result GetDeviceCaps(uint32_t adapter, DeviceCaps* caps);
    Result CreateDevice(uint32_t adapter, Window* focusWindow, const PresentParameters& parameters,
                        std::shared_ptr<Device>* device);

    explicit Direct3D(Window* window) : window_(window) {}

private:
    Window* window_;
};

// Direct3DCreate9: binds the GL context of the window; nullptr when there is none.
std::shared_ptr<Direct3D> Direct3DCreate9(Window* window, uint32_t sdkVersion = 32);

}  // namespace velor
