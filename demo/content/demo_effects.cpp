#include "demo/content/demo_effects.h"

#include <set>
#include <string>

#include "demo/shell/shell_state.h"
#include "engine/os/window.h"

namespace velor::demo {

namespace {

constexpr const char* kEffectErrorCaption = "asd";

void ReportEffectFailure(const std::string& source, const std::string& errors) {
    static std::set<std::string> said;
    const std::string text = errors.empty() ? source + ": cannot be read" : errors;
    if (said.insert(text).second) MessageBox(text.c_str(), kEffectErrorCaption);
}

}  // namespace

void CreateFileEffect(const char* file, std::shared_ptr<Effect>* effect) {
    std::string errors;
    if (Succeeded(CreateEffectFromFile(CurrentDevice(), file, effect, &errors))) return;
    effect->reset();
    ReportEffectFailure(file, errors);
}

void CreateEmbeddedEffect(int resource, std::shared_ptr<Effect>* effect) {
    std::string errors;
    if (Succeeded(CreateEffectFromResource(CurrentDevice(), resource, effect, &errors))) return;
    effect->reset();
    ReportEffectFailure("resource " + std::to_string(resource), errors);
}

}  // namespace velor::demo
