#include "engine/fx/glsl_names.h"

namespace velor {

namespace {

// GLSL 3.30 keywords and words reserved for future use (the GLSL 3.30 language, section 3.6).
const char* const kGlslReserved[] = {
    "attribute", "const", "uniform", "varying", "layout", "centroid", "flat", "smooth", "noperspective",
    "break", "continue", "do", "for", "while", "switch", "case", "default", "if", "else", "in", "out",
    "inout", "float", "int", "void", "bool", "true", "false", "invariant", "discard", "return",
    "mat2", "mat3", "mat4", "mat2x2", "mat2x3", "mat2x4", "mat3x2", "mat3x3", "mat3x4", "mat4x2",
    "mat4x3", "mat4x4", "vec2", "vec3", "vec4", "ivec2", "ivec3", "ivec4", "bvec2", "bvec3", "bvec4",
    "uint", "uvec2", "uvec3", "uvec4", "lowp", "mediump", "highp", "precision", "sampler1D", "sampler2D",
    "sampler3D", "samplerCube", "sampler1DShadow", "sampler2DShadow", "samplerCubeShadow",
    "sampler1DArray", "sampler2DArray", "sampler1DArrayShadow", "sampler2DArrayShadow", "isampler1D",
    "isampler2D", "isampler3D", "isamplerCube", "isampler1DArray", "isampler2DArray", "usampler1D",
    "usampler2D", "usampler3D", "usamplerCube", "usampler1DArray", "usampler2DArray", "sampler2DRect",
    "sampler2DRectShadow", "isampler2DRect", "usampler2DRect", "samplerBuffer", "isamplerBuffer",
    "usamplerBuffer", "sampler2DMS", "isampler2DMS", "usampler2DMS", "sampler2DMSArray",
    "isampler2DMSArray", "usampler2DMSArray", "struct",
    // reserved
    "common", "partition", "active", "asm", "class", "union", "enum", "typedef", "template", "this",
    "packed", "goto", "inline", "noinline", "volatile", "public", "static", "extern", "external",
    "interface", "long", "short", "double", "half", "fixed", "unsigned", "superp", "input", "output",
    "hvec2", "hvec3", "hvec4", "dvec2", "dvec3", "dvec4", "fvec2", "fvec3", "fvec4", "sampler3DRect",
    "filter", "image1D", "image2D", "image3D", "imageCube", "iimage1D", "iimage2D", "iimage3D",
    "iimageCube", "uimage1D", "uimage2D", "uimage3D", "uimageCube", "image1DArray", "image2DArray",
    "iimage1DArray", "iimage2DArray", "uimage1DArray", "uimage2DArray", "image1DShadow",
    "image2DShadow", "image1DArrayShadow", "image2DArrayShadow", "imageBuffer", "iimageBuffer",
    "uimageBuffer", "sizeof", "cast", "namespace", "using", "row_major",
    // main is the entry point of every shader
    "main",
};

// Declared by the engine's shader preludes (engine/gfx/ffp_shaders.h) and by the effect's own.
const char* const kEngineNames[] = {
    "iPosition", "iNormal", "iColor0", "iColor1", "iTexCoord0", "iTexCoord1", "iTexCoord2", "iTexCoord3",
    "iTangent", "iBinormal", "iPSize", "iBlendWeight", "vDiffuse", "vSpecular", "vTexCoord0", "oColor",
};

const char* const kEnginePrefixes[] = {"gl_", "velor_", "ff_"};

}  // namespace

std::string GlslNameProblem(std::string_view name) {
    for (const char* word : kGlslReserved)
        if (name == word) return "is a reserved word in GLSL";
    for (const char* word : kEngineNames)
        if (name == word) return "is declared by the engine's shader prelude";
    for (const char* prefix : kEnginePrefixes)
        if (name.starts_with(prefix)) return std::string("starts with '") + prefix + "', which is reserved";
    if (name.find("__") != std::string_view::npos) return "contains '__', which GLSL reserves";
    return {};
}

}  // namespace velor
