#include "engine/gfx/gl_api.h"

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

}  // namespace velor
