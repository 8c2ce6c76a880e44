// Vertex input: buffers uploaded when their contents changed, user vertices streamed through a
// ring, and declarations turned into attribute pointers at the locations ffp_shaders.h fixes.
#include "engine/gfx/gl_vertex_input.h"

#include <algorithm>
#include <vector>

#include "engine/gfx/ffp_shaders.h"
#include "engine/gfx/gl_release.h"

namespace velor {

GlVertexInput::~GlVertexInput() {
    if (vao_) glDeleteVertexArrays(1, &vao_);
    if (userBuffer_) glDeleteBuffers(1, &userBuffer_);
    if (quadIndices_) glDeleteBuffers(1, &quadIndices_);
}

void GlVertexInput::BindQuadIndices(uint32_t quads) {
    if (quadIndices_ == 0) glGenBuffers(1, &quadIndices_);
    BindElementBuffer(quadIndices_);
    if (quads <= quadIndexCapacity_) return;
    quadIndexCapacity_ = std::max(quads, quadIndexCapacity_ * 2);
    std::vector<uint32_t> indices(size_t(quadIndexCapacity_) * 6);
    // The order a four-vertex triangle strip is drawn in, so each quad rasterises as it does alone.
    for (uint32_t q = 0; q < quadIndexCapacity_; ++q) {
        const uint32_t v = 4 * q, quad[6] = {v, v + 1, v + 2, v + 2, v + 1, v + 3};
        std::copy(std::begin(quad), std::end(quad), indices.begin() + 6 * q);
    }
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(indices.size() * sizeof(uint32_t)), indices.data(), GL_STATIC_DRAW);
}

void GlVertexInput::Initialise() {
    glGenVertexArrays(1, &vao_);
    glBindVertexArray(vao_);
    glGenBuffers(1, &userBuffer_);
}

void GlVertexInput::BindArrayBuffer(GLuint buffer) {
    if (arrayBuffer_ == buffer) return;
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    arrayBuffer_ = buffer;
}

void GlVertexInput::BindElementBuffer(GLuint buffer) {
    if (elementBuffer_ == buffer) return;
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer);
    elementBuffer_ = buffer;
}

void GlVertexInput::Forget(GLuint buffer) {
    if (arrayBuffer_ == buffer) arrayBuffer_ = 0;
    if (elementBuffer_ == buffer) elementBuffer_ = 0;
    // Attribute pointers into it are gone too.
    if (bound_.buffer == buffer) bound_ = BoundInput{};
}

size_t GlVertexInput::StreamUserVertices(const void* vertices, size_t bytes) {
    // A ring over one stream buffer: appends until full, then orphans it.
    BindArrayBuffer(userBuffer_);
    if (userBufferOffset_ + bytes > userBufferSize_) {
        userBufferSize_ = std::max<size_t>(std::max<size_t>(userBufferSize_, 1 << 20), bytes * 2);
        glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(userBufferSize_), nullptr, GL_STREAM_DRAW);
        userBufferOffset_ = 0;
    }
    // Each range is written once per storage and queued draws read only earlier ranges.
    GlWriteUnusedBufferRange(GL_ARRAY_BUFFER, userBufferOffset_, bytes, vertices);
    size_t offset = userBufferOffset_;
    userBufferOffset_ = (userBufferOffset_ + bytes + 255) & ~size_t(255);
    return offset;
}

GLuint GlVertexInput::UploadVertexBuffer(const VertexBuffer& buffer) {
    GpuObject& gpu = buffer.Gpu();
    if (gpu.name == 0) {
        glGenBuffers(1, &gpu.name);
        gpu.kind = kGpuBuffer;
    }
    if (gpu.uploaded != buffer.Version()) {
        BindArrayBuffer(gpu.name);
        glBufferData(GL_ARRAY_BUFFER, buffer.GetLength(), buffer.Data(), GL_STATIC_DRAW);
        gpu.uploaded = buffer.Version();
    }
    return gpu.name;
}

GLuint GlVertexInput::UploadIndexBuffer(const IndexBuffer& buffer) {
    GpuObject& gpu = buffer.Gpu();
    if (gpu.name == 0) {
        glGenBuffers(1, &gpu.name);
        gpu.kind = kGpuBuffer;
    }
    BindElementBuffer(gpu.name);
    if (gpu.uploaded != buffer.Version()) {
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, buffer.GetLength(), buffer.Data(), GL_STATIC_DRAW);
        gpu.uploaded = buffer.Version();
    }
    return gpu.name;
}

// Points every used attribute location at `base` (an offset into the bound GL_ARRAY_BUFFER).
void GlVertexInput::Bind(const std::shared_ptr<VertexDeclaration>& declaration, const uint8_t* base, GLuint buffer,
                         uint32_t stride, bool instanced, const uint8_t* worldView) {
    BoundInput wanted{declaration, buffer, base, stride, instanced, worldView};
    if (wanted == bound_) return;
    bool hadWorldView = bound_.worldView != nullptr;
    bound_ = std::move(wanted);
    BindArrayBuffer(buffer);
    bool used[kAttrCount] = {};
    for (const auto& e : declaration->Elements()) {
        if (e.stream != 0) continue;
        GLint location = -1;
        switch (e.usage) {
        case DeclUsage::Position: location = kAttrPosition; break;
        case DeclUsage::Normal: location = kAttrNormal; break;
        case DeclUsage::Color: location = e.usageIndex == 0 ? GLint(kAttrColor0) : e.usageIndex == 1 ? GLint(kAttrColor1) : -1; break;
        case DeclUsage::TexCoord: location = e.usageIndex < 4 ? GLint(kAttrTexCoord0 + e.usageIndex) : -1; break;
        case DeclUsage::Tangent: location = kAttrTangent; break;
        case DeclUsage::Binormal: location = kAttrBinormal; break;
        case DeclUsage::PSize: location = kAttrPSize; break;
        case DeclUsage::BlendWeight: location = kAttrBlendWeight; break;
        default: break;
        }
        if (location < 0 || used[location]) continue;
        used[location] = true;
        const uint8_t* pointer = base + e.offset;
        glEnableVertexAttribArray(GLuint(location));
        switch (e.type) {
        case DeclType::Float1:
        case DeclType::Float2:
        case DeclType::Float3:
        case DeclType::Float4:
            glVertexAttribPointer(GLuint(location), GLint(e.type) + 1, GL_FLOAT, GL_FALSE, GLsizei(stride), pointer);
            break;
        case DeclType::Color:  // D3DCOLOR bytes are B, G, R, A
            // ES fetches them in memory order; the prelude swaps the colour attributes back.
            glVertexAttribPointer(GLuint(location), GlIsEs() ? 4 : GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, GLsizei(stride),
                                  pointer);
            break;
        case DeclType::UByte4: glVertexAttribPointer(GLuint(location), 4, GL_UNSIGNED_BYTE, GL_FALSE, GLsizei(stride), pointer); break;
        case DeclType::UByte4N: glVertexAttribPointer(GLuint(location), 4, GL_UNSIGNED_BYTE, GL_TRUE, GLsizei(stride), pointer); break;
        case DeclType::Short2: glVertexAttribPointer(GLuint(location), 2, GL_SHORT, GL_FALSE, GLsizei(stride), pointer); break;
        case DeclType::Short4: glVertexAttribPointer(GLuint(location), 4, GL_SHORT, GL_FALSE, GLsizei(stride), pointer); break;
        case DeclType::Unused: break;
        }
        glVertexAttribDivisor(GLuint(location), instanced ? 1 : 0);
    }
    for (GLuint location = 0; location < kAttrCount; ++location)
        if (!used[location]) glDisableVertexAttribArray(location);
    // The matrix's columns, one location each, one matrix per instance.
    for (GLuint column = 0; column < 4; ++column) {
        GLuint location = kAttrPointWorldView + column;
        if (worldView != nullptr) {
            glEnableVertexAttribArray(location);
            glVertexAttribPointer(location, 4, GL_FLOAT, GL_FALSE, GLsizei(stride), worldView + 16 * column);
            glVertexAttribDivisor(location, instanced ? 1 : 0);
        } else if (hadWorldView) {
            glDisableVertexAttribArray(location);
        }
    }
}

}  // namespace velor
