#pragma once
// The GL API for the whole backend, and which of its two profiles the current context speaks:
// OpenGL 3.3 core, or OpenGL ES 3.0 (what a browser's WebGL2 offers, and what Mesa offers natively
// when VELOR_GL_PROFILE=es). Natively both come through libepoxy; a browser build links the ES
// headers directly and has no other profile. Engine-internal: only engine/gfx includes it.
#ifdef __EMSCRIPTEN__
#include <GLES3/gl3.h>
// Core-only names the backend mentions on paths it takes only when GlIsEs() is false.
#define GL_BGRA 0x80E1
#define GL_UNSIGNED_INT_8_8_8_8_REV 0x8367
#define GL_CLAMP_TO_BORDER 0x812D
#define GL_TEXTURE_BORDER_COLOR 0x1004
#else
#include <epoxy/gl.h>
#endif

#include <cstddef>
#include <cstdint>

namespace velor {

// Swaps bytes 0 and 2 of a pixel word: 0xAARRGGBB (bytes B, G, R, A in memory) becomes the word
// whose bytes are R, G, B, A, which is what ES uploads and reads back, and the other way round.
constexpr uint32_t SwapRedBlue(uint32_t pixel) {
    return (pixel & 0xFF00FF00u) | ((pixel >> 16) & 0xFFu) | ((pixel & 0xFFu) << 16);
}

// Reads the current context's profile; called whenever a context is made current for a device.
void DetectGlProfile();
// True when the context last detected is OpenGL ES.
bool GlIsEs();

// Depth range and depth clear: ES has only the float forms, core 3.3 only the double ones.
void GlDepthRange(float nearZ, float farZ);
void GlClearDepth(float z);

// Writes bytes into a range of the buffer bound to target that no queued draw reads. Natively the
// range is mapped unsynchronised (a sub-data upload waits for the raster on llvmpipe); WebGL has no
// mapping, and its sub-data upload is a copy into the browser's command stream.
void GlWriteUnusedBufferRange(GLenum target, size_t offset, size_t bytes, const void* data);

}  // namespace velor
