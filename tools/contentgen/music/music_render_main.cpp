// velor-music-render [output folder]
//
// Composes the demo's module, writes it and a 16-bit WAV of one pass next to it, and prints the
// length, the peak and, per section, the peak and RMS level, so the mix can be checked by ear and by
// number without a tracker.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "engine/audio/module_renderer.h"
#include "tools/common/path_arguments.h"
#include "tools/contentgen/music/module_composer.h"

namespace {

constexpr int kRate = 48000;

double Db(double v) { return v > 0.0 ? 20.0 * std::log10(v) : -999.0; }

void PutU16(std::ofstream& f, uint16_t v) { f.put(char(v & 0xFF)), f.put(char(v >> 8)); }
void PutU32(std::ofstream& f, uint32_t v) { PutU16(f, uint16_t(v & 0xFFFF)), PutU16(f, uint16_t(v >> 16)); }

bool WriteWav(const std::string& path, const std::vector<float>& stereo) {
    std::ofstream f(path, std::ios::binary);
    if (!f) return false;
    const uint32_t dataBytes = uint32_t(stereo.size() * 2);
    f.write("RIFF", 4), PutU32(f, 36 + dataBytes), f.write("WAVEfmt ", 8);
    PutU32(f, 16), PutU16(f, 1), PutU16(f, 2), PutU32(f, kRate), PutU32(f, kRate * 4), PutU16(f, 4), PutU16(f, 16);
    f.write("data", 4), PutU32(f, dataBytes);
    for (float v : stereo) PutU16(f, uint16_t(int16_t(std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0f))));
    return bool(f);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<const char*> paths;
    const auto exit = velor::tools::ParsePathArguments(
        "velor-music-render",
        "usage: velor-music-render [FOLDER]\n"
        "Composes the demo's module, writes it and a 16-bit WAV of one pass into FOLDER (default .), and\n"
        "prints its length, its peak and the peak and RMS level of each section.\n",
        argc, argv, 0, 1, &paths);
    if (exit) return *exit;
    const std::string folder = paths.empty() ? "." : paths[0];
    velor::ComposedModule composed = velor::ComposeVelorModule();
    if (!composed.Ok()) {
        std::fprintf(stderr, "velor-music-render: %s\n", composed.error.c_str());
        return 1;
    }
    const std::string modulePath = folder + "/" + velor::kVelorModuleFileName;
    {
        std::ofstream f(modulePath, std::ios::binary);
        f.write(reinterpret_cast<const char*>(composed.bytes.data()), std::streamsize(composed.bytes.size()));
        if (!f) {
            std::fprintf(stderr, "velor-music-render: %s: cannot write file\n", modulePath.c_str());
            return 1;
        }
    }

    velor::ModuleRendererResult opened = velor::ModuleRenderer::OpenMemory(composed.bytes, modulePath, {kRate, false});
    if (!opened.renderer) {
        std::fprintf(stderr, "velor-music-render: %s\n", opened.error.c_str());
        return 1;
    }
    const double duration = opened.renderer->GetDurationSeconds();
    std::vector<float> pcm = opened.renderer->RenderFrames(size_t(std::ceil(duration * kRate)) + kRate / 10);

    double peak = 0.0;
    for (float v : pcm) peak = std::max(peak, double(std::fabs(v)));
    std::printf("%s: %zu bytes, %.2f s, peak %.3f (%.1f dBFS)\n", modulePath.c_str(), composed.bytes.size(), duration,
                peak, Db(peak));
    for (const velor::MusicSection& s : composed.sections) {
        const size_t a = size_t(s.startSeconds * kRate) * 2, b = std::min(pcm.size(), size_t(s.endSeconds * kRate) * 2);
        double sum = 0.0, sectionPeak = 0.0;
        for (size_t i = a; i < b; ++i) sum += double(pcm[i]) * pcm[i], sectionPeak = std::max(sectionPeak, double(std::fabs(pcm[i])));
        const double rms = b > a ? std::sqrt(sum / double(b - a)) : 0.0;
        std::printf("  %-12s %6.2f-%6.2f s  %3d BPM  peak %6.1f dBFS  rms %6.1f dBFS\n", s.name.c_str(), s.startSeconds,
                    s.endSeconds, s.tempo, Db(sectionPeak), Db(rms));
    }
    const std::string wavPath = folder + "/Vob_058f.wav";
    if (!WriteWav(wavPath, pcm)) {
        std::fprintf(stderr, "velor-music-render: %s: cannot write file\n", wavPath.c_str());
        return 1;
    }
    std::printf("wrote %s\n", wavPath.c_str());
    return 0;
}
