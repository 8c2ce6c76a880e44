// The backend's calls in the order a draw needs them. Point lists drawn with POINTSPRITEENABLE become
// instanced quads, because GL's points stop at a small size (255 pixels on llvmpipe) while the
// demo's sprites reach several hundred.
#include "engine/gfx/gl_backend.h"

#include "engine/gfx/gl_release.h"
#include "engine/os/window.h"

namespace velor {

namespace {

GlBackend* gLiveBackend = nullptr;  // the backend whose context is current, for releases

void DeleteGpuObject(GpuObject& object) {
    if (object.kind == kGpuBuffer && object.name != 0) {
        if (gLiveBackend != nullptr) gLiveBackend->ForgetBuffer(object.name);
        glDeleteBuffers(1, &object.name);
    }
    if (object.kind == kGpuProgram && object.name != 0) {
        if (gLiveBackend != nullptr) gLiveBackend->Programs().Forget(object.name);
        glDeleteProgram(object.name);
        // Its alpha-test variant.
        if (object.aux != 0) {
            if (gLiveBackend != nullptr) gLiveBackend->Programs().Forget(object.aux);
            glDeleteProgram(object.aux);
        }
    }
    if (object.kind == kGpuShader && object.name != 0) glDeleteShader(object.name);
    if (object.kind == kGpuTexture) {
        if (object.aux != 0) glDeleteFramebuffers(1, &object.aux);
        if (object.name != 0) glDeleteTextures(1, &object.name);
    }
}

GLenum GlPrimitive(PrimitiveType type) {
    switch (type) {
    case PrimitiveType::PointList: return GL_POINTS;
    case PrimitiveType::LineList: return GL_LINES;
    case PrimitiveType::LineStrip: return GL_LINE_STRIP;
    case PrimitiveType::TriangleList: return GL_TRIANGLES;
    case PrimitiveType::TriangleStrip: return GL_TRIANGLE_STRIP;
    case PrimitiveType::TriangleFan: return GL_TRIANGLE_FAN;
    }
    return GL_TRIANGLES;
}

bool DrawsSprites(const DeviceState& state, PrimitiveType type) {
    return type == PrimitiveType::PointList && state.render[uint32_t(RenderState::PointSpriteEnable)] != 0;
}

}  // namespace

GlBackend::GlBackend(Window* window) : window_(window) {}

GlBackend::~GlBackend() {
    SetGpuReleaseHook(nullptr);
    if (gLiveBackend == this) gLiveBackend = nullptr;
}

bool GlBackend::Initialise(uint32_t width, uint32_t height, float pixelScale, std::string* error) {
    SetGpuReleaseHook(&DeleteGpuObject);
    gLiveBackend = this;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize_);

    DetectGlProfile();
    // ES (and WebGL) has neither clip control nor reset status: depth takes the shaders' remap, and
    // a lost context is never reported as a reset.
    bool clipControl = false;
#ifndef __EMSCRIPTEN__
    if (!GlIsEs()) {
        clipControl = epoxy_gl_version() >= 45 || epoxy_has_gl_extension("GL_ARB_clip_control");
        robustness_ = epoxy_gl_version() >= 45 || epoxy_has_gl_extension("GL_ARB_robustness");
        if (clipControl) glClipControl(GL_LOWER_LEFT, GL_ZERO_TO_ONE);
    }
#endif

    if (!targets_.Initialise(width, height, pixelScale, error)) return false;
    input_.Initialise();
    states_.Initialise();
#ifndef __EMSCRIPTEN__
    if (!GlIsEs()) glEnable(GL_PROGRAM_POINT_SIZE);  // always on in ES
#endif
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return programs_.Initialise(clipControl, error);
}

void GlBackend::SetVsync(bool wait) {
    if (window_ != nullptr) window_->SetVsync(wait);
}

bool GlBackend::ContextWasReset() {
#ifdef __EMSCRIPTEN__
    return false;
#else
    return robustness_ && glGetGraphicsResetStatus() != GL_NO_ERROR;
#endif
}

void GlBackend::Clear(const DeviceState& state, uint32_t dirty, uint32_t rectCount, const Rect* rects, uint32_t flags,
                      Color color, float z, uint32_t stencil) {
    Sync(&state, dirty, nullptr);
    if (pending_ & kDirtyTarget) {
        bool changed = false;
        targets_.Apply(state, &changed);
        if (changed) pending_ |= kDirtyTexture;
        pending_ &= ~uint32_t(kDirtyTarget);
    }
    targets_.Clear(state.viewport, states_.ScissorOn(state) ? &state.scissor : nullptr, rectCount, rects, flags, color, z, stencil);
    // The clear opened every write mask: the next draw sets the state's own again.
    states_.ForgetMasksAndScissor();
    pending_ |= kDirtyGlStates;
}

void GlBackend::SetScissorHonoured(bool honoured) {
    FlushPointRun();
    states_.SetScissorHonoured(honoured);
    states_.ForgetMasksAndScissor();
    pending_ |= kDirtyGlStates;
}

void GlBackend::ClearBackBuffer() {
    Sync(nullptr, 0, nullptr);
    targets_.ClearBackBuffer();
    states_.ForgetMasksAndScissor();
    pending_ |= kDirtyTarget | kDirtyGlStates;
}

void GlBackend::Present() {
    Sync(nullptr, 0, nullptr);
    if (window_ == nullptr) return;
    targets_.Present(window_);
    states_.ForgetMasksAndScissor();
    pending_ |= kDirtyTarget;
}

void GlBackend::Flush() {
    Sync(nullptr, 0, nullptr);
    glFlush();
}

std::vector<uint32_t> GlBackend::ReadBackBuffer() {
    Sync(nullptr, 0, nullptr);
    return targets_.ReadBackBuffer();
}

std::vector<uint32_t> GlBackend::ReadTexture(const std::shared_ptr<Texture>& texture) {
    Sync(nullptr, 0, nullptr);
    bool changed = false;
    std::vector<uint32_t> pixels = targets_.ReadTexture(texture, &changed);
    if (changed) pending_ |= kDirtyTexture;
    if (texture != nullptr && texture->IsRenderTarget()) pending_ |= kDirtyTarget;
    return pixels;
}

void GlBackend::Prepare(const DeviceState& state, bool sprites) {
    bool changed = false;
    if (pending_ & kDirtyTarget) targets_.Apply(state, &changed);
    if (changed) pending_ |= kDirtyTexture;
    if (pending_ & (kDirtyViewport | kDirtyTarget)) {
        const Viewport& vp = state.viewport;
        targets_.ApplyViewport(vp);
        programs_.SetTargetScale(targets_.BoundScale());
        GlDepthRange(vp.minZ, vp.maxZ);
    }
    programs_.NoteDirty(pending_);
    // Sprites turn culling off for their own draw, so a change between the two re-applies states.
    // Clears set GL's scissor box for their own use and mark the GL states dirty: the rectangle is
    // set again with them.
    if ((pending_ & (kDirtyViewport | kDirtyTarget | kDirtyGlStates)) && states_.ScissorOn(state))
        targets_.ApplyScissor(state.scissor);
    if ((pending_ & (kDirtyGlStates | kDirtyTarget)) || sprites != lastSprites_) {
        states_.ApplyRenderStates(state, sprites, targets_.HasDepth());
        lastSprites_ = sprites;
    }
    if (pending_ & kDirtySampler) states_.ApplySamplers(state);
    // A texture locked and changed since it was bound needs its pixels sent again.
    bool stale = false;
    for (const auto& texture : state.textures)
        if (texture != nullptr && texture->Gpu().uploaded != texture->Version()) stale = true;
    if ((pending_ & kDirtyTexture) || stale) states_.ApplyTextures(state, &changed);
    pending_ &= kDirtyVertexInput;  // vertex input is bound per draw
    programs_.Use(state, sprites);
}

void GlBackend::SetMerging(bool enabled) {
    if (!enabled) FlushPointRun();
    merging_ = enabled;
}

bool GlBackend::Sync(const DeviceState* state, uint32_t dirty, const PointDraw* point) {
    pending_ |= dirty;
    run_.NoteDirty(dirty);
    if (point != nullptr && merging_) {
        if (!run_.Empty() && run_.Joins(*state, point->stride)) {
            run_.Append(*state, point->vertex);
            return true;
        }
        if (run_.Draw(input_, programs_)) ++drawCalls_;
        if (!GlPointRun::CanStart(*state, point->stride)) return false;
        Prepare(*state, true);
        if (!programs_.PointWorldViewAvailable()) return false;
        run_.Start(*state, point->stride);
        run_.Append(*state, point->vertex);
        return true;
    }
    if (run_.Draw(input_, programs_)) ++drawCalls_;
    return false;
}

void GlBackend::DrawArrays(const DeviceState& state, PrimitiveType type, uint32_t count, GLuint buffer,
                           const uint8_t* base, uint32_t stride) {
    bool sprites = DrawsSprites(state, type);
    Prepare(state, sprites);
    input_.Bind(state.declaration, base, buffer, stride, sprites);
    ++drawCalls_;
    if (sprites) glDrawArraysInstanced(GL_TRIANGLE_STRIP, 0, 4, GLsizei(count));
    else glDrawArrays(GlPrimitive(type), 0, GLsizei(count));
}

void GlBackend::Draw(const DeviceState& state, uint32_t dirty, PrimitiveType type, uint32_t startVertex,
                     uint32_t count) {
    uint32_t stride = state.stream0Stride;
    size_t offset = size_t(state.stream0Offset) + size_t(startVertex) * stride;
    PointDraw point{state.stream0->Data() + offset, stride};
    if (Sync(&state, dirty, count == 1 && DrawsSprites(state, type) ? &point : nullptr)) return;
    GLuint buffer = input_.UploadVertexBuffer(*state.stream0);
    DrawArrays(state, type, count, buffer, reinterpret_cast<const uint8_t*>(offset), stride);
    pending_ &= ~uint32_t(kDirtyVertexInput);
}

void GlBackend::DrawUser(const DeviceState& state, uint32_t dirty, PrimitiveType type, uint32_t count,
                         const void* vertices, uint32_t stride) {
    PointDraw point{static_cast<const uint8_t*>(vertices), stride};
    if (Sync(&state, dirty, count == 1 && DrawsSprites(state, type) ? &point : nullptr)) return;
    size_t offset = input_.StreamUserVertices(vertices, size_t(count) * stride);
    DrawArrays(state, type, count, input_.UserBuffer(), reinterpret_cast<const uint8_t*>(offset), stride);
    // The next draw from a vertex buffer must point the attributes at it again.
    pending_ |= kDirtyVertexInput;
}

void GlBackend::DrawIndexed(const DeviceState& state, uint32_t dirty, PrimitiveType type, int32_t baseVertex,
                            uint32_t startIndex, uint32_t count) {
    Sync(&state, dirty, nullptr);
    Prepare(state, false);
    GLuint buffer = input_.UploadVertexBuffer(*state.stream0);
    uint32_t stride = state.stream0Stride;
    const uint8_t* base = reinterpret_cast<const uint8_t*>(uintptr_t(state.stream0Offset) + uintptr_t(baseVertex) * stride);
    input_.Bind(state.declaration, base, buffer, stride, false);
    pending_ &= ~uint32_t(kDirtyVertexInput);
    input_.UploadIndexBuffer(*state.indices);
    uint32_t size = state.indices->IndexSize();
    ++drawCalls_;
    glDrawElements(GlPrimitive(type), GLsizei(count), size == 4 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT,
                   reinterpret_cast<const void*>(uintptr_t(startIndex) * size));
}

}  // namespace velor
