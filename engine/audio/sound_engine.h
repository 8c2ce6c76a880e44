#pragma once
// The sound engine the demo starts its music with: create an engine with automatic output, then
// Play2D a module file, looped. It plays until the process ends; the demo never calls it again, but
// the player around it pauses it, moves it and asks where it is (SetPaused, SetPlayPosition,
// GetPlayPosition).
//
// Modules are decoded by libopenmpt and rendered in SDL's audio callback, on SDL's audio thread, at
// the output device's own rate. That thread only renders: it never blocks, never allocates, and
// catches everything libopenmpt might throw. The calling thread touches a playing module only while
// it holds SDL's lock on the device.
//
// Music is never essential. With no audio device (no sound card, SDL's audio failing to start), or
// with a module that is missing or unreadable, the engine stays usable, Play2D returns false, and the
// reason is printed ONCE on stderr as one line, e.g.
//     velor: no music: Vob_058f.s3m: cannot open file
// Nothing here throws.

#include <cstdint>
#include <memory>
#include <string>

namespace velor {

enum class SoundOutputDriver : int {
    AutoDetect = 0,  // SDL's default device (SDL_AUDIODRIVER chooses the driver)
    Null = 1,        // no output at all, silently: Play2D only reports failure
};

// Creation options, with the bit values the demo passes. Output always runs on SDL's own audio
// thread, so only the meaning of MultiThreaded is ever in effect; the rest are accepted and ignored.
enum SoundEngineOption : uint32_t {
    kSoundMultiThreaded = 0x01,
    kSoundMuteIfNotFocused = 0x02,
    kSoundLoadPlugins = 0x04,
    kSoundUse3DBuffers = 0x08,
    kSoundPrintDebugToDebugger = 0x10,
    kSoundPrintDebugToStdout = 0x20,
    kSoundLinearRolloff = 0x40,
};
inline constexpr uint32_t kSoundDefaultOptions = 0x3D;

// What the engine is doing, for tests and diagnostics.
struct SoundEngineStats {
    bool outputOpen = false;        // an audio device is open and running
    int sampleRate = 0;             // the device's rate (Hz), 0 without a device
    int playingSounds = 0;          // sounds that have not reached their end
    uint64_t callbacks = 0;         // audio callbacks served
    uint64_t soundFrames = 0;       // frames the playing sounds have rendered, summed over sounds
    float recentPeak = 0.0f;        // peak |sample| of the last callback that had a sound playing
    int64_t firstSoundNs = 0;       // std::chrono::steady_clock time (ns since its epoch) of the
                                    // callback that first rendered a sound; 0 until one has
};

class SoundEngine {
public:
    ~SoundEngine();
    SoundEngine(const SoundEngine&) = delete;
    SoundEngine& operator=(const SoundEngine&) = delete;

    // Starts playing the module at `path` at once, `startSeconds` into the song (wrapped into one
    // pass when looped); with `looped` it plays forever. False (and, the first time, the reason on
    // stderr) when there is no output or the module cannot be played.
    bool Play2D(const std::string& path, bool looped, double startSeconds = 0);

    // Waits, at most `timeoutMs`, until the output has rendered samples of a playing sound since this
    // call began, so that a caller can start its own clock with the music's first samples. False on
    // timeout, without output or nothing playing, and in a browser without threads (where the output
    // is fed from this same thread and waiting would only delay it).
    bool WaitForSound(uint32_t timeoutMs);

    // Stops and restarts the output: a paused engine renders nothing and its position stands.
    void SetPaused(bool paused);
    bool IsPaused() const;
    // Moves every playing sound to `seconds` into its song (wrapped into one pass when looped).
    void SetPlayPosition(double seconds);
    // Seconds into the song of the first playing sound at the start of the buffer the output is
    // playing now (the last one rendered): what is heard, within one buffer. -1 with nothing playing.
    double GetPlayPosition() const;

    bool HasOutput() const;
    SoundEngineStats GetStats() const;
    // Why there is no music, as printed; empty while nothing has failed.
    std::string GetNoMusicReason() const;

    struct Impl;

private:
    explicit SoundEngine(std::unique_ptr<Impl> impl);
    friend std::shared_ptr<SoundEngine> CreateSoundEngine(SoundOutputDriver, uint32_t);

    std::unique_ptr<Impl> impl_;
};

// Null only when memory runs out; without an audio device the engine is silent and says why once.
std::shared_ptr<SoundEngine> CreateSoundEngine(SoundOutputDriver driver = SoundOutputDriver::AutoDetect,
                                               uint32_t options = kSoundDefaultOptions);

}  // namespace velor
