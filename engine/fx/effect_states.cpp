#include "engine/fx/effect_states.h"

#include <span>
#include <vector>

#include "engine/gfx/d3d_types.h"

namespace velor {

namespace {

using K = StateValueKind;

// Render states come from the device's table: each row under its name and its other spelling.
const std::vector<StateInfo>& RenderStates() {
    static const std::vector<StateInfo> states = [] {
        std::vector<StateInfo> out;
        for (const RenderStateRow& row : RenderStateTable()) {
            out.push_back({row.name, uint32_t(row.state), row.kind});
            if (row.otherName != nullptr) out.push_back({row.otherName, uint32_t(row.state), row.kind});
        }
        return out;
    }();
    return states;
}

constexpr uint32_t S(SamplerState s) { return uint32_t(s); }

const StateInfo kSamplerStates[] = {
    {"AddressU", S(SamplerState::AddressU), K::TextureAddress},
    {"AddressV", S(SamplerState::AddressV), K::TextureAddress},
    {"AddressW", S(SamplerState::AddressW), K::TextureAddress},
    {"BorderColor", S(SamplerState::BorderColor), K::Color},
    {"MagFilter", S(SamplerState::MagFilter), K::TextureFilter},
    {"MinFilter", S(SamplerState::MinFilter), K::TextureFilter},
    {"MipFilter", S(SamplerState::MipFilter), K::TextureFilter},
    {"MipMapLodBias", S(SamplerState::MipMapLodBias), K::Float},
    {"MaxMipLevel", S(SamplerState::MaxMipLevel), K::Uint},
    {"MaxAnisotropy", S(SamplerState::MaxAnisotropy), K::Uint},
};

constexpr uint32_t T(TextureStageState s) { return uint32_t(s); }

const StateInfo kStageStates[] = {
    {"ColorOp", T(TextureStageState::ColorOp), K::TextureOp},
    {"ColorArg1", T(TextureStageState::ColorArg1), K::TextureArg},
    {"ColorArg2", T(TextureStageState::ColorArg2), K::TextureArg},
    {"AlphaOp", T(TextureStageState::AlphaOp), K::TextureOp},
    {"AlphaArg1", T(TextureStageState::AlphaArg1), K::TextureArg},
    {"AlphaArg2", T(TextureStageState::AlphaArg2), K::TextureArg},
    {"TexCoordIndex", T(TextureStageState::TexCoordIndex), K::Uint},
};

struct ValueName {
    const char* name;
    uint32_t value;
};

const ValueName kBoolNames[] = {{"True", 1}, {"False", 0}};
const ValueName kCullNames[] = {{"None", 1}, {"CW", 2}, {"CCW", 3}};
const ValueName kFillNames[] = {{"Point", 1}, {"Wireframe", 2}, {"Solid", 3}};
const ValueName kShadeNames[] = {{"Flat", 1}, {"Gouraud", 2}, {"Phong", 3}};
const ValueName kBlendNames[] = {
    {"Zero", 1}, {"One", 2}, {"SrcColor", 3}, {"InvSrcColor", 4}, {"SrcAlpha", 5}, {"InvSrcAlpha", 6},
    {"DestAlpha", 7}, {"InvDestAlpha", 8}, {"DestColor", 9}, {"InvDestColor", 10}, {"SrcAlphaSat", 11},
};
const ValueName kBlendOpNames[] = {{"Add", 1}, {"Subtract", 2}, {"RevSubtract", 3}, {"Min", 4}, {"Max", 5}};
const ValueName kCmpNames[] = {
    {"Never", 1}, {"Less", 2}, {"Equal", 3}, {"LessEqual", 4},
    {"Greater", 5}, {"NotEqual", 6}, {"GreaterEqual", 7}, {"Always", 8},
};
const ValueName kStencilOpNames[] = {
    {"Keep", 1}, {"Zero", 2}, {"Replace", 3}, {"IncrSat", 4}, {"DecrSat", 5}, {"Invert", 6}, {"Incr", 7}, {"Decr", 8},
};
const ValueName kMaterialSourceNames[] = {{"Material", 0}, {"Color1", 1}, {"Color2", 2}};
const ValueName kFilterNames[] = {{"None", 0}, {"Point", 1}, {"Linear", 2}, {"Anisotropic", 3}};
const ValueName kAddressNames[] = {{"Wrap", 1}, {"Mirror", 2}, {"Clamp", 3}, {"Border", 4}, {"MirrorOnce", 5}};
const ValueName kTextureOpNames[] = {
    {"Disable", 1}, {"SelectArg1", 2}, {"SelectArg2", 3}, {"Modulate", 4}, {"Modulate2X", 5}, {"Add", 7},
};
const ValueName kTextureArgNames[] = {{"Diffuse", 0}, {"Current", 1}, {"Texture", 2}, {"TFactor", 3}};
const ValueName kColorWriteNames[] = {{"Red", 1}, {"Green", 2}, {"Blue", 4}, {"Alpha", 8}};

std::span<const ValueName> NamesOf(StateValueKind kind) {
    switch (kind) {
    case K::Bool: return kBoolNames;
    case K::Cull: return kCullNames;
    case K::FillMode: return kFillNames;
    case K::ShadeMode: return kShadeNames;
    case K::Blend: return kBlendNames;
    case K::BlendOp: return kBlendOpNames;
    case K::Cmp: return kCmpNames;
    case K::StencilOp: return kStencilOpNames;
    case K::MaterialSource: return kMaterialSourceNames;
    case K::TextureFilter: return kFilterNames;
    case K::TextureAddress: return kAddressNames;
    case K::TextureOp: return kTextureOpNames;
    case K::TextureArg: return kTextureArgNames;
    case K::ColorWrite: return kColorWriteNames;
    case K::Uint:
    case K::Float:
    case K::Color: return {};
    }
    return {};
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

const StateInfo* FindIn(std::span<const StateInfo> table, std::string_view name) {
    for (const StateInfo& info : table)
        if (EqualNoCase(info.name, name)) return &info;
    return nullptr;
}

}  // namespace

const StateInfo* FindRenderState(std::string_view name) { return FindIn(RenderStates(), name); }
const StateInfo* FindSamplerState(std::string_view name) { return FindIn(kSamplerStates, name); }
const StateInfo* FindTextureStageState(std::string_view name) { return FindIn(kStageStates, name); }

bool FindStateValueName(StateValueKind kind, std::string_view name, uint32_t* value) {
    for (const ValueName& v : NamesOf(kind)) {
        if (EqualNoCase(v.name, name)) {
            *value = v.value;
            return true;
        }
    }
    return false;
}

std::string StateValueNames(StateValueKind kind) {
    std::string out;
    for (const ValueName& v : NamesOf(kind)) {
        if (!out.empty()) out += ", ";
        out += v.name;
    }
    return out.empty() ? "a number" : out;
}

}  // namespace velor
