// libFuzzer target: any bytes through the effect parser. It must answer with a description or an
// error naming a line, never crash, hang or read out of bounds.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/fx/effect_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view source(reinterpret_cast<const char*>(data), size);
    velor::EffectDesc desc;
    std::string error;
    bool ok = velor::ParseEffect(source, "fuzz.fx", &desc, &error);
    if (!ok && error.rfind("fuzz.fx:", 0) != 0) std::abort();  // every refusal names the file and line
    if (ok) {
        // What the runtime indexes with must be in range.
        for (const velor::TechniqueDesc& t : desc.techniques)
            for (const velor::PassDesc& p : t.passes) {
                if (p.vertexShader >= int(desc.shaders.size()) || p.pixelShader >= int(desc.shaders.size())) std::abort();
                for (const velor::StateAssignment& a : p.states)
                    if (a.param >= int(desc.parameters.size()) || a.index >= 8) std::abort();
            }
        for (const velor::ParameterDesc& p : desc.parameters)
            if (p.defaultValue.size() != p.size || (velor::IsSamplerType(p.type) && (p.sampler.unit < 0 || p.sampler.unit > 7)))
                std::abort();
    }
    return 0;
}
