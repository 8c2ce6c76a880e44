#pragma once
// An effect's programs: one per vertex/pixel shader pair its passes use, made by the device at
// creation, with the locations of the parameters each one reads. Engine-internal to engine/fx.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/fx/effect_desc.h"
#include "engine/gfx/device.h"

namespace velor {

// One scalar, vector, matrix or struct member a program reads.
struct EffectUniform {
    int param = -1;     // parameter it belongs to
    ParamType type = ParamType::Float;  // Float..Float4x4, Int or Bool
    uint32_t offset = 0;  // bytes into the parameter's value
    int location = -1;
};

struct EffectProgram {
    std::shared_ptr<GpuProgram> program;
    std::vector<EffectUniform> uniforms;
    std::vector<int> samplers;          // sampler parameters the program uses
    uint64_t uploadedSerial = 0;        // parameters set after this serial are not in it yet
};

struct LinkedEffect {
    std::vector<std::unique_ptr<EffectProgram>> programs;
    std::vector<std::vector<int>> passProgram;  // [technique][pass]: program index, -1 fixed function
};

// Compiles every glsl block and links what the passes pair up; gives each sampler uniform its unit.
// False with every compile error (or the first link error) in `errors`.
bool LinkEffectPrograms(Device& device, const EffectDesc& desc, std::string_view name, LinkedEffect* out,
                        std::string* errors);

// Hands the program the parameters whose version is above program.uploadedSerial, then records `serial`.
void SendUniforms(EffectProgram& program, const uint8_t* values, const uint32_t* valueOffsets,
                  const uint64_t* versions, uint64_t serial);

}  // namespace velor
