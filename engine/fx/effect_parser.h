#pragma once
// The effect language's parser: source text in, EffectDesc out. The grammar is written down for
// effect authors in engine/fx/README.md.
#include <string>
#include <string_view>

#include "engine/fx/effect_desc.h"

namespace velor {

// True and a filled `desc` when the source is well formed. Otherwise false, `desc` untouched, and
// `error` = "<fileName>:<line>: <what is wrong>" for the first fault found.
bool ParseEffect(std::string_view source, std::string_view fileName, EffectDesc* desc, std::string* error);

}  // namespace velor
