#include "engine/gfx/ffp_shaders.h"

#include <string>

#include "engine/gfx/gl_api.h"

namespace velor {

namespace {

const char* const kCoreVersion = "#version 330 core\n";
// ES has no default float precision in the fragment stage; everything runs at full precision, as
// in the core profile, so the two render alike.
const char* const kEsVersion = R"GLSL(#version 300 es
precision highp float;
precision highp int;
precision highp sampler2D;
precision highp samplerCube;
)GLSL";

const char* const kCoreColorInputs = R"GLSL(layout(location = 2) in vec4 iColor0;
layout(location = 3) in vec4 iColor1;
)GLSL";
// ES cannot fetch D3DCOLOR's B, G, R, A bytes in that order, so colours arrive as stored and are
// put in order here, for attributes the device says hold D3DCOLOR bytes.
const char* const kEsColorInputs = R"GLSL(layout(location = 2) in vec4 velor_Color0In;
layout(location = 3) in vec4 velor_Color1In;
uniform ivec2 velor_ColorBgra;
#define iColor0 (velor_ColorBgra.x != 0 ? velor_Color0In.bgra : velor_Color0In)
#define iColor1 (velor_ColorBgra.y != 0 ? velor_Color1In.bgra : velor_Color1In)
)GLSL";

const char* const kVertexPreludeHead = R"GLSL(layout(location = 0) in vec4 iPosition;
layout(location = 1) in vec3 iNormal;
)GLSL";

const char* const kVertexPreludeTail = R"GLSL(layout(location = 4) in vec4 iTexCoord0;
layout(location = 5) in vec4 iTexCoord1;
layout(location = 6) in vec4 iTexCoord2;
layout(location = 7) in vec4 iTexCoord3;
layout(location = 8) in vec3 iTangent;
layout(location = 9) in vec3 iBinormal;
layout(location = 10) in float iPSize;
layout(location = 11) in vec4 iBlendWeight;

uniform vec4 velor_Viewport;    // width, height, 1/width, 1/height in pixels
uniform vec2 velor_HalfPixel;   // half a real pixel of the bound target in clip units: 1/width, 1/height
uniform vec4 velor_ViewportPixels;  // the viewport as GL has it: x, y, width, height in real pixels
uniform int velor_PointSprite;  // 1: this draw expands each point into a quad (4 corners)
uniform int velor_DepthFix;     // 1: no clip control, map Direct3D's 0..1 depth to GL's -1..1
// Sprite trimming (sprite_footprint.h): per mip level, the texture-coordinate box (u0, v0, u1, v1)
// outside which every level up to it samples zero; 0 levels draws the whole quad.
uniform vec4 velor_SpriteReach[16];
uniform int velor_SpriteReachLevels;
uniform vec2 velor_SpriteTextureSize;  // texels of the trimmed texture's level 0
flat out vec4 velor_SpriteFrame;  // a sprite's full quad: top-left in window pixels, 1 / its size
vec2 velor_SpriteVertexCoord;  // set by velor_Finish: this vertex's sprite texture coordinate

// Point sprites drawn together come as one quad per point, four vertices each.
vec2 velor_Corner() { return vec2(float(gl_VertexID & 1), float((gl_VertexID >> 1) & 1)); }

// Where this corner of the sprite's quad lies, in its texture coordinates: 0 or 1, or the edge of
// what the texture can sample at the levels a sprite `extent` real pixels wide can reach (its LOD,
// rounded up, and one more for the sampler's rounding).
vec2 velor_SpriteCorner(vec2 extent) {
    vec2 corner = velor_Corner();
    if (velor_SpriteReachLevels == 0) return corner;
    vec2 texelsPerPixel = velor_SpriteTextureSize / extent;
    float lod = log2(max(texelsPerPixel.x, texelsPerPixel.y));
    int level = clamp(int(ceil(lod)) + 1, 0, velor_SpriteReachLevels - 1);
    vec4 reach = velor_SpriteReach[level];
    return mix(reach.xy, reach.zw, corner);
}

void velor_Finish(float pointSize) {
    vec4 p = gl_Position;
    velor_SpriteFrame = vec4(0.0);
    if (velor_PointSprite != 0) {
        // The texture coordinate is taken from each pixel's position within the full quad (see
        // velor_SpriteCoord), never interpolated over the drawn one, so a quad trimmed to its
        // texture's footprint samples exactly what the full quad would.
        vec2 halfSize = pointSize * velor_Viewport.zw;  // half the quad, in clip units over w
        vec2 centre = vec2(p.x / p.w + velor_HalfPixel.x, velor_HalfPixel.y - p.y / p.w);  // as drawn: shifted, flipped
        vec2 extent = halfSize * velor_ViewportPixels.zw;
        vec2 origin = velor_ViewportPixels.xy + (centre - halfSize + 1.0) * 0.5 * velor_ViewportPixels.zw;
        velor_SpriteFrame = vec4(origin, 1.0 / extent);
        // NOTE: corner (0,0) is the sprite's top-left, where Direct3D puts texture coordinate (0,0).
        vec2 corner = velor_SpriteCorner(extent);
        velor_SpriteVertexCoord = corner;
        p.x += (corner.x * 2.0 - 1.0) * pointSize * velor_Viewport.z * p.w;
        p.y += (1.0 - corner.y * 2.0) * pointSize * velor_Viewport.w * p.w;
    } else {
        gl_PointSize = pointSize;
    }
    // Half a pixel right and down: Direct3D 9 samples pixels at integer coordinates. On a scaled
    // target that is half a real pixel, as a device drawing that many pixels would shift (see
    // pixel_scale.h): an edge on the viewport's border keeps its first row and column.
    p.x += p.w * velor_HalfPixel.x;
    p.y -= p.w * velor_HalfPixel.y;
    p.y = -p.y;                     // targets hold the top row first
    if (velor_DepthFix != 0) p.z = 2.0 * p.z - p.w;
    gl_Position = p;
}
)GLSL";

const char* const kFragmentPreludeBody = R"GLSL(layout(location = 0) out vec4 oColor;
flat in vec4 velor_SpriteFrame;
// A point sprite's texture coordinate at this pixel's centre: 0..1 across the sprite's full quad.
#define velor_SpriteCoord ((gl_FragCoord.xy - velor_SpriteFrame.xy) * velor_SpriteFrame.zw)
)GLSL";

}  // namespace

const char* const kAlphaTestMacro = "VELOR_ALPHA_TEST";

const char* VertexPrelude() {
    static const std::string core = std::string(kCoreVersion) + kVertexPreludeHead + kCoreColorInputs + kVertexPreludeTail;
    static const std::string es = std::string(kEsVersion) + kVertexPreludeHead + kEsColorInputs + kVertexPreludeTail;
    return GlIsEs() ? es.c_str() : core.c_str();
}

const char* FragmentPrelude() {
    static const std::string core = std::string(kCoreVersion) + kFragmentPreludeBody;
    static const std::string es = std::string(kEsVersion) + kFragmentPreludeBody;
    return GlIsEs() ? es.c_str() : core.c_str();
}

const char* const kFixedFunctionVertexBody = R"GLSL(
layout(location = 12) in mat4 iPointWorldView;  // columns; read when ff_PointWorldView is 1
uniform int ff_PointWorldView;  // 1: point sprites drawn together, each corner carrying its point's world-view
uniform mat4 ff_WorldView;
uniform mat4 ff_Projection;
uniform mat3 ff_NormalMatrix;   // inverse transpose of world · view
uniform int ff_Pretransformed;  // XYZRHW: positions are render-target pixels
uniform int ff_HasNormal, ff_HasColor0, ff_HasColor1, ff_HasPSize;
uniform int ff_Lighting, ff_SpecularEnable, ff_NormalizeNormals, ff_LocalViewer, ff_ColorVertex;
uniform ivec4 ff_MaterialSource;  // diffuse, specular, ambient, emissive: 0 material, 1 colour 0, 2 colour 1
uniform vec4 ff_MaterialDiffuse, ff_MaterialAmbient, ff_MaterialSpecular, ff_MaterialEmissive;
uniform float ff_MaterialPower;
uniform vec4 ff_Ambient;
uniform int ff_LightCount;
uniform vec3 ff_LightDirection[8];  // towards the light, view space
uniform vec4 ff_LightDiffuse[8];
uniform vec4 ff_LightSpecular[8];
uniform vec4 ff_LightAmbient;  // sum over enabled lights
uniform vec4 ff_PointSize;  // size, min, max, scale enabled
uniform vec3 ff_PointScale;  // A, B, C divided by the viewport height squared
uniform vec4 ff_ScreenRect;  // pretransformed: viewport x, y, width, height

out vec4 vDiffuse;
out vec4 vSpecular;
out vec4 vTexCoord0;

vec4 ff_Source(int source, vec4 material) {
    if (ff_ColorVertex != 0) {
        if (source == 1 && ff_HasColor0 != 0) return iColor0;
        if (source == 2 && ff_HasColor1 != 0) return iColor1;
    }
    return material;
}

void main() {
    vec4 eye;
    if (ff_Pretransformed != 0) {
        float w = iPosition.w != 0.0 ? 1.0 / iPosition.w : 1.0;
        vec2 ndc = vec2((iPosition.x - ff_ScreenRect.x) / ff_ScreenRect.z * 2.0 - 1.0,
                        1.0 - (iPosition.y - ff_ScreenRect.y) / ff_ScreenRect.w * 2.0);
        gl_Position = vec4(ndc * w, iPosition.z * w, w);
        eye = vec4(0.0, 0.0, 0.0, 1.0);
    } else {
        mat4 worldView = ff_PointWorldView != 0 ? iPointWorldView : ff_WorldView;
        eye = vec4(iPosition.xyz, 1.0) * worldView;
        gl_Position = eye * ff_Projection;
    }

    vec4 diffuse = ff_HasColor0 != 0 ? iColor0 : vec4(1.0);
    vec4 specular = ff_HasColor1 != 0 ? iColor1 : vec4(0.0);
    if (ff_Lighting != 0 && ff_Pretransformed == 0) {
        vec4 md = ff_Source(ff_MaterialSource.x, ff_MaterialDiffuse);
        vec4 ms = ff_Source(ff_MaterialSource.y, ff_MaterialSpecular);
        vec4 ma = ff_Source(ff_MaterialSource.z, ff_MaterialAmbient);
        vec4 me = ff_Source(ff_MaterialSource.w, ff_MaterialEmissive);
        vec3 n = ff_HasNormal != 0 ? iNormal * ff_NormalMatrix : vec3(0.0);
        if (ff_NormalizeNormals != 0 && dot(n, n) > 0.0) n = normalize(n);
        vec3 toEye = ff_LocalViewer != 0 ? normalize(-eye.xyz) : vec3(0.0, 0.0, -1.0);
        vec3 d = vec3(0.0), s = vec3(0.0);
        for (int i = 0; i < ff_LightCount; ++i) {
            float ndotl = dot(n, ff_LightDirection[i]);
            if (ndotl > 0.0) {
                d += ff_LightDiffuse[i].rgb * ndotl;
                if (ff_SpecularEnable != 0) {
                    vec3 h = normalize(ff_LightDirection[i] + toEye);
                    float ndoth = max(dot(n, h), 0.0);
                    s += ff_LightSpecular[i].rgb * (ff_MaterialPower > 0.0 ? pow(ndoth, ff_MaterialPower) : 1.0);
                }
            }
        }
        vec3 rgb = ma.rgb * (ff_Ambient.rgb + ff_LightAmbient.rgb) + md.rgb * d + me.rgb;
        diffuse = vec4(clamp(rgb, 0.0, 1.0), clamp(md.a, 0.0, 1.0));
        specular = vec4(clamp(ms.rgb * s, 0.0, 1.0), 0.0);
    }
    vDiffuse = diffuse;
    vSpecular = specular;

    float size = ff_HasPSize != 0 ? iPSize : ff_PointSize.x;
    if (ff_PointSize.w != 0.0) {
        float dist = length(eye.xyz);
        float denominator = ff_PointScale.x + ff_PointScale.y * dist + ff_PointScale.z * dist * dist;
        size = denominator > 0.0 ? size * inversesqrt(denominator) : ff_PointSize.z;
    }
    size = clamp(size, ff_PointSize.y, ff_PointSize.z);

    velor_Finish(size);
    // A pass with only a pixel shader reads the sprite's coordinate here too, interpolated.
    vTexCoord0 = velor_PointSprite != 0 ? vec4(velor_SpriteVertexCoord, 0.0, 1.0) : iTexCoord0;
}
)GLSL";

const char* const kFixedFunctionFragmentBody = R"GLSL(
in vec4 vDiffuse;
in vec4 vSpecular;
in vec4 vTexCoord0;
uniform sampler2D ff_Texture0;
uniform int ff_HasTexture0;
uniform ivec3 ff_ColorStage;   // op, arg1, arg2 (D3DTOP_*, D3DTA_*)
uniform ivec3 ff_AlphaStage;
uniform vec4 ff_TextureFactor;
uniform int ff_SpecularAdd;
uniform int ff_AlphaFunc;  // D3DCMP_*; 8 (always) skips the test
uniform float ff_AlphaRef;

vec4 ff_Arg(int arg, vec4 texel) {
    if (arg == 2) return texel;
    if (arg == 3) return ff_TextureFactor;
    return vDiffuse;  // diffuse, and current at stage 0
}

vec4 ff_Op(int op, vec4 a, vec4 b) {
    if (op == 2) return a;
    if (op == 3) return b;
    if (op == 4) return a * b;
    if (op == 5) return min(a * b * 2.0, vec4(1.0));
    if (op == 7) return min(a + b, vec4(1.0));
    return vDiffuse;
}

bool ff_Compare(int func, float a, float ref) {
    if (func == 1) return false;
    if (func == 2) return a < ref;
    if (func == 3) return a == ref;
    if (func == 4) return a <= ref;
    if (func == 5) return a > ref;
    if (func == 6) return a != ref;
    if (func == 7) return a >= ref;
    return true;
}

void main() {
    vec4 color = vDiffuse;
    // An unbound stage passes the diffuse colour through, as Direct3D does with the default stage states.
    if (ff_HasTexture0 != 0 && ff_ColorStage.x != 1) {
        vec4 texel = texture(ff_Texture0, velor_SpriteFrame.z != 0.0 ? velor_SpriteCoord : vTexCoord0.xy);
        color.rgb = ff_Op(ff_ColorStage.x, ff_Arg(ff_ColorStage.y, texel), ff_Arg(ff_ColorStage.z, texel)).rgb;
        if (ff_AlphaStage.x != 1)
            color.a = ff_Op(ff_AlphaStage.x, ff_Arg(ff_AlphaStage.y, texel), ff_Arg(ff_AlphaStage.z, texel)).a;
    }
    if (ff_SpecularAdd != 0) color.rgb = min(color.rgb + vSpecular.rgb, vec3(1.0));
#ifdef VELOR_ALPHA_TEST
    if (ff_AlphaFunc != 8 && !ff_Compare(ff_AlphaFunc, floor(color.a * 255.0 + 0.5), ff_AlphaRef)) discard;
#endif
    oColor = color;
}
)GLSL";

}  // namespace velor
