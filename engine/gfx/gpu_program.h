#pragma once
// Shaders and programs for engine code that brings its own GLSL (effects). The device compiles and
// links them and owns the GL objects; callers hold them through shared pointers and never see GL.
//
// Uniform values are kept on the program and reach GL when the device next draws with it, and only
// those that differ from what the program already holds: setting a value costs a comparison, and the
// program the device has current is never disturbed.
#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/gfx/resources.h"

namespace velor {

enum class ShaderType { Vertex, Pixel };
enum class UniformType : uint8_t { Float, Float2, Float3, Float4, Float4x4, Int };

class GpuShader {
public:
    ShaderType Type() const { return type_; }

private:
    friend class GlPrograms;
    explicit GpuShader(ShaderType type) : type_(type) {}
    ShaderType type_;
    std::string source_;  // for the alpha-test variant of programs made with it
    GpuObject gl_;
};

// The line a pixel shader carries to declare GpuProgram::ScalesTexture0 (GL ignores the pragma).
inline constexpr const char* kScalesTexture0Pragma = "#pragma velor_output_scales_texture0";

class GpuProgram {
public:
    // The location of a uniform by its GLSL name (struct members as "s.member"); -1 when the program
    // does not use it.
    int UniformLocation(const std::string& name) const;
    // Keeps a value for the uniform at `location` (ignored when negative). Matrices are row-major
    // D3DXMATRIX data; Int covers bool and sampler units.
    void SetUniform(int location, UniformType type, const void* data);
    // The vertex stage is the device's fixed function (a pass that brings only a pixel shader).
    bool FixedVertexStage() const { return fixedVertexStage_; }
    // The pixel shader declares (kScalesTexture0Pragma) that each channel of its output is stage 0's
    // texel at velor_SpriteCoord times something finite: where that texel is zero, so is the output.
    bool ScalesTexture0() const { return scalesTexture0_; }

private:
    friend class GlPrograms;
    friend class FrameRecorder;  // keeps and restores the values
    GpuProgram() = default;

    struct Value {
        int location = -1;
        UniformType type = UniformType::Float;
        bool pending = false;
        std::array<uint32_t, 16> bits{};
    };
    std::vector<Value> values_;
    std::unordered_map<int, size_t> valueByLocation_;
    bool pending_ = false;  // some value has not reached GL yet
    bool fixedVertexStage_ = false;
    bool scalesTexture0_ = false;
    // A pixel shader that can take the alpha test: its sources, to link the variant with the test
    // (gl_.aux) when a draw first enables it. Empty vertex source: the fixed-function vertex stage.
    std::string vertexSource_, pixelSource_;
    GpuObject gl_;
};

}  // namespace velor
