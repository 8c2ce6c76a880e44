// Compiling and linking an effect, and sending parameter values to its programs.
//
// Values go in with glProgramUniform* where GL has it, so the effect never disturbs the program the
// device's backend believes is current; on a plain 3.3 context the current program is saved and put
// back around the upload instead.
#include "engine/fx/effect_program.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <map>

#include "engine/fx/effect_glsl.h"
#include "engine/gfx/ffp_shaders.h"

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
        *log = InfoLog(shader, false);
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

// Every scalar, vector or matrix of a parameter, with the GLSL name it has in the program.
void CollectUniforms(const EffectDesc& desc, int param, ParamType type, int structIndex, uint32_t offset,
                     const std::string& path, GLuint program, std::vector<EffectUniform>& out) {
    if (type == ParamType::Struct) {
        for (const StructMember& m : desc.structs[structIndex].members)
            CollectUniforms(desc, param, m.type, m.structIndex, offset + m.offset, path + "." + m.name, program, out);
        return;
    }
    GLint location = glGetUniformLocation(program, path.c_str());
    if (location >= 0) out.push_back({param, type, offset, location});
}

void FindParameters(const EffectDesc& desc, EffectProgram& program, bool programUniform) {
    GLuint name = program.gl.name;
    GLint previous = 0;
    if (!programUniform) {
        glGetIntegerv(GL_CURRENT_PROGRAM, &previous);
        glUseProgram(name);
    }
    for (size_t i = 0; i < desc.parameters.size(); ++i) {
        const ParameterDesc& p = desc.parameters[i];
        if (IsSamplerType(p.type)) {
            GLint location = glGetUniformLocation(name, p.name.c_str());
            if (location < 0) continue;
            program.samplers.push_back(int(i));
            if (programUniform) glProgramUniform1i(name, location, p.sampler.unit);
            else glUniform1i(location, p.sampler.unit);
        } else if (p.type != ParamType::Texture) {
            CollectUniforms(desc, int(i), p.type, p.structIndex, 0, p.name, name, program.uniforms);
        }
    }
    if (!programUniform) glUseProgram(GLuint(previous));
}

}  // namespace

namespace {
bool gProgramUniformAllowed = true;
}

void AllowProgramUniform(bool allow) { gProgramUniformAllowed = allow; }

bool HasProgramUniform() {
    return gProgramUniformAllowed &&
           (epoxy_gl_version() >= 41 || epoxy_has_gl_extension("GL_ARB_separate_shader_objects"));
}

bool LinkEffectPrograms(const EffectDesc& desc, std::string_view name, const std::string& fixedVertexSource,
                        bool programUniform, LinkedEffect* out, std::string* errors) {
    std::string log;
    std::vector<GLuint> shaders(desc.shaders.size(), 0);
    bool failed = false;
    for (size_t i = 0; i < desc.shaders.size(); ++i) {
        const ShaderBlock& block = desc.shaders[i];
        if (block.stage == ShaderStage::Common) continue;
        bool vertex = block.stage == ShaderStage::Vertex;
        std::string source = ComposeShader(desc, block, vertex ? kVertexPrelude : kFragmentPrelude);
        shaders[i] = Compile(vertex ? GL_VERTEX_SHADER : GL_FRAGMENT_SHADER, source, &log);
        if (shaders[i] == 0) {
            *errors += RewriteShaderLog(log, name, block);
            failed = true;
        }
    }
    GLuint fixedVertex = 0;
    auto cleanup = [&]() {
        for (GLuint s : shaders)
            if (s) glDeleteShader(s);
        if (fixedVertex) glDeleteShader(fixedVertex);
    };
    if (failed) {
        cleanup();
        return false;
    }

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
            GLuint vertex = pass.vertexShader >= 0 ? shaders[pass.vertexShader] : 0;
            if (pass.vertexShader < 0) {
                if (fixedVertex == 0) fixedVertex = Compile(GL_VERTEX_SHADER, fixedVertexSource, &log);
                if (fixedVertex == 0) {
                    *errors += std::string(name) + ": the fixed-function vertex stage does not compile: " + log + "\n";
                    cleanup();
                    return false;
                }
                vertex = fixedVertex;
            }
            GLuint program = glCreateProgram();
            glAttachShader(program, vertex);
            glAttachShader(program, shaders[pass.pixelShader]);
            glLinkProgram(program);
            glDetachShader(program, vertex);
            glDetachShader(program, shaders[pass.pixelShader]);
            GLint ok = 0;
            glGetProgramiv(program, GL_LINK_STATUS, &ok);
            if (!ok) {
                std::string label = pass.name.empty() ? std::to_string(linked.passProgram.back().size()) : pass.name;
                *errors += std::string(name) + ":" + std::to_string(pass.line) + ": technique " + technique.name +
                           " pass " + label + ": link: " + InfoLog(program, true) + "\n";
                glDeleteProgram(program);
                cleanup();
                return false;  // `linked` frees the programs made so far
            }
            auto p = std::make_unique<EffectProgram>();
            p->gl.name = program;
            p->gl.kind = kGpuProgramKind;
            p->fixedVertexStage = pass.vertexShader < 0;
            FindParameters(desc, *p, programUniform);
            byPair[key] = int(linked.programs.size());
            linked.passProgram.back().push_back(int(linked.programs.size()));
            linked.programs.push_back(std::move(p));
        }
    }
    cleanup();
    *out = std::move(linked);
    return true;
}

void SendUniforms(EffectProgram& program, const uint8_t* values, const uint32_t* valueOffsets,
                  const uint64_t* versions, uint64_t serial, bool programUniform) {
    GLuint name = program.gl.name;
    GLint previous = -1;
    for (const EffectUniform& u : program.uniforms) {
        if (versions[u.param] <= program.uploadedSerial) continue;
        if (!programUniform && previous < 0) {
            glGetIntegerv(GL_CURRENT_PROGRAM, &previous);
            glUseProgram(name);
        }
        const uint8_t* bytes = values + valueOffsets[u.param] + u.offset;
        const GLfloat* f = reinterpret_cast<const GLfloat*>(bytes);
        const GLint* n = reinterpret_cast<const GLint*>(bytes);
        GLint at = u.location;
        // Matrices are row-major D3DXMATRIX data: transposing makes GLSL's matrix equal to it.
        if (programUniform) {
            switch (u.type) {
            case ParamType::Float: glProgramUniform1fv(name, at, 1, f); break;
            case ParamType::Float2: glProgramUniform2fv(name, at, 1, f); break;
            case ParamType::Float3: glProgramUniform3fv(name, at, 1, f); break;
            case ParamType::Float4: glProgramUniform4fv(name, at, 1, f); break;
            case ParamType::Float4x4: glProgramUniformMatrix4fv(name, at, 1, GL_TRUE, f); break;
            case ParamType::Int:
            case ParamType::Bool: glProgramUniform1iv(name, at, 1, n); break;
            default: break;
            }
        } else {
            switch (u.type) {
            case ParamType::Float: glUniform1fv(at, 1, f); break;
            case ParamType::Float2: glUniform2fv(at, 1, f); break;
            case ParamType::Float3: glUniform3fv(at, 1, f); break;
            case ParamType::Float4: glUniform4fv(at, 1, f); break;
            case ParamType::Float4x4: glUniformMatrix4fv(at, 1, GL_TRUE, f); break;
            case ParamType::Int:
            case ParamType::Bool: glUniform1iv(at, 1, n); break;
            default: break;
            }
        }
    }
    if (previous >= 0) glUseProgram(GLuint(previous));
    program.uploadedSerial = serial;
}

}  // namespace velor
