// IDirect3D9 on a GL context: the adapter questions the device's creation asks, answered from
// what the context can do.
#include "engine/gfx/gl_api.h"

#include "engine/gfx/device.h"
#include "engine/gfx/gl_backend.h"
#include "engine/os/window.h"

namespace velor {

namespace {

// Draws 0.5 with ONE/ONE blending over a clear of 0.25 into the bound 4 × 4 target: 0.75 read back
// means the target blends.
bool BlendsInto(bool halfFloat) {
    static const char* kVertex =
        "void main() { vec2 p = vec2(gl_VertexID & 1, gl_VertexID >> 1) * 4.0 - 1.0;"
        " gl_Position = vec4(p, 0.0, 1.0); }\n";
    static const char* kFragment = "layout(location = 0) out vec4 o; void main() { o = vec4(0.5); }\n";
    const char* version = GlIsEs() ? "#version 300 es\nprecision highp float;\n" : "#version 330 core\n";
    std::string error;
    GLuint vs = CompileShader(GL_VERTEX_SHADER, std::string(version) + kVertex, &error);
    GLuint fs = CompileShader(GL_FRAGMENT_SHADER, std::string(version) + kFragment, &error);
    GLuint program = (vs && fs) ? LinkProgram(vs, fs, &error) : 0;
    if (vs) glDeleteShader(vs);
    if (fs) glDeleteShader(fs);
    if (program == 0) return false;
    GLuint vao = 0;
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glViewport(0, 0, 4, 4);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0.25f, 0.25f, 0.25f, 0.25f);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glUseProgram(program);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    float pixel[4] = {};
    if (halfFloat || !GlIsEs()) {
        glReadPixels(1, 1, 1, 1, GL_RGBA, GL_FLOAT, pixel);
    } else {
        uint8_t bytes[4] = {};  // ES reads an 8-bit target as bytes only
        glReadPixels(1, 1, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, bytes);
        pixel[0] = float(bytes[0]) / 255.0f;
    }
    glDisable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ZERO);
    glUseProgram(0);
    glDeleteProgram(program);
    glBindVertexArray(0);
    glDeleteVertexArrays(1, &vao);
    return pixel[0] > 0.7f && pixel[0] < 0.8f && glGetError() == GL_NO_ERROR;
}

}  // namespace

std::shared_ptr<Direct3D> Direct3DCreate9(Window* window, uint32_t sdkVersion) {
    if (window == nullptr || sdkVersion != 32 || !window->MakeContextCurrent()) return nullptr;
    DetectGlProfile();
#ifndef __EMSCRIPTEN__
    if (epoxy_gl_version() < (GlIsEs() ? 30 : 33)) return nullptr;
#endif
    return std::make_shared<Direct3D>(window);
}

uint32_t Direct3D::GetAdapterModeCount(uint32_t adapter, Format format) const {
    // One mode: the back buffer, which Present scales to whatever the desktop is.
    return adapter == 0 && format == Format::X8R8G8B8 ? 1 : 0;
}

Result Direct3D::EnumAdapterModes(uint32_t adapter, Format format, uint32_t mode, Format* modeFormat) const {
    if (adapter != 0 || format != Format::X8R8G8B8 || mode != 0 || modeFormat == nullptr) return Result::InvalidCall;
    *modeFormat = Format::X8R8G8B8;
    return Result::Ok;
}

Result Direct3D::CheckDeviceType(uint32_t adapter, Format adapterFormat, Format backBufferFormat, bool windowed) const {
    (void)windowed;
    if (adapter != 0 || adapterFormat != Format::X8R8G8B8 || backBufferFormat != Format::X8R8G8B8)
        return Result::NotAvailable;
    return Result::Ok;
}

// A render-target format passes when GL can attach it to a framebuffer that is complete and, when
// blending is asked about, blends into it (the colour read back shows the blend happened).
Result Direct3D::CheckDeviceFormat(uint32_t adapter, Format adapterFormat, uint32_t usage, Format format) {
    if (adapter != 0 || adapterFormat != Format::X8R8G8B8 || !window_->MakeContextCurrent()) return Result::NotAvailable;
    GLenum internal = 0;
    switch (format) {
    case Format::A8R8G8B8:
    case Format::X8R8G8B8: internal = GL_RGBA8; break;
    case Format::A16B16G16R16F: internal = GL_RGBA16F; break;
    default: return (usage & Usage::RenderTarget) ? Result::NotAvailable : Result::Ok;
    }
    if ((usage & Usage::RenderTarget) == 0) return Result::Ok;

    GLint oldFbo = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &oldFbo);
    GLuint texture = 0, fbo = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GLint(internal), 4, 4, 0, GL_RGBA, internal == GL_RGBA8 ? GL_UNSIGNED_BYTE : GL_FLOAT,
                 nullptr);
    glGenFramebuffers(1, &fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    bool ok = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    if (ok && (usage & Usage::QueryPostPixelShaderBlending)) ok = BlendsInto(internal == GL_RGBA16F);
    glBindFramebuffer(GL_FRAMEBUFFER, GLuint(oldFbo));
    glDeleteFramebuffers(1, &fbo);
    glDeleteTextures(1, &texture);
    return ok ? Result::Ok : Result::NotAvailable;
}

Result Direct3D::GetDeviceCaps(uint32_t adapter, DeviceCaps* caps) {
    if (adapter != 0 || caps == nullptr) return Result::InvalidCall;
    *caps = DeviceCaps{};
    GLint size = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
    caps->maxTextureWidth = caps->maxTextureHeight = uint32_t(size);
    return Result::Ok;
}

Result Direct3D::CreateDevice(uint32_t adapter, Window* focusWindow, const PresentParameters& parameters,
                              std::shared_ptr<Device>* device) {
    if (adapter != 0 || device == nullptr || focusWindow == nullptr) return Result::InvalidCall;
    if (parameters.backBufferWidth == 0 || parameters.backBufferHeight == 0) return Result::InvalidCall;
    if (!focusWindow->MakeContextCurrent()) return Result::NotAvailable;
    std::shared_ptr<Device> created(new Device(focusWindow, parameters));
    Result result = created->Initialise();
    if (Failed(result)) return result;
    *device = std::move(created);
    return Result::Ok;
}

}  // namespace velor
