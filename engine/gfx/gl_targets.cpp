// Targets: the back buffer (a renderbuffer pair in an FBO, rows stored top first), texture targets
// (one FBO per texture level, attached lazily, sharing one depth-stencil buffer per size), clears,
// the letterboxed present and read-backs.
#include "engine/gfx/gl_targets.h"

#include <algorithm>

#include "engine/gfx/gl_state.h"
#include "engine/gfx/pixel_scale.h"
#include "engine/os/window.h"

namespace velor {

GlTargets::~GlTargets() {
    if (backFbo_) glDeleteFramebuffers(1, &backFbo_);
    if (backColor_) glDeleteRenderbuffers(1, &backColor_);
    if (backDepth_) glDeleteRenderbuffers(1, &backDepth_);
    for (auto& [key, name] : depthBuffers_) glDeleteRenderbuffers(1, &name);
    if (overlayFbo_) glDeleteFramebuffers(1, &overlayFbo_);
    if (overlayTexture_) glDeleteTextures(1, &overlayTexture_);
}

bool GlTargets::Initialise(uint32_t logicalWidth, uint32_t logicalHeight, float pixelScale, std::string* error) {
    pixelScale_ = boundScale_ = pixelScale;
    width_ = ScaledLength(logicalWidth, pixelScale);
    height_ = ScaledLength(logicalHeight, pixelScale);
    glGenRenderbuffers(1, &backColor_);
    glBindRenderbuffer(GL_RENDERBUFFER, backColor_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, GLsizei(width_), GLsizei(height_));
    glGenRenderbuffers(1, &backDepth_);
    glBindRenderbuffer(GL_RENDERBUFFER, backDepth_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, GLsizei(width_), GLsizei(height_));
    glGenFramebuffers(1, &backFbo_);
    glBindFramebuffer(GL_FRAMEBUFFER, backFbo_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, backColor_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, backDepth_);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        if (error)
            *error = "the " + std::to_string(width_) + " x " + std::to_string(height_) +
                     " back buffer is not a complete framebuffer";
        return false;
    }
    return true;
}

GLuint GlTargets::DepthFor(uint32_t width, uint32_t height) {
    auto key = std::make_pair(width, height);
    auto it = depthBuffers_.find(key);
    if (it != depthBuffers_.end()) return it->second;
    GLuint name = 0;
    glGenRenderbuffers(1, &name);
    glBindRenderbuffer(GL_RENDERBUFFER, name);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, GLsizei(width), GLsizei(height));
    depthBuffers_[key] = name;
    return name;
}

GLuint GlTargets::TextureFramebuffer(const Surface& surface, bool* textureChanged) {
    const Texture& texture = *surface.GetTexture();
    GLuint name = PrepareTexture(texture, textureChanged);
    GpuObject& gpu = texture.Gpu();
    if (gpu.aux == 0) {
        glGenFramebuffers(1, &gpu.aux);
        glBindFramebuffer(GL_FRAMEBUFFER, gpu.aux);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, name, GLint(surface.Level()));
    }
    return gpu.aux;
}

void GlTargets::Apply(const DeviceState& state, bool* textureChanged) {
    if (state.renderTarget == nullptr) {
        glBindFramebuffer(GL_FRAMEBUFFER, backFbo_);
        hasDepth_ = true;
        boundScale_ = pixelScale_;
        return;
    }
    GLuint fbo = TextureFramebuffer(*state.renderTarget, textureChanged);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    const Texture& texture = *state.renderTarget->GetTexture();
    uint32_t level = state.renderTarget->Level();
    GLuint depth = state.targetDepth ? DepthFor(texture.StorageWidth(level), texture.StorageHeight(level)) : 0;
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depth);
    hasDepth_ = depth != 0;
    boundScale_ = texture.PixelScale();
}

void GlTargets::ApplyViewport(const Viewport& vp) const {
    int32_t left = ScaledEdge(int32_t(vp.x), boundScale_), top = ScaledEdge(int32_t(vp.y), boundScale_);
    int32_t right = ScaledEdge(int32_t(vp.x + vp.width), boundScale_);
    int32_t bottom = ScaledEdge(int32_t(vp.y + vp.height), boundScale_);
    glViewport(left, top, right - left, bottom - top);
}

void GlTargets::ApplyScissor(const Rect& r) const {
    int32_t left = ScaledEdge(r.left, boundScale_), top = ScaledEdge(r.top, boundScale_);
    int32_t right = ScaledEdge(r.right, boundScale_), bottom = ScaledEdge(r.bottom, boundScale_);
    glScissor(left, top, std::max(right - left, 0), std::max(bottom - top, 0));
}

void GlTargets::Clear(const Viewport& vp, const Rect* scissor, uint32_t rectCount, const Rect* rects, uint32_t flags,
                      Color color, float z, uint32_t stencil) {
    GLbitfield mask = 0;
    if (flags & Clear::Target) {
        ColorValue c = ColorToValue(color);
        glClearColor(c.r, c.g, c.b, c.a);
        mask |= GL_COLOR_BUFFER_BIT;
    }
    if ((flags & Clear::ZBuffer) && hasDepth_) {
        GlClearDepth(z);
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    if ((flags & Clear::Stencil) && hasDepth_) {
        glClearStencil(GLint(stencil & 0xFF));
        mask |= GL_STENCIL_BUFFER_BIT;
    }
    if (mask == 0) return;
    // Clears ignore the write masks, as Direct3D's do.
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    glStencilMask(0xFF);
    glEnable(GL_SCISSOR_TEST);
    // Rows are stored top first, so a Direct3D y is a GL window y.
    auto clearRect = [&](int32_t left, int32_t top, int32_t right, int32_t bottom) {
        left = std::max(left, int32_t(vp.x));
        top = std::max(top, int32_t(vp.y));
        right = std::min(right, int32_t(vp.x + vp.width));
        bottom = std::min(bottom, int32_t(vp.y + vp.height));
        if (scissor != nullptr) {
            left = std::max(left, scissor->left), top = std::max(top, scissor->top);
            right = std::min(right, scissor->right), bottom = std::min(bottom, scissor->bottom);
        }
        if (left >= right || top >= bottom) return;
        left = ScaledEdge(left, boundScale_), top = ScaledEdge(top, boundScale_);
        right = ScaledEdge(right, boundScale_), bottom = ScaledEdge(bottom, boundScale_);
        glScissor(left, top, right - left, bottom - top);
        glClear(mask);
    };
    if (rectCount == 0) {
        clearRect(int32_t(vp.x), int32_t(vp.y), int32_t(vp.x + vp.width), int32_t(vp.y + vp.height));
    } else {
        for (uint32_t i = 0; i < rectCount; ++i) clearRect(rects[i].left, rects[i].top, rects[i].right, rects[i].bottom);
    }
}

void GlTargets::ClearBackBuffer() {
    glBindFramebuffer(GL_FRAMEBUFFER, backFbo_);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    glStencilMask(0xFF);
    glClearColor(0, 0, 0, 1);
    GlClearDepth(1.0f);
    glClearStencil(0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

void GlTargets::Present(Window* window) {
    int w = 0, h = 0;
    window->GetDrawableSize(&w, &h);
    const FrameRect source = PresentedRect();
    const FrameRect shown = FitInDrawable(source.width, source.height, w, h);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, backFbo_);
    // The back buffer's row 0 is the top row; the window's is the bottom row.
    const GLint dx = shown.x, dy = h - shown.y - GLint(shown.height);
    const bool sameSize = shown.width == source.width && shown.height == source.height;
    glBlitFramebuffer(source.x, source.y, source.x + GLint(source.width), source.y + GLint(source.height), dx,
                      dy + GLint(shown.height), dx + GLint(shown.width), dy, GL_COLOR_BUFFER_BIT,
                      sameSize ? GL_NEAREST : GL_LINEAR);
    if (HasOverlay()) {
        // Pixel for pixel at the top-left corner, cut to the window.
        const GLint ow = std::min(GLint(overlayWidth_), GLint(w)), oh = std::min(GLint(overlayHeight_), GLint(h));
        glBindFramebuffer(GL_READ_FRAMEBUFFER, overlayFbo_);
        glBlitFramebuffer(0, 0, ow, oh, 0, h, ow, h - oh, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    }
    window->SwapBuffers();
}

void GlTargets::SetOverlay(const OverlayImage& image) {
    overlayWidth_ = overlayHeight_ = 0;
    if (image.width == 0 || image.height == 0 || image.pixels.size() != size_t(image.width) * image.height) return;
    if (overlayTexture_ == 0) {
        glGenTextures(1, &overlayTexture_);
        glGenFramebuffers(1, &overlayFbo_);
    }
    // Bytes R, G, B, A in memory, which both GL and ES take; the texture row 0 is the image's top row.
    std::vector<uint32_t> rgba(image.pixels.size());
    for (size_t i = 0; i < rgba.size(); ++i) rgba[i] = SwapRedBlue(image.pixels[i]);
    // The device's texture bindings are cached (gl_state.h): the unit's binding is put back as it was.
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    GLint unpackAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &unpackAlignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glBindTexture(GL_TEXTURE_2D, overlayTexture_);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, GLsizei(image.width), GLsizei(image.height), 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 rgba.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, GLuint(bound));
    glPixelStorei(GL_UNPACK_ALIGNMENT, unpackAlignment);
    GLint readFbo = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFbo);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, overlayFbo_);
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, overlayTexture_, 0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, GLuint(readFbo));
    overlayWidth_ = image.width;
    overlayHeight_ = image.height;
}

namespace {

// Reads the bound read framebuffer as 0xAARRGGBB words, row 0 first. ES reads only R, G, B, A bytes
// from an 8-bit target and only floats from a half-float one; both are turned into the same words
// the core profile reads directly.
void ReadPixelsArgb(uint32_t width, uint32_t height, bool halfFloat, uint32_t* out) {
    if (!GlIsEs()) {
        glReadPixels(0, 0, GLsizei(width), GLsizei(height), GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, out);
        return;
    }
    size_t count = size_t(width) * height;
    if (halfFloat) {
        std::vector<float> rgba(count * 4);
        glReadPixels(0, 0, GLsizei(width), GLsizei(height), GL_RGBA, GL_FLOAT, rgba.data());
        auto byte = [](float v) { return uint32_t(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); };
        for (size_t i = 0; i < count; ++i)
            out[i] = byte(rgba[4 * i + 3]) << 24 | byte(rgba[4 * i]) << 16 | byte(rgba[4 * i + 1]) << 8 | byte(rgba[4 * i + 2]);
        return;
    }
    glReadPixels(0, 0, GLsizei(width), GLsizei(height), GL_RGBA, GL_UNSIGNED_BYTE, out);
    for (size_t i = 0; i < count; ++i) out[i] = SwapRedBlue(out[i]);
}

}  // namespace

std::vector<uint32_t> GlTargets::ReadBackBuffer() {
    std::vector<uint32_t> pixels(size_t(width_) * height_);
    // Every queued draw done first: under load a read-back without it has come back with tiles of a
    // frame still being rasterised (llvmpipe bins and rasterises on worker threads).
    glFinish();
    glBindFramebuffer(GL_READ_FRAMEBUFFER, backFbo_);
    ReadPixelsArgb(width_, height_, false, pixels.data());
    // The back buffer has no alpha channel to speak of (X8R8G8B8).
    for (auto& p : pixels) p |= 0xFF000000u;
    return pixels;
}

std::vector<uint32_t> GlTargets::ReadTexture(const std::shared_ptr<Texture>& texture, bool* textureChanged) {
    if (texture == nullptr || !texture->IsRenderTarget()) return {};
    auto surface = std::make_shared<Surface>(texture, 0);
    GLuint fbo = TextureFramebuffer(*surface, textureChanged);
    uint32_t w = texture->StorageWidth(0), h = texture->StorageHeight(0);
    std::vector<uint32_t> pixels(size_t(w) * h);
    glFinish();  // as for the back buffer
    glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo);
    ReadPixelsArgb(w, h, texture->GetFormat() == Format::A16B16G16R16F, pixels.data());
    return pixels;
}

}  // namespace velor
