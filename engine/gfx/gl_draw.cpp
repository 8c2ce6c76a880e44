// Draws: the program (fixed function or an effect's), the uniforms the device feeds it, vertex
// input from the current declaration, and the GL draw call. Point lists drawn with
// POINTSPRITEENABLE become instanced quads, because GL's points stop at a small size (255 pixels on
// llvmpipe) while the demo's sprites reach several hundred.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/gfx/ffp_shaders.h"
#include "engine/gfx/gl_backend.h"
#include "engine/gfx/gl_release.h"
#include "engine/math/d3dx_math.h"

namespace velor {

namespace {

GLenum GlPrimitive(PrimitiveType type) {
    switch (type) {
    case PrimitiveType::PointList: return GL_POINTS;
    case PrimitiveType::LineList: return GL_LINES;
    case PrimitiveType::LineStrip: return GL_LINE_STRIP;
    case PrimitiveType::TriangleList: return GL_TRIANGLES;
    case PrimitiveType::TriangleStrip: return GL_TRIANGLE_STRIP;
    case PrimitiveType::TriangleFan: return GL_TRIANGLE_FAN;
    }
    return GL_TRIANGLES;
}

void UploadMatrix(GLint location, const Matrix& m) {
    // Row-major data with transpose: GLSL's matrix equals Direct3D's, so `v * M` is v · M.
    if (location >= 0) glUniformMatrix4fv(location, 1, GL_TRUE, &m.m[0][0]);
}

void UploadColor(GLint location, const ColorValue& c) {
    if (location >= 0) glUniform4f(location, c.r, c.g, c.b, c.a);
}

void UploadInt(GLint location, int value) {
    if (location >= 0) glUniform1i(location, value);
}

// Uploads only when the value differs from what this program was last given in that slot.
class CachedUniforms {
public:
    explicit CachedUniforms(ProgramInfo& info) : info_(info) {}
    void Int(int slot, GLint location, int value) {
        if (location >= 0 && Differs(slot, float(value), 0, 0, 0)) glUniform1i(location, value);
    }
    void Float(int slot, GLint location, float value) {
        if (location >= 0 && Differs(slot, value, 0, 0, 0)) glUniform1f(location, value);
    }
    void Int3(int slot, GLint location, int a, int b, int c) {
        if (location >= 0 && Differs(slot, float(a), float(b), float(c), 0)) glUniform3i(location, a, b, c);
    }
    void Int4(int slot, GLint location, int a, int b, int c, int d) {
        if (location >= 0 && Differs(slot, float(a), float(b), float(c), float(d))) glUniform4i(location, a, b, c, d);
    }
    void Float3(int slot, GLint location, float a, float b, float c) {
        if (location >= 0 && Differs(slot, a, b, c, 0)) glUniform3f(location, a, b, c);
    }
    void Float4(int slot, GLint location, float a, float b, float c, float d) {
        if (location >= 0 && Differs(slot, a, b, c, d)) glUniform4f(location, a, b, c, d);
    }
    void Color(int slot, GLint location, const ColorValue& c) { Float4(slot, location, c.r, c.g, c.b, c.a); }

private:
    bool Differs(int slot, float a, float b, float c, float d) {
        auto& last = info_.lastValues[size_t(slot)];
        uint32_t bit = 1u << slot;
        if ((info_.lastValid & bit) && last[0] == a && last[1] == b && last[2] == c && last[3] == d) return false;
        last = {a, b, c, d};
        info_.lastValid |= bit;
        return true;
    }
    ProgramInfo& info_;
};

}  // namespace

ProgramInfo& GlBackend::Info(GLuint program) {
    auto it = programs_.find(program);
    if (it != programs_.end()) return it->second;
    ProgramInfo info;
    info.program = program;
    auto at = [&](const char* name) { return glGetUniformLocation(program, name); };
    info.viewport = at("velor_Viewport");
    info.pointSprite = at("velor_PointSprite");
    info.depthFix = at("velor_DepthFix");
    info.worldView = at("ff_WorldView");
    info.projection = at("ff_Projection");
    info.normalMatrix = at("ff_NormalMatrix");
    info.pretransformed = at("ff_Pretransformed");
    info.screenRect = at("ff_ScreenRect");
    info.hasNormal = at("ff_HasNormal");
    info.hasColor0 = at("ff_HasColor0");
    info.hasColor1 = at("ff_HasColor1");
    info.hasPSize = at("ff_HasPSize");
    info.lighting = at("ff_Lighting");
    info.specularEnable = at("ff_SpecularEnable");
    info.normalizeNormals = at("ff_NormalizeNormals");
    info.localViewer = at("ff_LocalViewer");
    info.colorVertex = at("ff_ColorVertex");
    info.materialSource = at("ff_MaterialSource");
    info.materialDiffuse = at("ff_MaterialDiffuse");
    info.materialAmbient = at("ff_MaterialAmbient");
    info.materialSpecular = at("ff_MaterialSpecular");
    info.materialEmissive = at("ff_MaterialEmissive");
    info.materialPower = at("ff_MaterialPower");
    info.ambient = at("ff_Ambient");
    info.lightCount = at("ff_LightCount");
    info.lightDirection = at("ff_LightDirection");
    info.lightDiffuse = at("ff_LightDiffuse");
    info.lightSpecular = at("ff_LightSpecular");
    info.lightAmbient = at("ff_LightAmbient");
    info.pointSize = at("ff_PointSize");
    info.pointScale = at("ff_PointScale");
    info.texture0 = at("ff_Texture0");
    info.hasTexture0 = at("ff_HasTexture0");
    info.colorStage = at("ff_ColorStage");
    info.alphaStage = at("ff_AlphaStage");
    info.textureFactor = at("ff_TextureFactor");
    info.specularAdd = at("ff_SpecularAdd");
    info.alphaFunc = at("ff_AlphaFunc");
    info.alphaRef = at("ff_AlphaRef");
    return programs_.emplace(program, info).first->second;
}

void GlBackend::ForgetProgram(GLuint program) {
    programs_.erase(program);
    if (currentProgram_ == program) {
        currentProgram_ = 0;
        currentInfo_ = nullptr;
    }
}

void GlBackend::ApplyProgram() {
    const ProgramBinding& binding = device_.BoundProgram();
    GLuint program = binding.program != 0 ? binding.program : ffProgram_;
    if (program != currentProgram_ || currentInfo_ == nullptr) {
        glUseProgram(program);
        currentProgram_ = program;
        currentInfo_ = &Info(program);
    }
}

// Feeds the bound program the device state it reads, only where that state changed since this
// program last saw it.
void GlBackend::UploadUniforms(ProgramInfo& info, bool sprites) {
    const auto& state = device_.State();
    const auto& rs = state.render;
    auto get = [&](RenderState s) { return rs[uint32_t(s)]; };
    const Viewport& vp = state.viewport;

    if (info.viewportVersion != viewportVersion_) {
        info.viewportVersion = viewportVersion_;
        float w = float(std::max(1u, vp.width)), h = float(std::max(1u, vp.height));
        if (info.viewport >= 0) glUniform4f(info.viewport, w, h, 1.0f / w, 1.0f / h);
        if (info.screenRect >= 0) glUniform4f(info.screenRect, float(vp.x), float(vp.y), w, h);
        UploadInt(info.depthFix, clipControl_ ? 0 : 1);
    }
    if (info.lastSprite != int(sprites)) {
        info.lastSprite = int(sprites);
        UploadInt(info.pointSprite, sprites ? 1 : 0);
    }
    if (info.transformVersion != transformVersion_) {
        info.transformVersion = transformVersion_;
        Matrix worldView;
        MatrixMultiply(&worldView, &state.world, &state.view);
        UploadMatrix(info.worldView, worldView);
        UploadMatrix(info.projection, state.projection);
    }
    // The normal matrix costs an inverse; only lit draws read it.
    bool lit = get(RenderState::Lighting) != 0;
    if (lit && info.normalVersion != transformVersion_) {
        info.normalVersion = transformVersion_;
        Matrix worldView;
        MatrixMultiply(&worldView, &state.world, &state.view);
        if (info.normalMatrix >= 0) {
            Matrix inverse, normal;
            if (MatrixInverse(&inverse, nullptr, &worldView) == nullptr) MatrixIdentity(&inverse);
            MatrixTranspose(&normal, &inverse);
            float n[9] = {normal.m[0][0], normal.m[0][1], normal.m[0][2], normal.m[1][0], normal.m[1][1],
                          normal.m[1][2], normal.m[2][0], normal.m[2][1], normal.m[2][2]};
            glUniformMatrix3fv(info.normalMatrix, 1, GL_TRUE, n);
        }
    }
    if (info.lightingVersion != lightingVersion_) {
        info.lightingVersion = lightingVersion_;
        const Material& m = state.material;
        UploadColor(info.materialDiffuse, m.diffuse);
        UploadColor(info.materialAmbient, m.ambient);
        UploadColor(info.materialSpecular, m.specular);
        UploadColor(info.materialEmissive, m.emissive);
        if (info.materialPower >= 0) glUniform1f(info.materialPower, m.power);
        float directions[3 * kMaxLights] = {}, diffuse[4 * kMaxLights] = {}, specular[4 * kMaxLights] = {};
        ColorValue ambient{0, 0, 0, 0};
        int count = 0;
        for (uint32_t i = 0; i < kMaxLights; ++i) {
            if (!state.lightEnabled[i]) continue;
            const Light& light = state.lights[i];
            // Only directional lights are emulated; the demo uses no other kind.
            if (light.type != LightType::Directional) continue;
            Vector3 toLight{-light.direction.x, -light.direction.y, -light.direction.z}, view;
            Vec3TransformNormal(&view, &toLight, &state.view);
            Vec3Normalize(&view, &view);
            directions[3 * count + 0] = view.x;
            directions[3 * count + 1] = view.y;
            directions[3 * count + 2] = view.z;
            const ColorValue* d = &light.diffuse;
            const ColorValue* s = &light.specular;
            std::memcpy(&diffuse[4 * count], d, sizeof(float) * 4);
            std::memcpy(&specular[4 * count], s, sizeof(float) * 4);
            ambient.r += light.ambient.r, ambient.g += light.ambient.g, ambient.b += light.ambient.b;
            ++count;
        }
        UploadInt(info.lightCount, count);
        if (info.lightDirection >= 0) glUniform3fv(info.lightDirection, kMaxLights, directions);
        if (info.lightDiffuse >= 0) glUniform4fv(info.lightDiffuse, kMaxLights, diffuse);
        if (info.lightSpecular >= 0) glUniform4fv(info.lightSpecular, kMaxLights, specular);
        UploadColor(info.lightAmbient, ambient);
    }
    if (info.renderVersion != renderVersion_) {
        info.renderVersion = renderVersion_;
        CachedUniforms u(info);
        u.Int(0, info.lighting, get(RenderState::Lighting) != 0);
        u.Int(1, info.specularEnable, get(RenderState::SpecularEnable) != 0);
        u.Int(2, info.specularAdd, get(RenderState::SpecularEnable) != 0);
        u.Int(3, info.normalizeNormals, get(RenderState::NormalizeNormals) != 0);
        u.Int(4, info.localViewer, get(RenderState::LocalViewer) != 0);
        u.Int(5, info.colorVertex, get(RenderState::ColorVertex) != 0);
        u.Int4(6, info.materialSource, int(get(RenderState::DiffuseMaterialSource)), int(get(RenderState::SpecularMaterialSource)),
               int(get(RenderState::AmbientMaterialSource)), int(get(RenderState::EmissiveMaterialSource)));
        u.Color(7, info.ambient, ColorToValue(get(RenderState::Ambient)));
        u.Float4(8, info.pointSize, BitsToFloat(get(RenderState::PointSize)), BitsToFloat(get(RenderState::PointSizeMin)),
                 BitsToFloat(get(RenderState::PointSizeMax)), get(RenderState::PointScaleEnable) ? 1.0f : 0.0f);
        // The point-size formula divides A, B, C by the viewport height squared (see ffp_shaders).
        float h2 = float(std::max(1u, vp.height)) * float(std::max(1u, vp.height));
        u.Float3(9, info.pointScale, BitsToFloat(get(RenderState::PointScaleA)) / h2,
                 BitsToFloat(get(RenderState::PointScaleB)) / h2, BitsToFloat(get(RenderState::PointScaleC)) / h2);
        const auto& stage = state.stage[0];
        u.Int3(10, info.colorStage, int(stage[uint32_t(TextureStageState::ColorOp)]),
               int(stage[uint32_t(TextureStageState::ColorArg1)]), int(stage[uint32_t(TextureStageState::ColorArg2)]));
        u.Int3(11, info.alphaStage, int(stage[uint32_t(TextureStageState::AlphaOp)]),
               int(stage[uint32_t(TextureStageState::AlphaArg1)]), int(stage[uint32_t(TextureStageState::AlphaArg2)]));
        u.Color(12, info.textureFactor, ColorToValue(get(RenderState::TextureFactor)));
        u.Int(13, info.alphaFunc, get(RenderState::AlphaTestEnable) ? int(get(RenderState::AlphaFunc)) : 8);
        u.Float(14, info.alphaRef, float(get(RenderState::AlphaRef) & 0xFF));
        u.Int(15, info.texture0, 0);
        const auto& texture = state.textures[0];
        u.Int(16, info.hasTexture0, texture != nullptr && !texture->IsCube());
    }
    if (info.inputVersion != inputVersion_) {
        info.inputVersion = inputVersion_;
        const auto& elements = state.declaration->Elements();
        const VertexElement* position = FindElement(elements, DeclUsage::Position);
        UploadInt(info.pretransformed, position != nullptr && position->type == DeclType::Float4 && (state.fvf & Fvf::XYZRHW) != 0);
        UploadInt(info.hasNormal, FindElement(elements, DeclUsage::Normal) != nullptr);
        UploadInt(info.hasColor0, FindElement(elements, DeclUsage::Color, 0) != nullptr);
        UploadInt(info.hasColor1, FindElement(elements, DeclUsage::Color, 1) != nullptr);
        UploadInt(info.hasPSize, FindElement(elements, DeclUsage::PSize) != nullptr);
    }
}

// ---- vertex input ----------------------------------------------------------------------------

std::shared_ptr<VertexDeclaration> GlBackend::DeclarationForFvf(uint32_t fvf, const VertexElement* elements) {
    auto& slot = fvfDeclarations_[fvf];
    if (slot == nullptr) slot = std::make_shared<VertexDeclaration>(elements);
    return slot;
}

GLuint GlBackend::UploadVertexBuffer(const VertexBuffer& buffer) {
    GpuObject& gpu = buffer.Gpu();
    if (gpu.name == 0) {
        glGenBuffers(1, &gpu.name);
        gpu.kind = kGpuBuffer;
    }
    glBindBuffer(GL_ARRAY_BUFFER, gpu.name);
    if (gpu.uploaded != buffer.Version()) {
        glBufferData(GL_ARRAY_BUFFER, buffer.GetLength(), buffer.Data(), GL_STATIC_DRAW);
        gpu.uploaded = buffer.Version();
    }
    return gpu.name;
}

GLuint GlBackend::UploadIndexBuffer(const IndexBuffer& buffer) {
    GpuObject& gpu = buffer.Gpu();
    if (gpu.name == 0) {
        glGenBuffers(1, &gpu.name);
        gpu.kind = kGpuBuffer;
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, gpu.name);
    if (gpu.uploaded != buffer.Version()) {
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, buffer.GetLength(), buffer.Data(), GL_STATIC_DRAW);
        gpu.uploaded = buffer.Version();
    }
    return gpu.name;
}

// Points every used attribute location at `base` (an offset into the bound GL_ARRAY_BUFFER).
void GlBackend::BindVertexInput(const uint8_t* base, GLuint buffer, uint32_t stride, bool instanced) {
    BoundInput wanted{device_.State().declaration, buffer, base, stride, instanced};
    if (wanted == boundInput_) return;
    boundInput_ = std::move(wanted);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    bool used[kAttrCount] = {};
    for (const auto& e : device_.State().declaration->Elements()) {
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
            glVertexAttribPointer(GLuint(location), GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, GLsizei(stride), pointer);
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
}

// ---- draws -----------------------------------------------------------------------------------

void GlBackend::Prepare(bool sprites) {
    uint32_t& dirty = device_.dirty;
    if (dirty & Device::kDirtyTarget) ApplyTarget();
    if (dirty & (Device::kDirtyViewport | Device::kDirtyTarget)) {
        const Viewport& vp = device_.State().viewport;
        glViewport(GLint(vp.x), GLint(vp.y), GLsizei(vp.width), GLsizei(vp.height));
        glDepthRange(vp.minZ, vp.maxZ);
        ++viewportVersion_;
    }
    if (dirty & Device::kDirtyTransform) ++transformVersion_;
    if (dirty & Device::kDirtyLighting) ++lightingVersion_;
    if (dirty & (Device::kDirtyRender | Device::kDirtyTexture | Device::kDirtyViewport | Device::kDirtyTarget))
        ++renderVersion_;
    if (dirty & Device::kDirtyVertexInput) ++inputVersion_;
    // Sprites turn culling off for their own draw, so a change between the two re-applies states.
    if ((dirty & (Device::kDirtyRender | Device::kDirtyTarget)) || sprites != lastSprites_) {
        ApplyRenderStates(sprites);
        lastSprites_ = sprites;
    }
    if (dirty & Device::kDirtySampler) ApplySamplers();
    // A texture locked and changed since it was bound needs its pixels sent again.
    bool stale = false;
    for (const auto& texture : device_.State().textures)
        if (texture != nullptr && texture->Gpu().uploaded != texture->Version()) stale = true;
    if ((dirty & Device::kDirtyTexture) || stale) ApplyTextures();
    ApplyProgram();
    dirty &= Device::kDirtyVertexInput;  // vertex input is bound per draw below
    UploadUniforms(*currentInfo_, sprites);
}

void GlBackend::Draw(PrimitiveType type, uint32_t startVertex, uint32_t count) {
    const auto& state = device_.State();
    bool sprites = type == PrimitiveType::PointList && state.render[uint32_t(RenderState::PointSpriteEnable)] != 0;
    Prepare(sprites);
    GLuint buffer = UploadVertexBuffer(*state.stream0);
    uint32_t stride = state.stream0Stride;
    const uint8_t* base = reinterpret_cast<const uint8_t*>(uintptr_t(state.stream0Offset) + uintptr_t(startVertex) * stride);
    BindVertexInput(base, buffer, stride, sprites);
    device_.dirty &= ~Device::kDirtyVertexInput;
    if (sprites) glDrawArraysInstanced(GL_TRIANGLE_STRIP, 0, 4, GLsizei(count));
    else glDrawArrays(GlPrimitive(type), 0, GLsizei(count));
}

void GlBackend::DrawIndexed(PrimitiveType type, int32_t baseVertex, uint32_t startIndex, uint32_t count) {
    const auto& state = device_.State();
    Prepare(false);
    GLuint buffer = UploadVertexBuffer(*state.stream0);
    uint32_t stride = state.stream0Stride;
    const uint8_t* base = reinterpret_cast<const uint8_t*>(uintptr_t(state.stream0Offset) + uintptr_t(baseVertex) * stride);
    BindVertexInput(base, buffer, stride, false);
    device_.dirty &= ~Device::kDirtyVertexInput;
    UploadIndexBuffer(*state.indices);
    uint32_t size = state.indices->IndexSize();
    glDrawElements(GlPrimitive(type), GLsizei(count), size == 4 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT,
                   reinterpret_cast<const void*>(uintptr_t(startIndex) * size));
}

void GlBackend::DrawUser(PrimitiveType type, uint32_t count, const void* vertices, uint32_t stride) {
    const auto& state = device_.State();
    bool sprites = type == PrimitiveType::PointList && state.render[uint32_t(RenderState::PointSpriteEnable)] != 0;
    Prepare(sprites);
    // A ring over one stream buffer: appends until full, then orphans it.
    size_t bytes = size_t(count) * stride;
    glBindBuffer(GL_ARRAY_BUFFER, userBuffer_);
    if (userBufferOffset_ + bytes > userBufferSize_) {
        userBufferSize_ = std::max<size_t>(std::max<size_t>(userBufferSize_, 1 << 20), bytes * 2);
        glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(userBufferSize_), nullptr, GL_STREAM_DRAW);
        userBufferOffset_ = 0;
    }
    glBufferSubData(GL_ARRAY_BUFFER, GLintptr(userBufferOffset_), GLsizeiptr(bytes), vertices);
    BindVertexInput(reinterpret_cast<const uint8_t*>(userBufferOffset_), userBuffer_, stride, sprites);
    userBufferOffset_ = (userBufferOffset_ + bytes + 255) & ~size_t(255);
    device_.dirty |= Device::kDirtyVertexInput;
    if (sprites) glDrawArraysInstanced(GL_TRIANGLE_STRIP, 0, 4, GLsizei(count));
    else glDrawArrays(GlPrimitive(type), 0, GLsizei(count));
}

}  // namespace velor
