// Render and sampler states and texture bindings: the device's D3D9 values turned into GL state,
// issuing only what differs from the shadow of what GL already has.
#include "engine/gfx/gl_state.h"

#include <algorithm>
#include <vector>

#include "engine/gfx/gl_release.h"

namespace velor {

namespace {

GLenum BlendFactor(uint32_t value) {
    switch (Blend(value)) {
    case Blend::Zero: return GL_ZERO;
    case Blend::One: return GL_ONE;
    case Blend::SrcColor: return GL_SRC_COLOR;
    case Blend::InvSrcColor: return GL_ONE_MINUS_SRC_COLOR;
    case Blend::SrcAlpha: return GL_SRC_ALPHA;
    case Blend::InvSrcAlpha: return GL_ONE_MINUS_SRC_ALPHA;
    case Blend::DestAlpha: return GL_DST_ALPHA;
    case Blend::InvDestAlpha: return GL_ONE_MINUS_DST_ALPHA;
    case Blend::DestColor: return GL_DST_COLOR;
    case Blend::InvDestColor: return GL_ONE_MINUS_DST_COLOR;
    case Blend::SrcAlphaSat: return GL_SRC_ALPHA_SATURATE;
    }
    return GL_ONE;
}

GLenum BlendEquation(uint32_t value) {
    switch (BlendOp(value)) {
    case BlendOp::Add: return GL_FUNC_ADD;
    case BlendOp::Subtract: return GL_FUNC_SUBTRACT;
    case BlendOp::RevSubtract: return GL_FUNC_REVERSE_SUBTRACT;
    case BlendOp::Min: return GL_MIN;
    case BlendOp::Max: return GL_MAX;
    }
    return GL_FUNC_ADD;
}

GLenum CompareFunc(uint32_t value) {
    switch (Cmp(value)) {
    case Cmp::Never: return GL_NEVER;
    case Cmp::Less: return GL_LESS;
    case Cmp::Equal: return GL_EQUAL;
    case Cmp::LessEqual: return GL_LEQUAL;
    case Cmp::Greater: return GL_GREATER;
    case Cmp::NotEqual: return GL_NOTEQUAL;
    case Cmp::GreaterEqual: return GL_GEQUAL;
    case Cmp::Always: return GL_ALWAYS;
    }
    return GL_ALWAYS;
}

GLenum StencilOperation(uint32_t value) {
    switch (StencilOp(value)) {
    case StencilOp::Keep: return GL_KEEP;
    case StencilOp::Zero: return GL_ZERO;
    case StencilOp::Replace: return GL_REPLACE;
    case StencilOp::IncrSat: return GL_INCR;
    case StencilOp::DecrSat: return GL_DECR;
    case StencilOp::Invert: return GL_INVERT;
    case StencilOp::Incr: return GL_INCR_WRAP;
    case StencilOp::Decr: return GL_DECR_WRAP;
    }
    return GL_KEEP;
}

template <typename T>
bool Changed(int& shadow, T value) {
    if (shadow == int(value)) return false;
    shadow = int(value);
    return true;
}

}  // namespace

GlStateCache::~GlStateCache() {
    if (samplers_[0] != 0) glDeleteSamplers(kSamplerCount, samplers_);
}

void GlStateCache::Initialise() {
    glGenSamplers(kSamplerCount, samplers_);
    for (uint32_t unit = 0; unit < kSamplerCount; ++unit) glBindSampler(unit, samplers_[unit]);
}

bool GlStateCache::ScissorOn(const DeviceState& state) const {
    return scissorHonoured_ && state.render[uint32_t(RenderState::ScissorTestEnable)] != 0;
}

void GlStateCache::ForgetMasksAndScissor() {
    shadow_.colorMask = shadow_.depthMask = shadow_.scissor = -1;
    std::fill(std::begin(shadow_.stencilKey), std::end(shadow_.stencilKey), 0xFFFFFFFFu);
}

// NOTE: targets are drawn y-flipped (top row first), which turns screen winding over: a triangle
// Direct3D sees clockwise is counter-clockwise in GL's window. GL's front face stays CCW, so
// Direct3D's CULL_CCW (remove what it sees counter-clockwise) removes GL's back faces.
void GlStateCache::ApplyRenderStates(const DeviceState& state, bool sprites, bool targetHasDepth) {
    const auto& rs = state.render;
    auto get = [&](RenderState s) { return rs[uint32_t(s)]; };

    bool depthTest = get(RenderState::ZEnable) != 0 && targetHasDepth;
    if (Changed(shadow_.depthTest, depthTest)) depthTest ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST);
    if (Changed(shadow_.depthMask, get(RenderState::ZWriteEnable) != 0)) glDepthMask(get(RenderState::ZWriteEnable) ? GL_TRUE : GL_FALSE);
    if (Changed(shadow_.depthFunc, CompareFunc(get(RenderState::ZFunc)))) glDepthFunc(CompareFunc(get(RenderState::ZFunc)));

    bool blend = get(RenderState::AlphaBlendEnable) != 0;
    if (Changed(shadow_.blend, blend)) blend ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
    if (blend) {
        GLenum src = BlendFactor(get(RenderState::SrcBlend)), dst = BlendFactor(get(RenderState::DestBlend));
        GLenum eq = BlendEquation(get(RenderState::BlendOp));
        GLenum srcA = src, dstA = dst, eqA = eq;
        if (get(RenderState::SeparateAlphaBlendEnable)) {
            srcA = BlendFactor(get(RenderState::SrcBlendAlpha));
            dstA = BlendFactor(get(RenderState::DestBlendAlpha));
            eqA = BlendEquation(get(RenderState::BlendOpAlpha));
        }
        bool f = Changed(shadow_.srcRgb, src);
        f = Changed(shadow_.dstRgb, dst) || f;
        f = Changed(shadow_.srcAlpha, srcA) || f;
        f = Changed(shadow_.dstAlpha, dstA) || f;
        if (f) glBlendFuncSeparate(src, dst, srcA, dstA);
        bool e = Changed(shadow_.eqRgb, eq);
        e = Changed(shadow_.eqAlpha, eqA) || e;
        if (e) glBlendEquationSeparate(eq, eqA);
    }

    // A raw 0 is no cull mode at all, and Direct3D draws both faces for it, as for D3DCULL_NONE.
    uint32_t cull = sprites ? uint32_t(Cull::None) : get(RenderState::CullMode);
    bool culling = cull == uint32_t(Cull::CW) || cull == uint32_t(Cull::CCW);
    if (Changed(shadow_.cull, culling)) culling ? glEnable(GL_CULL_FACE) : glDisable(GL_CULL_FACE);
    if (culling) {
        GLenum face = cull == uint32_t(Cull::CCW) ? GL_BACK : GL_FRONT;
        if (Changed(shadow_.cullFace, face)) glCullFace(face);
    }

    uint32_t mask = get(RenderState::ColorWriteEnable) & 0xF;
    if (Changed(shadow_.colorMask, mask))
        glColorMask(mask & ColorWrite::Red ? GL_TRUE : GL_FALSE, mask & ColorWrite::Green ? GL_TRUE : GL_FALSE,
                    mask & ColorWrite::Blue ? GL_TRUE : GL_FALSE, mask & ColorWrite::Alpha ? GL_TRUE : GL_FALSE);

    bool scissor = ScissorOn(state);
    if (Changed(shadow_.scissor, scissor)) scissor ? glEnable(GL_SCISSOR_TEST) : glDisable(GL_SCISSOR_TEST);
#ifndef __EMSCRIPTEN__
    // ES has no polygon mode: there WIREFRAME and POINT fill solid.
    if (!GlIsEs()) {
        GLenum polygon = get(RenderState::FillMode) == uint32_t(FillMode::Wireframe) ? GL_LINE
                         : get(RenderState::FillMode) == uint32_t(FillMode::Point) ? GL_POINT : GL_FILL;
        if (Changed(shadow_.polygonMode, polygon)) glPolygonMode(GL_FRONT_AND_BACK, polygon);
    }
#endif
    ApplyStencil(state, targetHasDepth);
}

// NOTE: with two-sided stencil the CCW_* operations belong to faces Direct3D sees counter-clockwise,
// which are GL's back faces here (see the winding note above).
void GlStateCache::ApplyStencil(const DeviceState& state, bool targetHasDepth) {
    const auto& rs = state.render;
    auto get = [&](RenderState s) { return rs[uint32_t(s)]; };
    bool enabled = get(RenderState::StencilEnable) != 0 && targetHasDepth;
    if (Changed(shadow_.stencilTest, enabled)) enabled ? glEnable(GL_STENCIL_TEST) : glDisable(GL_STENCIL_TEST);
    if (!enabled) return;
    bool twoSided = get(RenderState::TwoSidedStencilMode) != 0;
    uint32_t key[8] = {
        get(RenderState::StencilFunc), get(RenderState::StencilRef), get(RenderState::StencilMask),
        get(RenderState::StencilWriteMask),
        get(RenderState::StencilFail) | get(RenderState::StencilZFail) << 8 | get(RenderState::StencilPass) << 16,
        twoSided ? get(RenderState::CcwStencilFunc) : 0xFFFF,
        twoSided ? (get(RenderState::CcwStencilFail) | get(RenderState::CcwStencilZFail) << 8 |
                    get(RenderState::CcwStencilPass) << 16)
                 : 0xFFFF,
        0,
    };
    if (std::equal(std::begin(key), std::end(key), std::begin(shadow_.stencilKey))) return;
    std::copy(std::begin(key), std::end(key), std::begin(shadow_.stencilKey));
    GLint ref = GLint(get(RenderState::StencilRef) & 0xFF);
    GLuint readMask = get(RenderState::StencilMask), writeMask = get(RenderState::StencilWriteMask);
    GLenum cwFunc = CompareFunc(get(RenderState::StencilFunc));
    GLenum cwFail = StencilOperation(get(RenderState::StencilFail));
    GLenum cwZFail = StencilOperation(get(RenderState::StencilZFail));
    GLenum cwPass = StencilOperation(get(RenderState::StencilPass));
    glStencilMask(writeMask);
    glStencilFuncSeparate(GL_FRONT, cwFunc, ref, readMask);
    glStencilOpSeparate(GL_FRONT, cwFail, cwZFail, cwPass);
    if (twoSided) {
        glStencilFuncSeparate(GL_BACK, CompareFunc(get(RenderState::CcwStencilFunc)), ref, readMask);
        glStencilOpSeparate(GL_BACK, StencilOperation(get(RenderState::CcwStencilFail)),
                            StencilOperation(get(RenderState::CcwStencilZFail)),
                            StencilOperation(get(RenderState::CcwStencilPass)));
    } else {
        glStencilFuncSeparate(GL_BACK, cwFunc, ref, readMask);
        glStencilOpSeparate(GL_BACK, cwFail, cwZFail, cwPass);
    }
}

void GlStateCache::ApplySamplers(const DeviceState& state) {
    const auto& samplers = state.sampler;
    for (uint32_t unit = 0; unit < kSamplerCount; ++unit) {
        const auto& s = samplers[unit];
        // Only units whose states moved since they were last applied reach GL.
        if (samplerApplied_[unit] && appliedSamplers_[unit] == s) continue;
        samplerApplied_[unit] = true;
        appliedSamplers_[unit] = s;
        auto address = [](uint32_t v) -> GLint {
            switch (TextureAddress(v)) {
            case TextureAddress::Wrap: return GL_REPEAT;
            case TextureAddress::Mirror: return GL_MIRRORED_REPEAT;
            case TextureAddress::Clamp: return GL_CLAMP_TO_EDGE;
            // ES 3.0 has no border: its border addressing clamps to the edge texels instead.
            case TextureAddress::Border: return GlIsEs() ? GL_CLAMP_TO_EDGE : GL_CLAMP_TO_BORDER;
            case TextureAddress::MirrorOnce: return GL_MIRRORED_REPEAT;
            }
            return GL_REPEAT;
        };
        bool linearMag = s[uint32_t(SamplerState::MagFilter)] >= uint32_t(TextureFilter::Linear);
        bool linearMin = s[uint32_t(SamplerState::MinFilter)] >= uint32_t(TextureFilter::Linear);
        uint32_t mip = s[uint32_t(SamplerState::MipFilter)];
        GLint minFilter = mip == uint32_t(TextureFilter::None) ? (linearMin ? GL_LINEAR : GL_NEAREST)
                          : mip == uint32_t(TextureFilter::Point) ? (linearMin ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST)
                                                                  : (linearMin ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR);
        GLuint sampler = samplers_[unit];
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, address(s[uint32_t(SamplerState::AddressU)]));
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, address(s[uint32_t(SamplerState::AddressV)]));
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_R, address(s[uint32_t(SamplerState::AddressW)]));
        glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, linearMag ? GL_LINEAR : GL_NEAREST);
        glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, minFilter);
        if (!GlIsEs()) {
            ColorValue border = ColorToValue(s[uint32_t(SamplerState::BorderColor)]);
            float rgba[4] = {border.r, border.g, border.b, border.a};
            glSamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, rgba);
        }
    }
}

void GlStateCache::BindTextureUnit(uint32_t unit, const BaseTexture* texture, bool* changed) {
    GLuint name = texture != nullptr ? PrepareTexture(*texture, changed) : 0;
    GLenum target = texture != nullptr && texture->IsCube() ? GL_TEXTURE_CUBE_MAP : GL_TEXTURE_2D;
    if (boundTextures_[unit] == name && boundTargets_[unit] == target) return;
    glActiveTexture(GL_TEXTURE0 + unit);
    // A unit holds one texture per target: the other target's binding is dropped so samplers of
    // either kind never read a stale texture.
    if (boundTargets_[unit] != 0 && boundTargets_[unit] != target) glBindTexture(boundTargets_[unit], 0);
    glBindTexture(target, name);
    boundTextures_[unit] = name;
    boundTargets_[unit] = target;
}

void GlStateCache::ApplyTextures(const DeviceState& state, bool* changed) {
    const auto& textures = state.textures;
    for (uint32_t unit = 0; unit < kSamplerCount; ++unit) BindTextureUnit(unit, textures[unit].get(), changed);
    glActiveTexture(GL_TEXTURE0);
}

// ---- textures ------------------------------------------------------------------------------------

// Uploads go through a unit of their own, so they never disturb what the sampling units hold.
constexpr GLenum kUploadUnit = GL_TEXTURE0 + kSamplerCount;

GLuint PrepareTexture(const BaseTexture& texture, bool* changed) {
    GpuObject& gpu = texture.Gpu();
    if (gpu.name != 0 && gpu.uploaded == texture.Version()) return gpu.name;
    glActiveTexture(kUploadUnit);
    GLenum target = texture.IsCube() ? GL_TEXTURE_CUBE_MAP : GL_TEXTURE_2D;
    if (gpu.name == 0) {
        glGenTextures(1, &gpu.name);
        gpu.kind = kGpuTexture;
        glBindTexture(target, gpu.name);
        glTexParameteri(target, GL_TEXTURE_MAX_LEVEL, GLint(texture.GetLevelCount() - 1));
        if (texture.IsRenderTarget()) {
            // ES wants the type to fit the internal format even with no pixels given.
            bool half = texture.GetFormat() == Format::A16B16G16R16F;
            glTexImage2D(GL_TEXTURE_2D, 0, half ? GL_RGBA16F : GL_RGBA8, GLsizei(texture.StorageWidth(0)),
                         GLsizei(texture.StorageHeight(0)), 0, GL_RGBA, half ? GL_FLOAT : GL_UNSIGNED_BYTE, nullptr);
            gpu.uploaded = texture.Version();
        }
        if (changed) *changed = true;
    }
    if (gpu.uploaded != texture.Version()) {
        glBindTexture(target, gpu.name);
        bool opaque = texture.GetFormat() == Format::X8R8G8B8;
        bool es = GlIsEs();
        std::vector<uint32_t> converted;
        uint32_t faces = texture.IsCube() ? 6 : 1;
        for (uint32_t face = 0; face < faces; ++face) {
            GLenum imageTarget = texture.IsCube() ? GL_TEXTURE_CUBE_MAP_POSITIVE_X + face : GL_TEXTURE_2D;
            for (uint32_t level = 0; level < texture.GetLevelCount(); ++level) {
                const auto& pixels = texture.Pixels(face, level);
                GLsizei w = GLsizei(texture.LevelWidth(level)), h = GLsizei(texture.LevelHeight(level));
                if (es) {
                    // ES takes no BGRA: bytes are put in R, G, B, A order, and an opaque format's
                    // alpha is made 1, which is what the core profile's RGB8 texture samples.
                    converted.resize(pixels.size());
                    for (size_t i = 0; i < pixels.size(); ++i) converted[i] = SwapRedBlue(opaque ? pixels[i] | 0xFF000000u : pixels[i]);
                    glTexImage2D(imageTarget, GLint(level), GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                                 converted.data());
                } else {
                    glTexImage2D(imageTarget, GLint(level), opaque ? GL_RGB8 : GL_RGBA8, w, h, 0, GL_BGRA,
                                 GL_UNSIGNED_INT_8_8_8_8_REV, pixels.data());
                }
            }
        }
        gpu.uploaded = texture.Version();
        if (changed) *changed = true;
    }
    return gpu.name;
}

}  // namespace velor
