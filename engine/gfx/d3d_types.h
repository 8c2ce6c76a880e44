#pragma once
// Direct3D 9 constants, enums and records the demo passes to the device, with their numeric values
// kept: demo code and effect files can be checked against Direct3D documentation line by line, and a
// raw value the demo sets (cull mode 0, say) stays representable.
#include <cstdint>
#include <cstring>

#include "engine/base/result.h"
#include "engine/gfx/render_state_list.h"
#include "engine/math/math_types.h"

namespace velor {

// ---- Formats, pools, usages --------------------------------------------------------------------
enum class Format : uint32_t {
    Unknown = 0,
    R8G8B8 = 20,
    A8R8G8B8 = 21,
    X8R8G8B8 = 22,
    A8B8G8R8 = 32,
    D16 = 80,
    D24S8 = 75,
    Index16 = 101,
    Index32 = 102,
    A16B16G16R16F = 113,
    DXT1 = 0x31545844,  // '1TXD'
    DXT3 = 0x33545844,
    DXT5 = 0x35545844,
};

enum class Pool : uint32_t { Default = 0, Managed = 1, SystemMem = 2, Scratch = 3 };

namespace Usage {
constexpr uint32_t RenderTarget = 0x00000001;
constexpr uint32_t DepthStencil = 0x00000002;
constexpr uint32_t WriteOnly = 0x00000008;
constexpr uint32_t Points = 0x00000040;
constexpr uint32_t Dynamic = 0x00000200;
constexpr uint32_t QueryPostPixelShaderBlending = 0x00080000;
}  // namespace Usage

namespace Lock {
constexpr uint32_t ReadOnly = 0x00000010;
constexpr uint32_t Discard = 0x00002000;
constexpr uint32_t NoOverwrite = 0x00001000;
}  // namespace Lock

// D3DX_DEFAULT and friends, for the texture loaders' size, level and filter arguments.
constexpr uint32_t kD3DXDefault = 0xFFFFFFFFu;
constexpr uint32_t kD3DXDefaultNonPow2 = 0xFFFFFFFEu;

// ---- Render states (D3DRENDERSTATETYPE) --------------------------------------------------------
// The supported states and their values come from the one list in render_state_list.h.
#define VELOR_RENDER_STATE_ENUMERATOR(state, value, ...) state = value,
enum class RenderState : uint32_t { VELOR_RENDER_STATES(VELOR_RENDER_STATE_ENUMERATOR) };
#undef VELOR_RENDER_STATE_ENUMERATOR

namespace detail {
#define VELOR_RENDER_STATE_VALUE(state, value, ...) value,
constexpr uint32_t kRenderStateValues[] = {VELOR_RENDER_STATES(VELOR_RENDER_STATE_VALUE)};
#undef VELOR_RENDER_STATE_VALUE
constexpr uint32_t LargestRenderState() {
    uint32_t largest = 0;
    for (uint32_t value : kRenderStateValues) largest = value > largest ? value : largest;
    return largest;
}
}  // namespace detail
// The device keeps a slot for every value up to the largest state, so a raw D3DRS_ number indexes it.
constexpr uint32_t kRenderStateCount = detail::LargestRenderState() + 1;

// Largest point sprite the device draws, in pixels (D3DCAPS9.MaxPointSize, and POINTSIZE_MAX's
// default). Sprites are drawn as quads, so this is a choice, not a GL limit.
constexpr float kMaxPointSize = 8192.0f;

enum class Cull : uint32_t { None = 1, CW = 2, CCW = 3 };
enum class FillMode : uint32_t { Point = 1, Wireframe = 2, Solid = 3 };
enum class Blend : uint32_t {
    Zero = 1, One = 2, SrcColor = 3, InvSrcColor = 4, SrcAlpha = 5, InvSrcAlpha = 6,
    DestAlpha = 7, InvDestAlpha = 8, DestColor = 9, InvDestColor = 10, SrcAlphaSat = 11,
};
enum class BlendOp : uint32_t { Add = 1, Subtract = 2, RevSubtract = 3, Min = 4, Max = 5 };
enum class Cmp : uint32_t {
    Never = 1, Less = 2, Equal = 3, LessEqual = 4, Greater = 5, NotEqual = 6, GreaterEqual = 7, Always = 8,
};
enum class StencilOp : uint32_t {
    Keep = 1, Zero = 2, Replace = 3, IncrSat = 4, DecrSat = 5, Invert = 6, Incr = 7, Decr = 8,
};
enum class MaterialColorSource : uint32_t { Material = 0, Color1 = 1, Color2 = 2 };

namespace ColorWrite {
constexpr uint32_t Red = 1, Green = 2, Blue = 4, Alpha = 8;
}

// Float-valued render states travel as their bit pattern, as in Direct3D.
inline uint32_t FloatToBits(float f) {
    uint32_t u;
    std::memcpy(&u, &f, 4);
    return u;
}
inline float BitsToFloat(uint32_t u) {
    float f;
    std::memcpy(&f, &u, 4);
    return f;
}

// ---- Sampler states (D3DSAMPLERSTATETYPE) ------------------------------------------------------
enum class SamplerState : uint32_t {
    AddressU = 1,
    AddressV = 2,
    AddressW = 3,
    BorderColor = 4,
    MagFilter = 5,
    MinFilter = 6,
    MipFilter = 7,
    MipMapLodBias = 8,
    MaxMipLevel = 9,
    MaxAnisotropy = 10,
};
constexpr uint32_t kSamplerStateCount = 11;
constexpr uint32_t kSamplerCount = 8;

enum class TextureFilter : uint32_t { None = 0, Point = 1, Linear = 2, Anisotropic = 3 };
enum class TextureAddress : uint32_t { Wrap = 1, Mirror = 2, Clamp = 3, Border = 4, MirrorOnce = 5 };

// ---- Texture stage states (D3DTEXTURESTAGESTATETYPE), stage 0 is what the fixed function uses -----
enum class TextureStageState : uint32_t {
    ColorOp = 1, ColorArg1 = 2, ColorArg2 = 3, AlphaOp = 4, AlphaArg1 = 5, AlphaArg2 = 6,
    TexCoordIndex = 11,
};
constexpr uint32_t kTextureStageStateCount = 12;
enum class TextureOp : uint32_t { Disable = 1, SelectArg1 = 2, SelectArg2 = 3, Modulate = 4, Modulate2X = 5, Add = 7 };
namespace TextureArg {
constexpr uint32_t Diffuse = 0, Current = 1, Texture = 2, TFactor = 3;
}

// ---- Transforms ----------------------------------------------------------------------------------
enum class TransformState : uint32_t { View = 2, Projection = 3, Texture0 = 16, World = 256 };

// ---- Primitives, clears -------------------------------------------------------------------------
enum class PrimitiveType : uint32_t {
    PointList = 1, LineList = 2, LineStrip = 3, TriangleList = 4, TriangleStrip = 5, TriangleFan = 6,
};

namespace Clear {
constexpr uint32_t Target = 1, ZBuffer = 2, Stencil = 4;
}

// ---- Flexible vertex format bits (D3DFVF_*) -----------------------------------------------------
namespace Fvf {
constexpr uint32_t XYZ = 0x002;
constexpr uint32_t XYZRHW = 0x004;
constexpr uint32_t PositionMask = 0x400E;
constexpr uint32_t Normal = 0x010;
constexpr uint32_t PSize = 0x020;
constexpr uint32_t Diffuse = 0x040;
constexpr uint32_t Specular = 0x080;
constexpr uint32_t TexCountMask = 0xF00;
constexpr uint32_t TexCountShift = 8;
constexpr uint32_t Tex1 = 0x100;
constexpr uint32_t Tex2 = 0x200;
}  // namespace Fvf

// ---- Vertex declarations (D3DVERTEXELEMENT9) -----------------------------------------------------
enum class DeclType : uint8_t {
    Float1 = 0, Float2 = 1, Float3 = 2, Float4 = 3, Color = 4, UByte4 = 5, Short2 = 6, Short4 = 7,
    UByte4N = 8, Unused = 17,
};
enum class DeclMethod : uint8_t { Default = 0 };
enum class DeclUsage : uint8_t {
    Position = 0, BlendWeight = 1, BlendIndices = 2, Normal = 3, PSize = 4, TexCoord = 5,
    Tangent = 6, Binormal = 7, Color = 10,
};

struct VertexElement {
    uint16_t stream = 0;
    uint16_t offset = 0;
    DeclType type = DeclType::Unused;
    DeclMethod method = DeclMethod::Default;
    DeclUsage usage = DeclUsage::Position;
    uint8_t usageIndex = 0;
};
constexpr VertexElement kDeclEnd{0xFF, 0, DeclType::Unused, DeclMethod::Default, DeclUsage::Position, 0};
constexpr uint32_t kMaxDeclLength = 65;  // MAX_FVF_DECL_SIZE

// ---- Records ---------------------------------------------------------------------------------------
struct Viewport {
    uint32_t x = 0, y = 0, width = 0, height = 0;
    float minZ = 0, maxZ = 1;
    bool operator==(const Viewport&) const = default;
};

struct Rect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const Rect&) const = default;
};

struct Material {
    ColorValue diffuse, ambient, specular, emissive;
    float power = 0;
    bool operator==(const Material&) const = default;
};

enum class LightType : uint32_t { Point = 1, Spot = 2, Directional = 3 };

struct Light {
    LightType type = LightType::Directional;
    ColorValue diffuse, specular, ambient;
    Vector3 position, direction;
    float range = 0, falloff = 0, attenuation0 = 0, attenuation1 = 0, attenuation2 = 0, theta = 0, phi = 0;
    bool operator==(const Light&) const = default;
};
constexpr uint32_t kMaxLights = 8;

struct SurfaceDesc {
    Format format = Format::Unknown;
    uint32_t usage = 0;
    Pool pool = Pool::Managed;
    uint32_t width = 0, height = 0;
};

struct LockedRect {
    int32_t pitch = 0;  // bytes per row
    void* bits = nullptr;
};

// D3DCOLOR is 0xAARRGGBB.
using Color = uint32_t;
constexpr Color ColorArgb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    return ((a & 0xFF) << 24) | ((r & 0xFF) << 16) | ((g & 0xFF) << 8) | (b & 0xFF);
}
ColorValue ColorToValue(Color c);
Color ValueToColor(const ColorValue& v);  // saturated

}  // namespace velor
