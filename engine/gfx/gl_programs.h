#pragma once
// Programs on GL: the fixed-function program, the shaders and programs effects bring, which program
// is current, and the uniforms the device feeds each of them (the fixed-function ones, the
// conventions of VertexPrelude(), and the values kept on a GpuProgram), each sent only when it moved
// since that program last saw it. Engine-internal.
#include "engine/gfx/gl_api.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "engine/gfx/device_state.h"
#include "engine/gfx/gpu_program.h"
#include "engine/gfx/sprite_footprint.h"

namespace velor {

// Compiles and links; on failure returns 0 and the GL log in `error`.
GLuint CompileShader(GLenum stage, const std::string& source, std::string* error);
GLuint LinkProgram(GLuint vertex, GLuint fragment, std::string* error);

// Uniform locations of one program, for the uniforms the device itself feeds. -1 where the program
// has no such uniform.
struct ProgramInfo {
    GLuint program = 0;
    GLint viewport = -1, halfPixel = -1, viewportPixels = -1, pointSprite = -1, depthFix = -1;
    GLint spriteReach = -1, spriteReachLevels = -1, spriteTextureSize = -1;
    GLint worldView = -1, pointWorldView = -1, projection = -1, normalMatrix = -1, pretransformed = -1, screenRect = -1;
    GLint hasNormal = -1, hasColor0 = -1, hasColor1 = -1, hasPSize = -1, colorBgra = -1;
    GLint lighting = -1, specularEnable = -1, normalizeNormals = -1, localViewer = -1, colorVertex = -1;
    GLint materialSource = -1, materialDiffuse = -1, materialAmbient = -1, materialSpecular = -1;
    GLint materialEmissive = -1, materialPower = -1, ambient = -1, lightCount = -1, lightDirection = -1;
    GLint lightDiffuse = -1, lightSpecular = -1, lightAmbient = -1, pointSize = -1, pointScale = -1;
    GLint texture0 = -1, hasTexture0 = -1, colorStage = -1, alphaStage = -1, textureFactor = -1;
    GLint specularAdd = -1, alphaFunc = -1, alphaRef = -1;
    // Versions of the device's state last uploaded to this program.
    uint64_t transformVersion = 0, normalVersion = 0, lightingVersion = 0, renderVersion = 0, inputVersion = 0;
    uint64_t viewportVersion = 0, projectionVersion = 0;
    int lastSprite = -1;
    int lastPointWorldView = 0;  // ff_PointWorldView as last uploaded (0 at link)
    SpriteReach lastReach;       // the sprite trimming last uploaded
    bool lastReachValid = false;
    // Values last uploaded for the render-state uniforms, so a state change uploads only what it moves.
    std::array<std::array<float, 4>, 24> lastValues{};
    uint32_t lastValid = 0;  // bit per lastValues slot
};

class GlPrograms {
public:
    GlPrograms() = default;
    ~GlPrograms();
    GlPrograms(const GlPrograms&) = delete;
    GlPrograms& operator=(const GlPrograms&) = delete;

    // `clipControl`: GL takes Direct3D's 0..1 depth as it is, so shaders need not remap it.
    bool Initialise(bool clipControl, std::string* error);
    Result CreateShader(ShaderType type, const std::string& source, std::shared_ptr<GpuShader>* shader,
                        std::string* log);
    Result CreateProgram(const GpuShader* vertex, const GpuShader& pixel, std::shared_ptr<GpuProgram>* program,
                         std::string* log);
    // Dirty groups handed over by the device: each program learns of them at its next draw.
    void NoteDirty(uint32_t dirty);
    // Makes the state's program (or the fixed-function one) current and sends it what it has not
    // seen: device state and its own kept values.
    void Use(const DeviceState& state, bool sprites);
    // Real pixels per viewport unit of the bound target (pixel_scale.h); the target's dirty group
    // comes with every change to it.
    void SetTargetScale(float scale) { targetScale_ = scale; }
    // Point sprites drawn only over their texture's footprint where that changes no pixel
    // (sprite_footprint.h); on by default.
    void SetSpriteTrimming(bool enabled) { trimSprites_ = enabled; }
    bool SpriteTrimming() const { return trimSprites_; }
    // Sprite draws (a run counts once) that were given a footprint to trim to.
    uint64_t TrimmedSpriteDraws() const { return trimmedSpriteDraws_; }
    // Called as a program's GL object is deleted: GL may hand its name out again.
    void Forget(GLuint program);
    // The current program takes its world-view matrix from kAttrPointWorldView until the next Use;
    // false when it has no such input (its own vertex stage).
    bool UsePointWorldView();
    bool PointWorldViewAvailable() const { return currentInfo_ != nullptr && currentInfo_->pointWorldView >= 0; }
    // The state's program has values set since it last drew (an effect's parameters moved).
    static bool HasPendingValues(const DeviceState& state);

private:
    ProgramInfo& Info(GLuint program);
    // The GL program a draw with this program uses: its alpha-test variant (linked at first need)
    // when the draw enables the test and the pixel shader has one.
    GLuint Choose(GpuProgram& program, bool alphaTest);
    GLuint LinkAlphaTestVariant(GpuProgram& program);
    void UploadUniforms(const DeviceState& state, ProgramInfo& info, bool sprites);
    // Sends the program's values that moved to `target` (its own GL program or its variant); all of
    // them when `target` was not the last to get them.
    void SendKeptValues(GpuProgram& program, GLuint target);

    bool clipControl_ = false;
    float targetScale_ = 1.0f;
    bool trimSprites_ = true;
    uint64_t trimmedSpriteDraws_ = 0;
    GLuint ffProgram_ = 0;
    GLuint ffAlphaTestProgram_ = 0;  // the same with the alpha test, for draws that enable it
    GLuint ffVertexShader_ = 0;  // the fixed-function vertex stage, for pixel-shader-only programs
    std::unordered_map<GLuint, ProgramInfo> programs_;
    // Alpha-test variants: uniform locations of the program mapped to the variant's, and which of
    // the two last got the program's values.
    struct Variant {
        std::unordered_map<int, int> location;
        GLuint valuesIn = 0;
    };
    std::unordered_map<GLuint, Variant> variants_;  // by the program's own GL name
    GLuint currentProgram_ = 0;
    ProgramInfo* currentInfo_ = nullptr;  // entries of programs_ never move (node-based map)
    // Versions bumped as dirty groups come in, so that each program knows what it has already been given.
    uint64_t transformVersion_ = 1, lightingVersion_ = 1, renderVersion_ = 1, inputVersion_ = 1, viewportVersion_ = 1;
    uint64_t projectionVersion_ = 1;
};

}  // namespace velor
