#pragma once
// The device's GL side: the back buffer and texture targets, the shadow of GL state that keeps
// draws to the differences, the fixed-function program and its uniforms, and vertex input.
// Engine-internal; effects reach it through Device::Backend().
#include <epoxy/gl.h>

#include <array>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/gfx/device.h"

namespace velor {

// Uniform locations of one program, for the uniforms the device itself feeds: the fixed-function
// ones and the conventions of kVertexPrelude. -1 where the program has no such uniform.
struct ProgramInfo {
    GLuint program = 0;
    GLint viewport = -1, pointSprite = -1, depthFix = -1;
    GLint worldView = -1, projection = -1, normalMatrix = -1, pretransformed = -1, screenRect = -1;
    GLint hasNormal = -1, hasColor0 = -1, hasColor1 = -1, hasPSize = -1;
    GLint lighting = -1, specularEnable = -1, normalizeNormals = -1, localViewer = -1, colorVertex = -1;
    GLint materialSource = -1, materialDiffuse = -1, materialAmbient = -1, materialSpecular = -1;
    GLint materialEmissive = -1, materialPower = -1, ambient = -1, lightCount = -1, lightDirection = -1;
    GLint lightDiffuse = -1, lightSpecular = -1, lightAmbient = -1, pointSize = -1, pointScale = -1;
    GLint texture0 = -1, hasTexture0 = -1, colorStage = -1, alphaStage = -1, textureFactor = -1;
    GLint specularAdd = -1, alphaFunc = -1, alphaRef = -1;
    // Versions of the device's state last uploaded to this program.
    uint64_t transformVersion = 0, normalVersion = 0, lightingVersion = 0, renderVersion = 0, inputVersion = 0;
    uint64_t viewportVersion = 0;
    int lastSprite = -1;
    // Values last uploaded for the render-state uniforms, so a state change uploads only what it moves.
    std::array<std::array<float, 4>, 24> lastValues{};
    uint32_t lastValid = 0;  // bit per lastValues slot
};

// Compiles and links; on failure returns 0 and the GL log (with the stage named) in `error`.
GLuint CompileShader(GLenum stage, const std::string& source, std::string* error);
GLuint LinkProgram(GLuint vertex, GLuint fragment, std::string* error);

class GlBackend {
public:
    explicit GlBackend(Device& device);
    ~GlBackend();

    bool Initialise(uint32_t width, uint32_t height, std::string* error);
    bool ContextWasReset();
    GLint MaxTextureSize() const { return maxTextureSize_; }

    void Clear(uint32_t rectCount, const Rect* rects, uint32_t flags, Color color, float z, uint32_t stencil);
    void Present();
    void Flush() { glFlush(); }
    std::vector<uint32_t> ReadBackBuffer();
    std::vector<uint32_t> ReadTexture(const std::shared_ptr<Texture>& texture);

    std::shared_ptr<VertexDeclaration> DeclarationForFvf(uint32_t fvf, const VertexElement* elements);

    void Draw(PrimitiveType type, uint32_t startVertex, uint32_t count);
    void DrawIndexed(PrimitiveType type, int32_t baseVertex, uint32_t startIndex, uint32_t count);
    void DrawUser(PrimitiveType type, uint32_t count, const void* vertices, uint32_t stride);

    // Makes sure a texture's GL object exists and holds its current pixels; returns its name.
    GLuint PrepareTexture(const BaseTexture& texture);
    // Binds `texture` (or nothing) to unit `unit` with that unit's sampler state, for effects.
    void BindTextureUnit(uint32_t unit, const BaseTexture* texture);
    ProgramInfo& Info(GLuint program);
    // Call before deleting a program made elsewhere (effects): GL may hand its name out again.
    void ForgetProgram(GLuint program);
    bool HasClipControl() const { return clipControl_; }

private:
    // Everything a draw needs, applied from the device's dirty groups.
    void Prepare(bool sprites);
    void ApplyTarget();
    void ApplyRenderStates(bool sprites);
    void ApplySamplers();
    void ApplyTextures();
    void ApplyProgram();
    void UploadUniforms(ProgramInfo& info, bool sprites);
    void BindVertexInput(const uint8_t* base, GLuint buffer, uint32_t stride, bool instanced);
    GLuint UploadVertexBuffer(const VertexBuffer& buffer);
    GLuint UploadIndexBuffer(const IndexBuffer& buffer);
    GLuint TargetFramebuffer(const Surface& surface);
    GLuint DepthFor(uint32_t width, uint32_t height);
    void ApplyStencil();

    Device& device_;
    bool clipControl_ = false;
    bool robustness_ = false;  // the context can report a reset (glGetGraphicsResetStatus)
    GLint maxTextureSize_ = 4096;
    uint32_t width_ = 0, height_ = 0;
    GLuint backFbo_ = 0, backColor_ = 0, backDepth_ = 0;
    GLuint vao_ = 0, userBuffer_ = 0;
    size_t userBufferSize_ = 0, userBufferOffset_ = 0;
    GLuint samplers_[kSamplerCount] = {};
    GLuint ffProgram_ = 0;
    std::unordered_map<GLuint, ProgramInfo> programs_;
    std::map<std::pair<uint32_t, uint32_t>, GLuint> depthBuffers_;
    std::map<uint32_t, std::shared_ptr<VertexDeclaration>> fvfDeclarations_;
    GLuint currentProgram_ = 0;
    ProgramInfo* currentInfo_ = nullptr;  // entries of programs_ never move (node-based map)
    bool currentTargetHasDepth_ = true;
    bool lastSprites_ = false;
    uint32_t currentTargetHeight_ = 0;

    // Versions the device bumps as its dirty groups are consumed, so that each program knows what it
    // has already been given.
    uint64_t transformVersion_ = 1, lightingVersion_ = 1, renderVersion_ = 1, inputVersion_ = 1, viewportVersion_ = 1;

    // Shadow of GL state.
    struct Shadow {
        int depthTest = -1, depthMask = -1, depthFunc = -1, blend = -1, cull = -1, cullFace = -1;
        int srcRgb = -1, dstRgb = -1, srcAlpha = -1, dstAlpha = -1, eqRgb = -1, eqAlpha = -1;
        int stencilTest = -1, colorMask = -1, scissor = -1, polygonMode = -1;
        uint32_t stencilKey[8] = {0xFFFFFFFF};
    } shadow_;
    // Vertex input last bound, so that repeated draws from the same buffer skip re-pointing attributes.
    struct BoundInput {
        std::shared_ptr<VertexDeclaration> decl;  // held, so a freed declaration's address is never mistaken for it
        GLuint buffer = 0;
        const uint8_t* base = nullptr;
        uint32_t stride = 0;
        bool instanced = false;
        bool operator==(const BoundInput&) const = default;
    } boundInput_;
    GLuint boundTextures_[kSamplerCount] = {};
    std::array<std::array<uint32_t, kSamplerStateCount>, kSamplerCount> appliedSamplers_{};
    bool samplerApplied_[kSamplerCount] = {};
    GLenum boundTargets_[kSamplerCount] = {};
};

}  // namespace velor
