#pragma once
// Vertex input on GL: vertex and index buffers uploaded when their contents change, user-memory
// vertices streamed through one ring buffer, and attribute pointers set from a declaration only when
// the declaration, buffer, offset or stride moved. Engine-internal.
#include "engine/gfx/gl_api.h"

#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/gfx/device_state.h"

namespace velor {

class GlVertexInput {
public:
    GlVertexInput() = default;
    ~GlVertexInput();
    GlVertexInput(const GlVertexInput&) = delete;
    GlVertexInput& operator=(const GlVertexInput&) = delete;

    void Initialise();
    // Binds the buffer (as GL_ARRAY_BUFFER / GL_ELEMENT_ARRAY_BUFFER), uploading it first if it changed.
    GLuint UploadVertexBuffer(const VertexBuffer& buffer);
    GLuint UploadIndexBuffer(const IndexBuffer& buffer);
    // Copies user vertices into the ring; returns their offset in UserBuffer().
    size_t StreamUserVertices(const void* vertices, size_t bytes);
    GLuint UserBuffer() const { return userBuffer_; }
    // Points every attribute the declaration uses at `base` (an offset into `buffer`); instanced
    // attributes advance once per instance (point sprites drawn as quads).
    void Bind(const std::shared_ptr<VertexDeclaration>& declaration, const uint8_t* base, GLuint buffer,
              uint32_t stride, bool instanced);

private:
    GLuint vao_ = 0, userBuffer_ = 0;
    size_t userBufferSize_ = 0, userBufferOffset_ = 0;
    // Vertex input last bound, so that repeated draws from the same buffer skip re-pointing attributes.
    struct BoundInput {
        std::shared_ptr<VertexDeclaration> decl;  // held, so a freed declaration's address is never mistaken for it
        GLuint buffer = 0;
        const uint8_t* base = nullptr;
        uint32_t stride = 0;
        bool instanced = false;
        bool operator==(const BoundInput&) const = default;
    } bound_;
};

}  // namespace velor
