#include "engine/mesh/material_list.h"

#include <cstring>

namespace velor {

namespace {

EffectDefault Floats(const char* name, const float* values, size_t count) {
    EffectDefault d;
    d.paramName = name;
    d.type = EffectDefaultType::Floats;
    d.value.resize(count * sizeof(float));
    std::memcpy(d.value.data(), values, d.value.size());
    return d;
}

EffectDefault Colour(const char* name, const ColorValue& c) {
    const float values[4] = {c.r, c.g, c.b, c.a};
    return Floats(name, values, 4);
}

}  // namespace

EffectInstance EffectInstanceOf(const XMaterial& material) {
    const Material& m = material.matD3D;
    EffectInstance instance;
    instance.defaults.push_back(Colour("Diffuse", m.diffuse));
    instance.defaults.push_back(Floats("Power", &m.power, 1));
    instance.defaults.push_back(Colour("Specular", m.specular));
    instance.defaults.push_back(Colour("Emissive", m.emissive));
    instance.defaults.push_back(Colour("Ambient", m.ambient));
    if (!material.textureFilename.empty()) {
        EffectDefault texture;
        texture.paramName = "Texture0@Name";
        texture.type = EffectDefaultType::String;
        texture.value.assign(material.textureFilename.begin(), material.textureFilename.end());
        texture.value.push_back(0);
        instance.defaults.push_back(std::move(texture));
    }
    return instance;
}

}  // namespace velor
