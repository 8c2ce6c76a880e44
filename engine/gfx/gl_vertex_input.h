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
    // Makes sure the buffer's GL object holds its current contents; returns its name. The index
    // buffer is left bound as GL_ELEMENT_ARRAY_BUFFER.
    GLuint UploadVertexBuffer(const VertexBuffer& buffer);
    GLuint UploadIndexBuffer(const IndexBuffer& buffer);
    // Copies user vertices into the ring; returns their offset in UserBuffer().
    size_t StreamUserVertices(const void* vertices, size_t bytes);
    GLuint UserBuffer() const { return userBuffer_; }
    // Points every attribute the declaration uses at `base` (an offset into `buffer`); instanced
    // attributes advance once per instance (point sprites drawn as quads). `worldView`, when not
    // null, points the world-view matrix (kAttrPointWorldView) into the same buffer.
    void Bind(const std::shared_ptr<VertexDeclaration>& declaration, const uint8_t* base, GLuint buffer,
              uint32_t stride, bool instanced, const uint8_t* worldView = nullptr);
    // Binds indices for `quads` quads of four vertices each (0 1 2, 2 1 3: a strip's two triangles).
    void BindQuadIndices(uint32_t quads);
    // Called as a buffer's GL object is deleted: GL unbinds it and may hand its name out again.
    void Forget(GLuint buffer);

private:
    void BindArrayBuffer(GLuint buffer);
    void BindElementBuffer(GLuint buffer);

    GLuint vao_ = 0, userBuffer_ = 0, quadIndices_ = 0;
    uint32_t quadIndexCapacity_ = 0;  // quads quadIndices_ holds
    GLuint arrayBuffer_ = 0, elementBuffer_ = 0;  // what GL has bound, so a draw binds only a change
    size_t userBufferSize_ = 0, userBufferOffset_ = 0;
    // Vertex input last bound, so that repeated draws from the same buffer skip re-pointing attributes.
    struct BoundInput {
        std::shared_ptr<VertexDeclaration> decl;  // held, so a freed declaration's address is never mistaken for it
        GLuint buffer = 0;
        const uint8_t* base = nullptr;
        uint32_t stride = 0;
        bool instanced = false;
        const uint8_t* worldView = nullptr;
        bool operator==(const BoundInput&) const = default;
    } bound_;
};

}  // namespace velor
