#pragma once
// GLSL of the fixed-function pipeline and of the conventions every engine shader follows.
//
// One vertex and one fragment "uber" shader stand in for Direct3D 9's fixed function: its switches
// (lighting, vertex colours, point sizes, texture stage 0, alpha test) are uniforms, not compile-time
// variants, so a state change never links a program, and an effect pass that brings only a pixel
// shader links once, at creation, against the same vertex stage.
//
// Vertex attribute locations (the device binds declarations to these):
//   0 iPosition  1 iNormal  2 iColor0 (diffuse)  3 iColor1 (specular)  4..7 iTexCoord0..3
//   8 iTangent   9 iBinormal  10 iPSize  11 iBlendWeight
// Fixed-function varyings a pixel-shader-only pass may read:
//   vDiffuse, vSpecular (vec4), vTexCoord0 (vec4), velor_SpriteCoord (vec2: 0..1 across a point sprite)

namespace velor {

// The `#version` line of the current context's profile (`330 core`, or `300 es` with full precision
// declared), the attribute declarations and velor_Finish(pointSize), which every engine vertex
// shader calls last: half-pixel offset (Direct3D pixel centres), y flip (targets are stored top row
// first), 0..1 depth where clip control is missing, and point-sprite expansion.
const char* VertexPrelude();
const char* FragmentPrelude();  // the `#version` line (and precisions) and the colour output
extern const char* const kFixedFunctionVertexBody;
extern const char* const kFixedFunctionFragmentBody;

enum AttributeLocation : unsigned {
    kAttrPosition = 0, kAttrNormal = 1, kAttrColor0 = 2, kAttrColor1 = 3, kAttrTexCoord0 = 4,
    kAttrTangent = 8, kAttrBinormal = 9, kAttrPSize = 10, kAttrBlendWeight = 11, kAttrCount = 12,
};

}  // namespace velor
