#include "engine/gfx/gl_api.h"

#include <cstring>

namespace velor {

namespace {
bool gEs = false;
}  // namespace

void DetectGlProfile() {
#ifdef __EMSCRIPTEN__
    gEs = true;
#else
    gEs = !epoxy_is_desktop_gl();
#endif
}

bool GlIsEs() { return gEs; }

void GlDepthRange(float nearZ, float farZ) {
#ifdef __EMSCRIPTEN__
    glDepthRangef(nearZ, farZ);
#else
    if (gEs) glDepthRangef(nearZ, farZ);
    else glDepthRange(nearZ, farZ);
#endif
}

void GlClearDepth(float z) {
#ifdef __EMSCRIPTEN__
    glClearDepthf(z);
#else
    if (gEs) glClearDepthf(z);
    else glClearDepth(z);
#endif
}

void GlWriteUnusedBufferRange(GLenum target, size_t offset, size_t bytes, const void* data) {
#ifndef __EMSCRIPTEN__
    void* mapped = glMapBufferRange(target, GLintptr(offset), GLsizeiptr(bytes),
                                    GL_MAP_WRITE_BIT | GL_MAP_UNSYNCHRONIZED_BIT | GL_MAP_INVALIDATE_RANGE_BIT);
    if (mapped != nullptr) {
        std::memcpy(mapped, data, bytes);
        if (glUnmapBuffer(target) == GL_TRUE) return;
    }
#endif
    glBufferSubData(target, GLintptr(offset), GLsizeiptr(bytes), data);
}

}  // namespace velor
