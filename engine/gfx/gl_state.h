#pragma once
// The GL state cache: render states, sampler states and texture bindings turned from the device's
// D3D9 values into GL calls, issuing only what differs from what GL already has. Engine-internal.
#include "engine/gfx/gl_api.h"

#include <array>
#include <cstdint>

#include "engine/gfx/device_state.h"

namespace velor {

// Makes sure a texture's GL object exists and holds its current pixels; returns its name, and sets
// `changed` when it made or refilled the object. Uploads use a unit of their own, so they never
// disturb what the sampling units hold.
GLuint PrepareTexture(const BaseTexture& texture, bool* changed);

class GlStateCache {
public:
    GlStateCache() = default;
    ~GlStateCache();
    GlStateCache(const GlStateCache&) = delete;
    GlStateCache& operator=(const GlStateCache&) = delete;

    void Initialise();
    // Depth and stencil tests only apply when the target has a depth-stencil buffer; sprites draw
    // without culling.
    void ApplyRenderStates(const DeviceState& state, bool sprites, bool targetHasDepth);
    void ApplySamplers(const DeviceState& state);
    // Binds every unit's texture; sets `changed` when a texture was made or refilled on the way.
    void ApplyTextures(const DeviceState& state, bool* changed);
    // Clears and presents set the write masks and the scissor themselves: the next draw sets them again.
    void ForgetMasksAndScissor();
    // Whether draws and clears with this state keep inside its scissor rectangle: its
    // ScissorTestEnable, unless the device's control has switched scissoring off for measuring.
    bool ScissorOn(const DeviceState& state) const;
    void SetScissorHonoured(bool honoured) { scissorHonoured_ = honoured; }
    bool ScissorHonoured() const { return scissorHonoured_; }

private:
    void ApplyStencil(const DeviceState& state, bool targetHasDepth);
    void BindTextureUnit(uint32_t unit, const BaseTexture* texture, bool* changed);

    GLuint samplers_[kSamplerCount] = {};
    struct Shadow {
        int depthTest = -1, depthMask = -1, depthFunc = -1, blend = -1, cull = -1, cullFace = -1;
        int srcRgb = -1, dstRgb = -1, srcAlpha = -1, dstAlpha = -1, eqRgb = -1, eqAlpha = -1;
        int stencilTest = -1, colorMask = -1, scissor = -1, polygonMode = -1;
        uint32_t stencilKey[8] = {0xFFFFFFFF};
    } shadow_;
    GLuint boundTextures_[kSamplerCount] = {};
    GLenum boundTargets_[kSamplerCount] = {};
    std::array<std::array<uint32_t, kSamplerStateCount>, kSamplerCount> appliedSamplers_{};
    bool samplerApplied_[kSamplerCount] = {};
    bool scissorHonoured_ = true;
};

}  // namespace velor
