// Programs: the fixed-function program, the shaders and programs effects bring, and the uniforms
// each program is fed. A uniform reaches GL only when what it shows moved since that program last
// saw it: device state through versions and the last values sent, a GpuProgram's own values
// through the values it keeps.
#include "engine/gfx/gl_programs.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/gfx/ffp_shaders.h"
#include "engine/gfx/gl_release.h"
#include "engine/gfx/pixel_scale.h"
#include "engine/gfx/sprite_footprint.h"
#include "engine/math/d3dx_math.h"

namespace velor {

namespace {

std::string InfoLog(GLuint object, bool program) {
    GLint length = 0;
    if (program) glGetProgramiv(object, GL_INFO_LOG_LENGTH, &length);
    else glGetShaderiv(object, GL_INFO_LOG_LENGTH, &length);
    std::string log(size_t(std::max(length, 1)), '\0');
    if (program) glGetProgramInfoLog(object, length, nullptr, log.data());
    else glGetShaderInfoLog(object, length, nullptr, log.data());
    return std::string(log.c_str());
}

GLuint Compile(GLenum stage, const std::string& source, std::string* log) {
    GLuint shader = glCreateShader(stage);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        if (log) *log = InfoLog(shader, false);
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

GLuint Link(GLuint vertex, GLuint fragment, std::string* log) {
    GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    glDetachShader(program, vertex);
    glDetachShader(program, fragment);
    GLint ok = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
        if (log) *log = InfoLog(program, true);
        glDeleteProgram(program);
        return 0;
    }
    return program;
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

ProgramInfo& GlPrograms::Info(GLuint program) {
    auto it = programs_.find(program);
    if (it != programs_.end()) return it->second;
    ProgramInfo info;
    info.program = program;
    auto at = [&](const char* name) { return glGetUniformLocation(program, name); };
    info.viewport = at("velor_Viewport");
    info.halfPixel = at("velor_HalfPixel");
    info.viewportPixels = at("velor_ViewportPixels");
    info.spriteReach = at("velor_SpriteReach");
    info.spriteReachLevels = at("velor_SpriteReachLevels");
    info.spriteTextureSize = at("velor_SpriteTextureSize");
    info.pointSprite = at("velor_PointSprite");
    info.depthFix = at("velor_DepthFix");
    info.worldView = at("ff_WorldView");
    info.pointWorldView = at("ff_PointWorldView");
    info.projection = at("ff_Projection");
    info.normalMatrix = at("ff_NormalMatrix");
    info.pretransformed = at("ff_Pretransformed");
    info.screenRect = at("ff_ScreenRect");
    info.hasNormal = at("ff_HasNormal");
    info.hasColor0 = at("ff_HasColor0");
    info.hasColor1 = at("ff_HasColor1");
    info.hasPSize = at("ff_HasPSize");
    info.colorBgra = at("velor_ColorBgra");
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

// Feeds the bound program the device state it reads, only where that state changed since this
// program last saw it.
void GlPrograms::UploadUniforms(const DeviceState& state, ProgramInfo& info, bool sprites) {
    const auto& rs = state.render;
    auto get = [&](RenderState s) { return rs[uint32_t(s)]; };
    const Viewport& vp = state.viewport;

    if (info.viewportVersion != viewportVersion_) {
        info.viewportVersion = viewportVersion_;
        float w = float(std::max(1u, vp.width)), h = float(std::max(1u, vp.height));
        if (info.viewport >= 0) glUniform4f(info.viewport, w, h, 1.0f / w, 1.0f / h);
        const float k = targetScale_;
        if (info.halfPixel >= 0) glUniform2f(info.halfPixel, 1.0f / (k * w), 1.0f / (k * h));
        if (info.viewportPixels >= 0) {
            // The edges GL's viewport has (GlTargets::ApplyViewport).
            int32_t left = ScaledEdge(int32_t(vp.x), k), top = ScaledEdge(int32_t(vp.y), k);
            int32_t right = ScaledEdge(int32_t(vp.x + vp.width), k), bottom = ScaledEdge(int32_t(vp.y + vp.height), k);
            glUniform4f(info.viewportPixels, float(left), float(top), float(right - left), float(bottom - top));
        }
        // Pretransformed positions are pixels of the back buffer's units: their centres land on the
        // centres of their k x k real blocks, so the rest of the half-pixel shift (half a unit less
        // the half real pixel the vertex stage adds) goes in here.
        const float rest = 0.5f - 0.5f / k;
        if (info.screenRect >= 0) glUniform4f(info.screenRect, float(vp.x) - rest, float(vp.y) - rest, w, h);
        UploadInt(info.depthFix, clipControl_ ? 0 : 1);
    }
    if (info.lastSprite != int(sprites)) {
        info.lastSprite = int(sprites);
        UploadInt(info.pointSprite, sprites ? 1 : 0);
    }
    if (sprites && info.spriteReachLevels >= 0) {
        SpriteReach reach = trimSprites_ ? SpriteReachFor(state) : SpriteReach{};
        if (reach.levels > 0) ++trimmedSpriteDraws_;
        if (!info.lastReachValid || !(reach == info.lastReach)) {
            info.lastReach = reach;
            info.lastReachValid = true;
            glUniform1i(info.spriteReachLevels, GLint(reach.levels));
            if (reach.levels > 0) {
                if (info.spriteTextureSize >= 0) glUniform2f(info.spriteTextureSize, reach.width, reach.height);
                if (info.spriteReach >= 0) glUniform4fv(info.spriteReach, GLsizei(reach.levels), reach.boxes[0].data());
            }
        }
    }
    if (info.lastPointWorldView != 0) {
        info.lastPointWorldView = 0;
        UploadInt(info.pointWorldView, 0);
    }
    if (info.transformVersion != transformVersion_) {
        info.transformVersion = transformVersion_;
        Matrix worldView;
        MatrixMultiply(&worldView, &state.world, &state.view);
        UploadMatrix(info.worldView, worldView);
    }
    if (info.projectionVersion != projectionVersion_) {
        info.projectionVersion = projectionVersion_;
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
        if (info.colorBgra >= 0) {
            auto bgra = [&](uint32_t index) {
                const VertexElement* color = FindElement(elements, DeclUsage::Color, index);
                return color != nullptr && color->type == DeclType::Color ? 1 : 0;
            };
            glUniform2i(info.colorBgra, bgra(0), bgra(1));
        }
    }
}

GLuint CompileShader(GLenum stage, const std::string& source, std::string* error) {
    std::string log;
    GLuint shader = Compile(stage, source, &log);
    if (shader == 0 && error) *error = std::string(stage == GL_VERTEX_SHADER ? "vertex shader: " : "fragment shader: ") + log;
    return shader;
}

GLuint LinkProgram(GLuint vertex, GLuint fragment, std::string* error) {
    std::string log;
    GLuint program = Link(vertex, fragment, &log);
    if (program == 0 && error) *error = "link: " + log;
    return program;
}

// ---- programs effects bring ------------------------------------------------------------------

int GpuProgram::UniformLocation(const std::string& name) const {
    return gl_.name != 0 ? glGetUniformLocation(gl_.name, name.c_str()) : -1;
}

void GpuProgram::SetUniform(int location, UniformType type, const void* data) {
    if (location < 0) return;
    static constexpr size_t kWords[] = {1, 2, 3, 4, 16, 1};
    size_t words = kWords[size_t(type)];
    auto found = valueByLocation_.find(location);
    if (found == valueByLocation_.end()) {
        found = valueByLocation_.emplace(location, values_.size()).first;
        values_.push_back(Value{location, type, false, {}});
    } else {
        Value& kept = values_[found->second];
        if (kept.type == type && std::memcmp(kept.bits.data(), data, words * 4) == 0) return;
    }
    Value& value = values_[found->second];
    value.type = type;
    std::memcpy(value.bits.data(), data, words * 4);
    value.pending = true;
    pending_ = true;
}

void GlPrograms::SendKeptValues(GpuProgram& program, GLuint target) {
    bool all = false;
    const Variant* variant = nullptr;
    if (program.gl_.aux != 0) {
        Variant& v = variants_[program.gl_.name];
        all = v.valuesIn != target;
        v.valuesIn = target;
        if (target == program.gl_.aux) variant = &v;
    }
    if (!all && !program.pending_) return;
    for (GpuProgram::Value& v : program.values_) {
        if (!v.pending && !all) continue;
        v.pending = false;
        GLint location = v.location;
        if (variant != nullptr) {
            auto found = variant->location.find(location);
            if (found == variant->location.end()) continue;
            location = found->second;
        }
        const GLfloat* f = reinterpret_cast<const GLfloat*>(v.bits.data());
        const GLint* n = reinterpret_cast<const GLint*>(v.bits.data());
        switch (v.type) {
        case UniformType::Float: glUniform1fv(location, 1, f); break;
        case UniformType::Float2: glUniform2fv(location, 1, f); break;
        case UniformType::Float3: glUniform3fv(location, 1, f); break;
        case UniformType::Float4: glUniform4fv(location, 1, f); break;
        // Row-major D3DXMATRIX data, transposed: GLSL's matrix equals it.
        case UniformType::Float4x4: glUniformMatrix4fv(location, 1, GL_TRUE, f); break;
        case UniformType::Int: glUniform1iv(location, 1, n); break;
        }
    }
    program.pending_ = false;
}

GLuint GlPrograms::Choose(GpuProgram& program, bool alphaTest) {
    if (!alphaTest || program.pixelSource_.empty()) return program.gl_.name;
    if (program.gl_.aux == 0) {
        program.gl_.aux = LinkAlphaTestVariant(program);
        // A variant that does not link is not tried again; the draw goes without the test.
        if (program.gl_.aux == 0) program.pixelSource_.clear();
    }
    return program.gl_.aux != 0 ? program.gl_.aux : program.gl_.name;
}

// The same sources with the alpha test compiled in, and where each uniform the program's values
// name went in it.
GLuint GlPrograms::LinkAlphaTestVariant(GpuProgram& program) {
    std::string pixel = program.pixelSource_;
    size_t afterVersion = pixel.find('\n');
    if (afterVersion == std::string::npos) return 0;
    pixel.insert(afterVersion + 1, std::string("#define ") + kAlphaTestMacro + " 1\n");
    GLuint fragment = Compile(GL_FRAGMENT_SHADER, pixel, nullptr);
    GLuint vertex = program.vertexSource_.empty() ? ffVertexShader_ : Compile(GL_VERTEX_SHADER, program.vertexSource_, nullptr);
    GLuint linked = fragment != 0 && vertex != 0 ? Link(vertex, fragment, nullptr) : 0;
    if (fragment != 0) glDeleteShader(fragment);
    if (vertex != 0 && vertex != ffVertexShader_) glDeleteShader(vertex);
    if (linked == 0) return 0;

    GLuint base = program.gl_.name;
    Variant& variant = variants_[base];
    variant.location.clear();
    variant.valuesIn = base;
    GLint count = 0;
    glGetProgramiv(base, GL_ACTIVE_UNIFORMS, &count);
    for (GLint i = 0; i < count; ++i) {
        char name[256];
        GLsizei length = 0;
        GLint size = 0;
        GLenum type = 0;
        glGetActiveUniform(base, GLuint(i), sizeof name, &length, &size, &type, name);
        std::string uniform(name, size_t(length));
        if (size > 1 && uniform.size() > 3 && uniform.compare(uniform.size() - 3, 3, "[0]") == 0) uniform.resize(uniform.size() - 3);
        for (GLint e = 0; e < size; ++e) {
            std::string element = size > 1 ? uniform + "[" + std::to_string(e) + "]" : uniform;
            GLint from = glGetUniformLocation(base, element.c_str());
            if (from >= 0) variant.location[from] = glGetUniformLocation(linked, element.c_str());
        }
    }
    return linked;
}

Result GlPrograms::CreateShader(ShaderType type, const std::string& source, std::shared_ptr<GpuShader>* shader,
                                std::string* log) {
    if (shader == nullptr) return Result::InvalidCall;
    shader->reset();
    GLuint name = Compile(type == ShaderType::Vertex ? GL_VERTEX_SHADER : GL_FRAGMENT_SHADER, source, log);
    if (name == 0) return Result::InvalidData;
    std::shared_ptr<GpuShader> made(new GpuShader(type));
    made->gl_.name = name;
    made->gl_.kind = kGpuShader;
    made->source_ = source;
    *shader = std::move(made);
    return Result::Ok;
}

Result GlPrograms::CreateProgram(const GpuShader* vertex, const GpuShader& pixel, std::shared_ptr<GpuProgram>* program,
                                 std::string* log) {
    if (program == nullptr || pixel.Type() != ShaderType::Pixel || (vertex && vertex->Type() != ShaderType::Vertex))
        return Result::InvalidCall;
    program->reset();
    GLuint vertexName = vertex != nullptr ? vertex->gl_.name : 0;
    if (vertex == nullptr) {
        if (ffVertexShader_ == 0) {
            std::string error;
            ffVertexShader_ = Compile(GL_VERTEX_SHADER, std::string(VertexPrelude()) + kFixedFunctionVertexBody, &error);
            if (ffVertexShader_ == 0) {
                if (log) *log = "the fixed-function vertex stage does not compile: " + error;
                return Result::InvalidData;
            }
        }
        vertexName = ffVertexShader_;
    }
    GLuint name = Link(vertexName, pixel.gl_.name, log);
    if (name == 0) return Result::InvalidData;
    std::shared_ptr<GpuProgram> made(new GpuProgram());
    made->gl_.name = name;
    made->gl_.kind = kGpuProgram;
    made->fixedVertexStage_ = vertex == nullptr;
    made->scalesTexture0_ = pixel.source_.find(kScalesTexture0Pragma) != std::string::npos;
    if (pixel.source_.find(kAlphaTestMacro) != std::string::npos) {
        made->pixelSource_ = pixel.source_;
        if (vertex != nullptr) made->vertexSource_ = vertex->source_;
    }
    *program = std::move(made);
    return Result::Ok;
}

// ---- the fixed-function program and the device's uniforms --------------------------------------

GlPrograms::~GlPrograms() {
    if (ffProgram_) glDeleteProgram(ffProgram_);
    if (ffAlphaTestProgram_) glDeleteProgram(ffAlphaTestProgram_);
    if (ffVertexShader_) glDeleteShader(ffVertexShader_);
}

bool GlPrograms::Initialise(bool clipControl, std::string* error) {
    clipControl_ = clipControl;
    std::string log;
    GLuint vs = CompileShader(GL_VERTEX_SHADER, std::string(VertexPrelude()) + kFixedFunctionVertexBody, &log);
    GLuint fs = vs ? CompileShader(GL_FRAGMENT_SHADER, std::string(FragmentPrelude()) + kFixedFunctionFragmentBody, &log) : 0;
    GLuint alphaFs = fs ? CompileShader(GL_FRAGMENT_SHADER,
                                        std::string(FragmentPrelude()) + "#define VELOR_ALPHA_TEST 1\n" +
                                            kFixedFunctionFragmentBody,
                                        &log)
                        : 0;
    ffProgram_ = alphaFs ? LinkProgram(vs, fs, &log) : 0;
    ffAlphaTestProgram_ = ffProgram_ ? LinkProgram(vs, alphaFs, &log) : 0;
    if (vs) glDeleteShader(vs);
    if (fs) glDeleteShader(fs);
    if (alphaFs) glDeleteShader(alphaFs);
    if (ffAlphaTestProgram_ == 0) {
        if (error) *error = "fixed-function shaders: " + log;
        return false;
    }
    return true;
}

void GlPrograms::NoteDirty(uint32_t dirty) {
    if (dirty & (kDirtyViewport | kDirtyTarget)) ++viewportVersion_;
    if (dirty & kDirtyTransform) ++transformVersion_;
    if (dirty & kDirtyProjection) ++projectionVersion_;
    if (dirty & kDirtyLighting) ++lightingVersion_;
    if (dirty & (kDirtyFixedFunction | kDirtyTexture | kDirtyViewport | kDirtyTarget)) ++renderVersion_;
    if (dirty & kDirtyVertexInput) ++inputVersion_;
}

void GlPrograms::Forget(GLuint program) {
    programs_.erase(program);
    variants_.erase(program);
    if (currentProgram_ == program) {
        currentProgram_ = 0;
        currentInfo_ = nullptr;
    }
}

bool GlPrograms::UsePointWorldView() {
    if (currentInfo_ == nullptr || currentInfo_->pointWorldView < 0) return false;
    if (currentInfo_->lastPointWorldView != 1) {
        currentInfo_->lastPointWorldView = 1;
        glUniform1i(currentInfo_->pointWorldView, 1);
    }
    return true;
}

bool GlPrograms::HasPendingValues(const DeviceState& state) {
    const GpuProgram* program = state.program.program.get();
    return program != nullptr && program->pending_;
}

void GlPrograms::Use(const DeviceState& state, bool sprites) {
    GpuProgram* bound = state.program.program.get();
    bool alphaTest = state.render[uint32_t(RenderState::AlphaTestEnable)] != 0;
    GLuint program = bound != nullptr ? Choose(*bound, alphaTest) : alphaTest ? ffAlphaTestProgram_ : ffProgram_;
    if (program != currentProgram_ || currentInfo_ == nullptr) {
        glUseProgram(program);
        currentProgram_ = program;
        currentInfo_ = &Info(program);
    }
    if (bound != nullptr) SendKeptValues(*bound, program);
    UploadUniforms(state, *currentInfo_, sprites);
}

}  // namespace velor
