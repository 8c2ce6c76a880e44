// Compiling and linking an effect through the device, and handing parameter values to its programs.
// The programs keep the values and the device sends them when it draws, so setting parameters never
// touches GL.
#include "engine/fx/effect_program.h"

#include <map>

#include "engine/fx/effect_glsl.h"
#include "engine/gfx/ffp_shaders.h"

namespace velor {

namespace {

// Every scalar, vector or matrix of a parameter, with the GLSL name it has in the program.
void CollectUniforms(const EffectDesc& desc, int param, ParamType type, int structIndex, uint32_t offset,
                     const std::string& path, const GpuProgram& program, std::vector<EffectUniform>& out) {
    if (type == ParamType::Struct) {
        for (const StructMember& m : desc.structs[structIndex].members)
            CollectUniforms(desc, param, m.type, m.structIndex, offset + m.offset, path + "." + m.name, program, out);
        return;
    }
    int location = program.UniformLocation(path);
    if (location >= 0) out.push_back({param, type, offset, location});
}

void FindParameters(const EffectDesc& desc, EffectProgram& program) {
    GpuProgram& gpu = *program.program;
    for (size_t i = 0; i < desc.parameters.size(); ++i) {
        const ParameterDesc& p = desc.parameters[i];
        if (IsSamplerType(p.type)) {
            int location = gpu.UniformLocation(p.name);
            if (location < 0) continue;
            program.samplers.push_back(int(i));
            int32_t unit = int32_t(p.sampler.unit);
            gpu.SetUniform(location, UniformType::Int, &unit);
        } else if (p.type != ParamType::Texture) {
            CollectUniforms(desc, int(i), p.type, p.structIndex, 0, p.name, gpu, program.uniforms);
        }
    }
}

UniformType UniformTypeOf(ParamType type) {
    switch (type) {
    case ParamType::Float: return UniformType::Float;
    case ParamType::Float2: return UniformType::Float2;
    case ParamType::Float3: return UniformType::Float3;
    case ParamType::Float4: return UniformType::Float4;
    case ParamType::Float4x4: return UniformType::Float4x4;
    default: return UniformType::Int;  // Int, Bool
    }
}

}  // namespace

bool LinkEffectPrograms(Device& device, const EffectDesc& desc, std::string_view name, LinkedEffect* out,
                        std::string* errors) {
    std::string log;
    std::vector<std::shared_ptr<GpuShader>> shaders(desc.shaders.size());
    bool failed = false;
    for (size_t i = 0; i < desc.shaders.size(); ++i) {
        const ShaderBlock& block = desc.shaders[i];
        if (block.stage == ShaderStage::Common) continue;
        bool vertex = block.stage == ShaderStage::Vertex;
        std::string source = ComposeShader(desc, block, vertex ? VertexPrelude() : FragmentPrelude());
        if (Failed(device.CreateShader(vertex ? ShaderType::Vertex : ShaderType::Pixel, source, &shaders[i], &log))) {
            *errors += RewriteShaderLog(log, name, block);
            failed = true;
        }
    }
    if (failed) return false;

    LinkedEffect linked;
    std::map<std::pair<int, int>, int> byPair;
    for (const TechniqueDesc& technique : desc.techniques) {
        linked.passProgram.emplace_back();
        for (const PassDesc& pass : technique.passes) {
            if (pass.pixelShader < 0) {
                linked.passProgram.back().push_back(-1);
                continue;
            }
            auto key = std::make_pair(pass.vertexShader, pass.pixelShader);
            auto found = byPair.find(key);
            if (found != byPair.end()) {
                linked.passProgram.back().push_back(found->second);
                continue;
            }
            // No vertex shader: the device links the pixel shader against its fixed-function vertex stage.
            const GpuShader* vertex = pass.vertexShader >= 0 ? shaders[pass.vertexShader].get() : nullptr;
            auto p = std::make_unique<EffectProgram>();
            if (Failed(device.CreateProgram(vertex, *shaders[pass.pixelShader], &p->program, &log))) {
                std::string label = pass.name.empty() ? std::to_string(linked.passProgram.back().size()) : pass.name;
                *errors += std::string(name) + ":" + std::to_string(pass.line) + ": technique " + technique.name +
                           " pass " + label + ": link: " + log + "\n";
                return false;  // `linked` frees the programs made so far
            }
            FindParameters(desc, *p);
            byPair[key] = int(linked.programs.size());
            linked.passProgram.back().push_back(int(linked.programs.size()));
            linked.programs.push_back(std::move(p));
        }
    }
    *out = std::move(linked);
    return true;
}

void SendUniforms(EffectProgram& program, const uint8_t* values, const uint32_t* valueOffsets,
                  const uint64_t* versions, uint64_t serial) {
    for (const EffectUniform& u : program.uniforms) {
        if (versions[u.param] <= program.uploadedSerial) continue;
        program.program->SetUniform(u.location, UniformTypeOf(u.type), values + valueOffsets[u.param] + u.offset);
    }
    program.uploadedSerial = serial;
}

}  // namespace velor
