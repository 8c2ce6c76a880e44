#include "engine/gfx/gl_backend.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "engine/gfx/ffp_shaders.h"
#include "engine/gfx/gl_release.h"
#include "engine/os/window.h"

namespace velor {

namespace {

GlBackend* gLiveBackend = nullptr;  // the backend whose context is current, for releases

void DeleteGpuObject(GpuObject& object) {
    if (object.kind == kGpuBuffer && object.name != 0) glDeleteBuffers(1, &object.name);
    if (object.kind == kGpuProgram && object.name != 0) {
        if (gLiveBackend != nullptr) gLiveBackend->ForgetProgram(object.name);
        glDeleteProgram(object.name);
    }
    if (object.kind == kGpuTexture) {
        if (object.aux != 0) glDeleteFramebuffers(1, &object.aux);
        if (object.name != 0) glDeleteTextures(1, &object.name);
    }
}

}  // namespace

GLuint CompileShader(GLenum stage, const std::string& source, std::string* error) {
    GLuint shader = glCreateShader(stage);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        GLint length = 0;
        glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
        std::string log(size_t(std::max(length, 1)), '\0');
        glGetShaderInfoLog(shader, length, nullptr, log.data());
        if (error) *error = std::string(stage == GL_VERTEX_SHADER ? "vertex shader: " : "fragment shader: ") + log.c_str();
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

GLuint LinkProgram(GLuint vertex, GLuint fragment, std::string* error) {
    GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    GLint ok = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
        GLint length = 0;
        glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
        std::string log(size_t(std::max(length, 1)), '\0');
        glGetProgramInfoLog(program, length, nullptr, log.data());
        if (error) *error = std::string("link: ") + log.c_str();
        glDeleteProgram(program);
        return 0;
    }
    return program;
}

GlBackend::GlBackend(Device& device) : device_(device) {}

GlBackend::~GlBackend() {
    SetGpuReleaseHook(nullptr);
    if (gLiveBackend == this) gLiveBackend = nullptr;
    if (backFbo_) glDeleteFramebuffers(1, &backFbo_);
    if (backColor_) glDeleteRenderbuffers(1, &backColor_);
    if (backDepth_) glDeleteRenderbuffers(1, &backDepth_);
    if (vao_) glDeleteVertexArrays(1, &vao_);
    if (userBuffer_) glDeleteBuffers(1, &userBuffer_);
    glDeleteSamplers(kSamplerCount, samplers_);
    for (auto& [key, name] : depthBuffers_) glDeleteRenderbuffers(1, &name);
    for (auto& [name, info] : programs_)
        if (name == ffProgram_) glDeleteProgram(name);
}

bool GlBackend::Initialise(uint32_t width, uint32_t height, std::string* error) {
    width_ = width;
    height_ = height;
    SetGpuReleaseHook(&DeleteGpuObject);
    gLiveBackend = this;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize_);

    clipControl_ = epoxy_gl_version() >= 45 || epoxy_has_gl_extension("GL_ARB_clip_control");
    robustness_ = epoxy_gl_version() >= 45 || epoxy_has_gl_extension("GL_ARB_robustness");
    if (clipControl_) glClipControl(GL_LOWER_LEFT, GL_ZERO_TO_ONE);

    glGenRenderbuffers(1, &backColor_);
    glBindRenderbuffer(GL_RENDERBUFFER, backColor_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, GLsizei(width), GLsizei(height));
    glGenRenderbuffers(1, &backDepth_);
    glBindRenderbuffer(GL_RENDERBUFFER, backDepth_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, GLsizei(width), GLsizei(height));
    glGenFramebuffers(1, &backFbo_);
    glBindFramebuffer(GL_FRAMEBUFFER, backFbo_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, backColor_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, backDepth_);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        if (error) *error = "the 1024 x 768 back buffer is not a complete framebuffer";
        return false;
    }
    currentTargetHeight_ = height;

    glGenVertexArrays(1, &vao_);
    glBindVertexArray(vao_);
    glGenBuffers(1, &userBuffer_);
    glGenSamplers(kSamplerCount, samplers_);
    for (uint32_t unit = 0; unit < kSamplerCount; ++unit) glBindSampler(unit, samplers_[unit]);
    glEnable(GL_PROGRAM_POINT_SIZE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);

    std::string log;
    GLuint vs = CompileShader(GL_VERTEX_SHADER, std::string(kVertexPrelude) + kFixedFunctionVertexBody, &log);
    GLuint fs = vs ? CompileShader(GL_FRAGMENT_SHADER, std::string(kFragmentPrelude) + kFixedFunctionFragmentBody, &log) : 0;
    ffProgram_ = fs ? LinkProgram(vs, fs, &log) : 0;
    if (vs) glDeleteShader(vs);
    if (fs) glDeleteShader(fs);
    if (ffProgram_ == 0) {
        if (error) *error = "fixed-function shaders: " + log;
        return false;
    }
    return true;
}

bool GlBackend::ContextWasReset() {
    return robustness_ && glGetGraphicsResetStatus() != GL_NO_ERROR;
}

// ---- targets -------------------------------------------------------------------------------------

GLuint GlBackend::DepthFor(uint32_t width, uint32_t height) {
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

GLuint GlBackend::TargetFramebuffer(const Surface& surface) {
    const Texture& texture = *surface.GetTexture();
    GLuint name = PrepareTexture(texture);
    GpuObject& gpu = texture.Gpu();
    if (gpu.aux == 0) {
        glGenFramebuffers(1, &gpu.aux);
        glBindFramebuffer(GL_FRAMEBUFFER, gpu.aux);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, name, GLint(surface.Level()));
    }
    return gpu.aux;
}

void GlBackend::ApplyTarget() {
    const auto& state = device_.State();
    if (state.renderTarget == nullptr) {
        glBindFramebuffer(GL_FRAMEBUFFER, backFbo_);
        currentTargetHasDepth_ = true;
        currentTargetHeight_ = height_;
        return;
    }
    GLuint fbo = TargetFramebuffer(*state.renderTarget);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    const Texture& texture = *state.renderTarget->GetTexture();
    uint32_t w = texture.LevelWidth(state.renderTarget->Level()), h = texture.LevelHeight(state.renderTarget->Level());
    GLuint depth = state.targetDepth ? DepthFor(w, h) : 0;
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depth);
    currentTargetHasDepth_ = depth != 0;
    currentTargetHeight_ = h;
}

void GlBackend::Clear(uint32_t rectCount, const Rect* rects, uint32_t flags, Color color, float z, uint32_t stencil) {
    if (device_.dirty & Device::kDirtyTarget) {
        ApplyTarget();
        device_.dirty &= ~Device::kDirtyTarget;
    }
    const Viewport& vp = device_.State().viewport;
    GLbitfield mask = 0;
    if (flags & Clear::Target) {
        ColorValue c = ColorToValue(color);
        glClearColor(c.r, c.g, c.b, c.a);
        mask |= GL_COLOR_BUFFER_BIT;
    }
    if ((flags & Clear::ZBuffer) && currentTargetHasDepth_) {
        glClearDepth(z);
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    if ((flags & Clear::Stencil) && currentTargetHasDepth_) {
        glClearStencil(GLint(stencil & 0xFF));
        mask |= GL_STENCIL_BUFFER_BIT;
    }
    if (mask == 0) return;
    // Clears ignore the write masks, as Direct3D's do; the shadow is told so the next draw restores them.
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    glStencilMask(0xFF);
    shadow_.colorMask = shadow_.depthMask = -1;
    std::fill(std::begin(shadow_.stencilKey), std::end(shadow_.stencilKey), 0xFFFFFFFFu);
    glEnable(GL_SCISSOR_TEST);
    shadow_.scissor = -1;
    // Rows are stored top first, so a Direct3D y is a GL window y.
    auto clearRect = [&](int32_t left, int32_t top, int32_t right, int32_t bottom) {
        left = std::max(left, int32_t(vp.x));
        top = std::max(top, int32_t(vp.y));
        right = std::min(right, int32_t(vp.x + vp.width));
        bottom = std::min(bottom, int32_t(vp.y + vp.height));
        if (left >= right || top >= bottom) return;
        glScissor(left, top, right - left, bottom - top);
        glClear(mask);
    };
    if (rectCount == 0) {
        clearRect(int32_t(vp.x), int32_t(vp.y), int32_t(vp.x + vp.width), int32_t(vp.y + vp.height));
    } else {
        for (uint32_t i = 0; i < rectCount; ++i) clearRect(rects[i].left, rects[i].top, rects[i].right, rects[i].bottom);
    }
}

void GlBackend::Present() {
    Window* window = device_.GetWindow();
    if (window == nullptr) return;
    int w = 0, h = 0;
    window->GetDrawableSize(&w, &h);
    // Largest 4:3 rectangle that fits, centred; black around it.
    int dw = w, dh = w * 3 / 4;
    if (dh > h) dh = h, dw = h * 4 / 3;
    int dx = (w - dw) / 2, dy = (h - dh) / 2;
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    shadow_.scissor = -1;
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    shadow_.colorMask = -1;
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, backFbo_);
    // The back buffer's row 0 is the top row; the window's is the bottom row.
    glBlitFramebuffer(0, 0, GLint(width_), GLint(height_), dx, dy + dh, dx + dw, dy, GL_COLOR_BUFFER_BIT,
                      (dw == int(width_) && dh == int(height_)) ? GL_NEAREST : GL_LINEAR);
    window->SwapBuffers();
    device_.dirty |= Device::kDirtyTarget;
}

std::vector<uint32_t> GlBackend::ReadBackBuffer() {
    std::vector<uint32_t> pixels(size_t(width_) * height_);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, backFbo_);
    glReadPixels(0, 0, GLsizei(width_), GLsizei(height_), GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, pixels.data());
    // The back buffer has no alpha channel to speak of (X8R8G8B8).
    for (auto& p : pixels) p |= 0xFF000000u;
    return pixels;
}

std::vector<uint32_t> GlBackend::ReadTexture(const std::shared_ptr<Texture>& texture) {
    if (texture == nullptr || !texture->IsRenderTarget()) return {};
    auto surface = std::make_shared<Surface>(texture, 0);
    GLuint fbo = TargetFramebuffer(*surface);
    uint32_t w = texture->LevelWidth(0), h = texture->LevelHeight(0);
    std::vector<uint32_t> pixels(size_t(w) * h);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo);
    glReadPixels(0, 0, GLsizei(w), GLsizei(h), GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, pixels.data());
    device_.dirty |= Device::kDirtyTarget;
    return pixels;
}

// ---- textures ------------------------------------------------------------------------------------

// Uploads go through a unit of their own, so they never disturb what the sampling units hold.
constexpr GLenum kUploadUnit = GL_TEXTURE0 + kSamplerCount;

GLuint GlBackend::PrepareTexture(const BaseTexture& texture) {
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
            GLenum internal = texture.GetFormat() == Format::A16B16G16R16F ? GL_RGBA16F : GL_RGBA8;
            glTexImage2D(GL_TEXTURE_2D, 0, GLint(internal), GLsizei(texture.LevelWidth(0)), GLsizei(texture.LevelHeight(0)),
                         0, GL_RGBA, GL_FLOAT, nullptr);
            gpu.uploaded = texture.Version();
        }
        device_.dirty |= Device::kDirtyTexture;
    }
    if (gpu.uploaded != texture.Version()) {
        glBindTexture(target, gpu.name);
        bool opaque = texture.GetFormat() == Format::X8R8G8B8;
        uint32_t faces = texture.IsCube() ? 6 : 1;
        for (uint32_t face = 0; face < faces; ++face) {
            GLenum imageTarget = texture.IsCube() ? GL_TEXTURE_CUBE_MAP_POSITIVE_X + face : GL_TEXTURE_2D;
            for (uint32_t level = 0; level < texture.GetLevelCount(); ++level) {
                const auto& pixels = texture.Pixels(face, level);
                glTexImage2D(imageTarget, GLint(level), opaque ? GL_RGB8 : GL_RGBA8, GLsizei(texture.LevelWidth(level)),
                             GLsizei(texture.LevelHeight(level)), 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, pixels.data());
            }
        }
        gpu.uploaded = texture.Version();
        device_.dirty |= Device::kDirtyTexture;
    }
    return gpu.name;
}

}  // namespace velor
