// Creating effects from text, files and embedded resources.
#include <algorithm>
#include <fstream>

#include "engine/fx/effect.h"
#include "engine/fx/effect_parser.h"
#include "engine/fx/effect_program.h"
#include "engine/os/resources.h"

namespace velor {

namespace {

// Effect sources are a few kilobytes; anything far larger is not one.
constexpr std::streamoff kMaxEffectFileBytes = 16 << 20;

void TrimNewline(std::string& text) {
    while (!text.empty() && text.back() == '\n') text.pop_back();
}

}  // namespace

Result CreateEffect(Device* device, std::string_view source, std::string_view name, std::shared_ptr<Effect>* effect,
                    std::string* errors) {
    std::string local;
    std::string& error = errors ? *errors : local;
    error.clear();
    if (effect != nullptr) effect->reset();
    if (device == nullptr || effect == nullptr) {
        error = std::string(name) + ": no device or no place for the effect";
        return Result::InvalidCall;
    }
    size_t nul = source.find('\0');
    if (nul != std::string_view::npos) {
        size_t line = 1 + size_t(std::count(source.begin(), source.begin() + nul, '\n'));
        error = std::string(name) + ":" + std::to_string(line) + ": the source contains a NUL byte";
        return Result::Fail;
    }

    EffectDesc desc;
    if (!ParseEffect(source, name, &desc, &error)) return Result::Fail;
    LinkedEffect linked;
    if (!LinkEffectPrograms(*device, desc, name, &linked, &error)) {
        TrimNewline(error);
        return Result::Fail;
    }

    std::shared_ptr<Effect> made(new Effect(device, std::string(name), std::move(desc)));
    made->programs_ = std::move(linked.programs);
    made->passes_.resize(linked.passProgram.size());
    for (size_t t = 0; t < linked.passProgram.size(); ++t) {
        for (int program : linked.passProgram[t]) {
            Effect::PassRuntime runtime;
            runtime.program = program;
            if (program >= 0) runtime.samplers = made->programs_[program]->samplers;
            made->passes_[t].push_back(std::move(runtime));
        }
    }
    made->CollectSaveSlots();
    // Programs start with the defaults, so the first BeginPass sends only what the caller changed.
    for (auto& program : made->programs_) made->UploadParameters(*program);
    *effect = std::move(made);
    return Result::Ok;
}

Result CreateEffectFromFile(Device* device, const char* path, std::shared_ptr<Effect>* effect, std::string* errors) {
    if (effect != nullptr) effect->reset();
    std::string name = path != nullptr ? path : "";
    std::ifstream in(name, std::ios::binary);
    if (path == nullptr || !in) {
        if (errors) *errors = name + ": cannot open the file";
        return Result::InvalidData;
    }
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size < 0 || size > kMaxEffectFileBytes) {
        if (errors) *errors = name + ": not an effect file (" + std::to_string(size) + " bytes)";
        return Result::InvalidData;
    }
    std::string text(size_t(size), '\0');
    in.seekg(0, std::ios::beg);
    if (!in.read(text.data(), size)) {
        if (errors) *errors = name + ": cannot read the file";
        return Result::InvalidData;
    }
    return CreateEffect(device, text, name, effect, errors);
}

Result CreateEffectFromResource(Device* device, int id, std::shared_ptr<Effect>* effect, std::string* errors) {
    if (effect != nullptr) effect->reset();
    std::string name = "resource " + std::to_string(id);
    std::span<const uint8_t> bytes = FindResource(id);
    if (bytes.empty()) {
        if (errors) *errors = name + ": no embedded resource has this id";
        return Result::InvalidData;
    }
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return CreateEffect(device, text, name, effect, errors);
}

}  // namespace velor
