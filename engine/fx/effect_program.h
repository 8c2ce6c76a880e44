#pragma once
// An effect's GL programs: one per vertex/pixel shader pair its passes use, linked at creation, with
// the locations of the parameters each one reads. Engine-internal to engine/fx.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/fx/effect_desc.h"
#include "engine/gfx/resources.h"

namespace velor {

// GpuObject::kind of a GL program, so that the device's release hook can delete it.
constexpr uint32_t kGpuProgramKind = 3;

// One scalar, vector, matrix or struct member a program reads.
struct EffectUniform {
    int param = -1;     // parameter it belongs to
    ParamType type = ParamType::Float;  // Float..Float4x4, Int or Bool
    uint32_t offset = 0;  // bytes into the parameter's value
    int location = -1;
};

struct EffectProgram {
    GpuObject gl;  // the GL program; kind kGpuProgramKind
    bool fixedVertexStage = false;      // vertex stage is the device's fixed function
    std::vector<EffectUniform> uniforms;
    std::vector<int> samplers;          // sampler parameters the program uses
    uint64_t uploadedSerial = 0;        // parameters set after this serial are not in it yet
};

struct LinkedEffect {
    std::vector<std::unique_ptr<EffectProgram>> programs;
    std::vector<std::vector<int>> passProgram;  // [technique][pass]: program index, -1 fixed function
};

// Compiles every glsl block and links what the passes pair up; sets each sampler uniform to its
// unit (with glProgramUniform* when `programUniform`). False with every compile error (or the first
// link error) in `errors`, GL objects freed.
bool LinkEffectPrograms(const EffectDesc& desc, std::string_view name, const std::string& fixedVertexSource,
                        bool programUniform, LinkedEffect* out, std::string* errors);

// True when glProgramUniform* can be used (GL 4.1 or ARB_separate_shader_objects) and is allowed.
bool HasProgramUniform();
// Tests turn glProgramUniform* off to run the plain GL 3.3 path on a newer context; applies to
// effects created afterwards.
void AllowProgramUniform(bool allow);

// Sends the parameters whose version is above program.uploadedSerial, then records `serial`.
void SendUniforms(EffectProgram& program, const uint8_t* values, const uint32_t* valueOffsets,
                  const uint64_t* versions, uint64_t serial, bool programUniform);

}  // namespace velor
