#include "engine/audio/sound_engine.h"

#include <SDL.h>
#if defined(__linux__)
#include <dlfcn.h>
#endif

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include <libopenmpt/libopenmpt.hpp>

#include "engine/audio/module_loader.h"

namespace velor {
namespace {

constexpr int kPreferredRate = 48000;
constexpr int kPreferredBufferFrames = 1024;  // about 21 ms at 48 kHz
constexpr size_t kMaxSounds = 8;

// NOTE: with no sound card, ALSA's library prints a dozen lines of its own to stderr while SDL
// probes it, burying our one line. SDL loads libasound dynamically; if it is present we load the same
// library and give it a handler that drops its diagnostics (SDL_GetError still says what failed).
// Only Linux has ALSA (and a dlopen in a browser would abort the program).
#if defined(__linux__)
void SilentAlsaHandler(const char*, int, const char*, int, const char*, ...) {}
#endif

void SilenceAlsaDiagnostics() {
#if defined(__linux__)
    static const bool done = [] {
        void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_GLOBAL);
        if (alsa == nullptr) return false;
        using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
        auto setHandler = reinterpret_cast<int (*)(Handler)>(dlsym(alsa, "snd_lib_error_set_handler"));
        if (setHandler != nullptr) setHandler(&SilentAlsaHandler);
        return true;  // the library stays loaded: SDL uses it from here on
    }();
    (void)done;
#endif
}

struct Voice {
    std::unique_ptr<openmpt::module> module;  // null for a free slot
    bool finished = false;                    // reached its end; the slot is reused by the next Play2D
};

}  // namespace

struct SoundEngine::Impl {
    bool subsystemStarted = false;
    SDL_AudioDeviceID device = 0;
    int sampleRate = 0;
    bool reported = false;
    std::string noMusicReason;

    // Touched by the audio callback, or by the calling thread under SDL_LockAudioDevice.
    std::array<Voice, kMaxSounds> voices;
    std::vector<float> scratch;  // interleaved stereo, sized before the device starts

    std::atomic<uint64_t> callbacks{0};
    std::atomic<uint64_t> soundFrames{0};
    std::atomic<float> recentPeak{0.0f};
    std::atomic<int64_t> firstSoundNs{0};
    // Song seconds of the first playing sound where the last rendered buffer began; -1 for none.
    std::atomic<double> playPosition{-1.0};
    bool paused = false;  // the calling thread's view; SDL holds the device's own

    void Report(const std::string& reason) {
        if (reported) return;
        reported = true;
        noMusicReason = reason;
        std::fprintf(stderr, "velor: no music: %s\n", reason.c_str());
        std::fflush(stderr);
    }

    bool Start(const std::string& path, bool looped, double startSeconds);

    // libopenmpt seeks to the start of a row (tens of milliseconds apart): the song is put on a row
    // at or before `seconds`, and the samples from there to `seconds` are rendered and dropped, so
    // the sound lands on the sample asked for. Called under the device lock, or before the module
    // reaches the output. NOTE: it allocates, so never on the audio thread.
    void SeekExactly(openmpt::module& module, double seconds) {
        constexpr double kRowSearchStep = 0.25;  // seconds further back when the seek lands late
        constexpr int kRowSearchTries = 8;
        module.set_position_seconds(seconds);
        double at = module.get_position_seconds();
        for (int i = 1; at > seconds && i <= kRowSearchTries; ++i) {
            module.set_position_seconds(std::max(0.0, seconds - i * kRowSearchStep));
            at = module.get_position_seconds();
        }
        if (at > seconds || sampleRate <= 0) return;
        size_t drop = size_t(std::llround((seconds - at) * double(sampleRate)));
        std::vector<float> dropped(size_t(kPreferredBufferFrames) * 2);  // the callback's scratch is its own
        while (drop > 0) {
            const size_t got =
                module.read_interleaved_stereo(sampleRate, std::min(drop, dropped.size() / 2), dropped.data());
            if (got == 0) break;
            drop -= got;
        }
    }

    void OpenOutput() {
        SilenceAlsaDiagnostics();
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            Report(std::string("no audio output: ") + SDL_GetError());
            return;
        }
        subsystemStarted = true;

        SDL_AudioSpec want{};
        want.freq = kPreferredRate;
        want.format = AUDIO_F32SYS;
        want.channels = 2;
        want.samples = kPreferredBufferFrames;
        want.callback = &Impl::Callback;
        want.userdata = this;
        SDL_AudioSpec have{};
        device = SDL_OpenAudioDevice(nullptr, 0, &want, &have,
                                     SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_SAMPLES_CHANGE);
        if (device == 0) {
            Report(std::string("no audio output: ") + SDL_GetError());
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            subsystemStarted = false;
            return;
        }
        sampleRate = have.freq;
        scratch.assign(size_t(std::max<int>(have.samples, 256)) * 2, 0.0f);
        SDL_PauseAudioDevice(device, 0);
    }

    static void SDLCALL Callback(void* user, Uint8* stream, int length) {
        auto* self = static_cast<Impl*>(user);
        float* out = reinterpret_cast<float*>(stream);
        const size_t frames = size_t(length) / (2 * sizeof(float));
        std::fill(out, out + frames * 2, 0.0f);
        try {
            self->Mix(out, frames);
        } catch (...) {
            // Nothing may leave the audio thread; whatever was mixed so far plays.
        }
        self->callbacks.fetch_add(1, std::memory_order_relaxed);
    }

    void Mix(float* out, size_t frames) {
        const size_t chunkFrames = scratch.size() / 2;
        bool anyPlaying = false;
        for (Voice& v : voices) {
            if (!v.module || v.finished) continue;
            if (!anyPlaying) playPosition.store(v.module->get_position_seconds(), std::memory_order_relaxed);
            anyPlaying = true;
            for (size_t done = 0; done < frames;) {
                const size_t want = std::min(chunkFrames, frames - done);
                size_t got = 0;
                try {
                    got = v.module->read_interleaved_stereo(sampleRate, want, scratch.data());
                } catch (...) {
                    got = 0;  // a module that fails to render is treated as ended
                }
                float* dst = out + done * 2;
                for (size_t i = 0; i < got * 2; ++i) dst[i] += scratch[i];
                soundFrames.fetch_add(got, std::memory_order_relaxed);
                done += got;
                if (got < want) {
                    v.finished = true;
                    break;
                }
            }
        }
        if (!anyPlaying) return;
        if (firstSoundNs.load(std::memory_order_relaxed) == 0) {
            const auto now = std::chrono::steady_clock::now().time_since_epoch();
            firstSoundNs.store(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count(), std::memory_order_relaxed);
        }
        float peak = 0.0f;
        for (size_t i = 0; i < frames * 2; ++i) {
            out[i] = std::clamp(out[i], -1.0f, 1.0f);
            peak = std::max(peak, std::fabs(out[i]));
        }
        recentPeak.store(peak, std::memory_order_relaxed);
    }
};

SoundEngine::SoundEngine(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

SoundEngine::~SoundEngine() {
    if (impl_->device != 0) SDL_CloseAudioDevice(impl_->device);  // waits for a running callback
    for (Voice& v : impl_->voices) v.module.reset();
    if (impl_->subsystemStarted) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool SoundEngine::Play2D(const std::string& path, bool looped, double startSeconds) {
    if (impl_->device == 0) return false;  // the missing output was reported when the engine was made
    try {
        return impl_->Start(path, looped, startSeconds);
    } catch (...) {
        // Only allocation can throw on this side of the lock (reading the file, building messages).
        try {
            impl_->Report(path + ": out of memory");
        } catch (...) {
        }
        return false;
    }
}

bool SoundEngine::Impl::Start(const std::string& path, bool looped, double startSeconds) {
    audio_detail::LoadedModule loaded = audio_detail::LoadModuleFile(path, looped);
    if (!loaded.module) {
        Report(loaded.error);
        return false;
    }
    if (!loaded.warning.empty()) std::fprintf(stderr, "velor: %s\n", loaded.warning.c_str());
    if (startSeconds > 0) {
        double duration = loaded.module->get_duration_seconds();
        if (looped && duration > 0) startSeconds = std::fmod(startSeconds, duration);
        try {
            SeekExactly(*loaded.module, startSeconds);
        } catch (...) {
            // A position libopenmpt cannot seek to leaves the song at its start.
        }
    }

    // Swap the module in under the device lock; whatever it replaces is destroyed after unlocking,
    // so the audio thread never waits on a free.
    std::unique_ptr<openmpt::module> retired;
    bool placed = false;
    SDL_LockAudioDevice(device);
    for (Voice& v : voices) {
        if (v.module && !v.finished) continue;
        retired = std::move(v.module);
        v.module = std::move(loaded.module);
        v.finished = false;
        placed = true;
        break;
    }
    SDL_UnlockAudioDevice(device);
    if (!placed) {
        Report(path + ": " + std::to_string(kMaxSounds) + " sounds are playing already");
        return false;
    }
    return true;
}

bool SoundEngine::WaitForSound(uint32_t timeoutMs) {
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
    (void)timeoutMs;
    return false;
#else
    if (impl_->device == 0 || GetStats().playingSounds == 0) return false;
    const uint64_t before = impl_->soundFrames.load(std::memory_order_relaxed);
    const uint64_t start = SDL_GetTicks64();
    while (impl_->soundFrames.load(std::memory_order_relaxed) == before) {
        if (SDL_GetTicks64() - start >= timeoutMs) return false;
        SDL_Delay(1);
    }
    return true;
#endif
}

void SoundEngine::SetPaused(bool paused) {
    if (impl_->device == 0 || impl_->paused == paused) return;
    impl_->paused = paused;
    SDL_PauseAudioDevice(impl_->device, paused ? 1 : 0);
}

bool SoundEngine::IsPaused() const { return impl_->paused; }

void SoundEngine::SetPlayPosition(double seconds) {
    if (impl_->device == 0) return;
    SDL_LockAudioDevice(impl_->device);
    bool first = true;
    for (Voice& v : impl_->voices) {
        if (!v.module || v.finished) continue;
        try {
            const double duration = v.module->get_duration_seconds();
            const double at = duration > 0 && v.module->get_repeat_count() != 0 ? std::fmod(seconds, duration) : seconds;
            impl_->SeekExactly(*v.module, at);
            // Until the next buffer is rendered, the position is where the sound was put.
            if (first) impl_->playPosition.store(v.module->get_position_seconds(), std::memory_order_relaxed);
            first = false;
        } catch (...) {
            // A position libopenmpt cannot reach leaves the sound where it was.
        }
    }
    SDL_UnlockAudioDevice(impl_->device);
}

double SoundEngine::GetPlayPosition() const {
    if (impl_->device == 0) return -1.0;
    return impl_->playPosition.load(std::memory_order_relaxed);
}

bool SoundEngine::HasOutput() const { return impl_->device != 0; }

SoundEngineStats SoundEngine::GetStats() const {
    SoundEngineStats s;
    s.outputOpen = impl_->device != 0;
    s.sampleRate = impl_->sampleRate;
    s.callbacks = impl_->callbacks.load(std::memory_order_relaxed);
    s.soundFrames = impl_->soundFrames.load(std::memory_order_relaxed);
    s.recentPeak = impl_->recentPeak.load(std::memory_order_relaxed);
    s.firstSoundNs = impl_->firstSoundNs.load(std::memory_order_relaxed);
    if (impl_->device != 0) {
        SDL_LockAudioDevice(impl_->device);
        for (const Voice& v : impl_->voices) s.playingSounds += (v.module && !v.finished) ? 1 : 0;
        SDL_UnlockAudioDevice(impl_->device);
    }
    return s;
}

std::string SoundEngine::GetNoMusicReason() const { return impl_->noMusicReason; }

std::shared_ptr<SoundEngine> CreateSoundEngine(SoundOutputDriver driver, uint32_t /*options*/) {
    std::shared_ptr<SoundEngine> engine;
    try {
        engine.reset(new SoundEngine(std::make_unique<SoundEngine::Impl>()));
    } catch (...) {
        return nullptr;  // out of memory before anything was opened
    }
    if (driver == SoundOutputDriver::AutoDetect) engine->impl_->OpenOutput();
    return engine;
}

}  // namespace velor
