#pragma once
// Which names an effect may give its parameters, structs and struct members. Each becomes a GLSL
// identifier in every shader of the effect, so it must not be a GLSL 3.30 keyword or reserved word,
// nor one of the names the engine's shader preludes declare.
#include <string>
#include <string_view>

namespace velor {

// Empty when the name can be used; otherwise why not ("is a GLSL keyword", ...).
std::string GlslNameProblem(std::string_view name);

}  // namespace velor
