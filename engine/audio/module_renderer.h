#pragma once
// Offline rendering of a module to PCM, for the capture tool that writes a video with its sound and
// for checking the music's levels.
//
// It decodes with the same loader and the same libopenmpt defaults as the sound engine, so what it
// renders is what the demo plays, frame for frame from the start: rendering a run at F frames per
// second and R Hz means taking R / F frames per video frame. The output is interleaved stereo
// (left, right), as float in [-1, 1] or as int16.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace openmpt {
class module;
}

namespace velor {

struct ModuleRenderDesc {
    int sampleRate = 48000;  // Hz, 8000..192000
    bool looped = false;     // true: the song repeats forever, as the demo plays it
};

class ModuleRenderer;

struct ModuleRendererResult {
    std::unique_ptr<ModuleRenderer> renderer;  // null on failure
    std::string error;                         // "<name>: <reason>" on failure
};

class ModuleRenderer {
public:
    static ModuleRendererResult Open(const std::string& path, const ModuleRenderDesc& desc = {});
    static ModuleRendererResult OpenMemory(const std::vector<uint8_t>& bytes, const std::string& name,
                                           const ModuleRenderDesc& desc = {});
    ~ModuleRenderer();

    // Fills `frames` stereo frames. Returns how many the module produced; past the end of a song that
    // is not looped the rest is silence and the return value is smaller than `frames`.
    size_t Render(float* interleavedStereo, size_t frames);
    size_t Render(int16_t* interleavedStereo, size_t frames);
    // Convenience: the next `frames` frames as float.
    std::vector<float> RenderFrames(size_t frames);

    int GetSampleRate() const { return sampleRate_; }
    // One pass of the song, whether or not it loops.
    double GetDurationSeconds() const;
    double GetPositionSeconds() const;

private:
    ModuleRenderer(std::unique_ptr<openmpt::module> module, int sampleRate);
    static ModuleRendererResult Make(std::unique_ptr<openmpt::module> module, const ModuleRenderDesc& desc,
                                     const std::string& name);

    std::unique_ptr<openmpt::module> module_;
    int sampleRate_;
    bool ended_ = false;
};

}  // namespace velor
