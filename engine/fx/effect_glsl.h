#pragma once
// The GLSL an effect's shader blocks are compiled from, and the compiler's log turned back into the
// effect file's lines.
//
// A shader is: the engine prelude (`#version`, vertex inputs and velor_Finish, or the colour output),
// the effect's structs and parameter uniforms, every `glsl common` block, then the block itself.
// `#line` directives give each part its own GLSL source-string number, so a log line can be traced to
// the effect file (string 0), the generated declarations (1) or the engine prelude (2).
#include <string>
#include <string_view>

#include "engine/fx/effect_desc.h"

namespace velor {

// GLSL type of a numeric, struct or sampler parameter ("vec4", "mat4", "DirLight", "samplerCube").
std::string GlslTypeName(const EffectDesc& desc, ParamType type, int structIndex);

// Struct definitions and one uniform per non-texture parameter.
std::string GlslDeclarations(const EffectDesc& desc);

// `prelude` is the engine's (VertexPrelude() or FragmentPrelude()) and starts with its #version line.
std::string ComposeShader(const EffectDesc& desc, const ShaderBlock& block, std::string_view prelude);

// Rewrites each "0:LINE(COL): message" (Mesa) or "0(LINE) : message" line of a GL info log as
// "<file>:LINE: glsl <stage> <name>: message"; lines in generated or prelude text say so instead.
std::string RewriteShaderLog(std::string_view log, std::string_view fileName, const ShaderBlock& block);

}  // namespace velor
