#include "engine/audio/module_renderer.h"

#include <algorithm>

#include <libopenmpt/libopenmpt.hpp>

#include "engine/audio/module_loader.h"

namespace velor {
namespace {

constexpr int kMinRate = 8000;
constexpr int kMaxRate = 192000;

// libopenmpt renders a song's end as a short final read; a read may also throw on a damaged module,
// which ends the song here too.
template <typename Sample>
size_t ReadFrames(openmpt::module& module, int rate, Sample* out, size_t frames, bool& ended) {
    size_t done = 0;
    while (!ended && done < frames) {
        size_t got = 0;
        try {
            got = module.read_interleaved_stereo(rate, frames - done, out + done * 2);
        } catch (...) {
            got = 0;
        }
        done += got;
        if (got == 0) ended = true;
    }
    std::fill(out + done * 2, out + frames * 2, Sample(0));
    return done;
}

}  // namespace

ModuleRenderer::ModuleRenderer(std::unique_ptr<openmpt::module> module, int sampleRate)
    : module_(std::move(module)), sampleRate_(sampleRate) {}

ModuleRenderer::~ModuleRenderer() = default;

ModuleRendererResult ModuleRenderer::Make(std::unique_ptr<openmpt::module> module, const ModuleRenderDesc& desc,
                                          const std::string& name) {
    ModuleRendererResult result;
    if (desc.sampleRate < kMinRate || desc.sampleRate > kMaxRate) {
        result.error = name + ": sample rate " + std::to_string(desc.sampleRate) + " Hz is not 8000..192000";
        return result;
    }
    result.renderer.reset(new ModuleRenderer(std::move(module), desc.sampleRate));
    return result;
}

ModuleRendererResult ModuleRenderer::Open(const std::string& path, const ModuleRenderDesc& desc) {
    audio_detail::LoadedModule loaded = audio_detail::LoadModuleFile(path, desc.looped);
    if (!loaded.module) return {nullptr, loaded.error};
    return Make(std::move(loaded.module), desc, path);
}

ModuleRendererResult ModuleRenderer::OpenMemory(const std::vector<uint8_t>& bytes, const std::string& name,
                                                const ModuleRenderDesc& desc) {
    audio_detail::LoadedModule loaded = audio_detail::LoadModuleBytes(bytes, name, desc.looped);
    if (!loaded.module) return {nullptr, loaded.error};
    return Make(std::move(loaded.module), desc, name);
}

size_t ModuleRenderer::Render(float* interleavedStereo, size_t frames) {
    return ReadFrames(*module_, sampleRate_, interleavedStereo, frames, ended_);
}

size_t ModuleRenderer::Render(int16_t* interleavedStereo, size_t frames) {
    return ReadFrames(*module_, sampleRate_, interleavedStereo, frames, ended_);
}

std::vector<float> ModuleRenderer::RenderFrames(size_t frames) {
    std::vector<float> out(frames * 2);
    Render(out.data(), frames);
    return out;
}

double ModuleRenderer::GetDurationSeconds() const { return module_->get_duration_seconds(); }

double ModuleRenderer::GetPositionSeconds() const { return module_->get_position_seconds(); }

}  // namespace velor
