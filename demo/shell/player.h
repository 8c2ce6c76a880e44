#pragma once
// velor's command line and the player around the shell: full screen from the start with music by
// default; or in a window, without sound, or from a later point of the schedule.
//
// Starting at T runs the schedule from 0 without drawing (its state builds up frame by frame, so it
// cannot jump), on fixed steps as fast as the CPU allows, then hands the frame clock over to the
// real counter and starts the music at the demo time reached, so picture and sound stay together.
#include <cstdint>
#include <string>

#include "engine/os/clock.h"

namespace velor::demo {

inline constexpr const char* kVelorVersion = VELOR_VERSION;  // the project() version, set by the build

struct PlayerOptions {
    bool windowed = false;
    int width = 1024, height = 768;  // window size with --windowed
    bool mute = false;
    double from = 0;                 // demo seconds to start at
    std::string data;                // --data: the content's folder; empty: looked for (content_folder.h)
    bool help = false;
    bool version = false;
};

// False with a reason for an unknown option, a size that is not WxH, a time that is not a number
// of seconds >= 0 or a --data without its folder.
bool ParsePlayerOptions(int argc, const char* const* argv, PlayerOptions* options, std::string* error);

const char* PlayerUsageLine();
const char* PlayerHelp();

// Fixed steps while catching up, then the real clock, continuing from the last step: the first frame
// after the hand-over sees only the real time since it.
class CatchUpClock final : public FrameClock {
public:
    CatchUpClock(FrameClock& real, double stepSeconds);
    int64_t QueryPerformanceCounter() override;
    int64_t QueryPerformanceFrequency() override { return frequency_; }
    void Sleep(uint32_t milliseconds) override;
    void HandOver();
    bool CatchingUp() const { return catchingUp_; }

private:
    FrameClock& real_;
    int64_t frequency_;
    int64_t step_;             // ticks of the real clock per catch-up frame
    int64_t now_ = 0;          // the stepped reading
    bool started_ = false;
    bool catchingUp_ = true;
    int64_t handOverReal_ = 0;  // the real reading at the hand-over
};

// Runs the program with these options on the real clock; returns the exit code.
int RunPlayer(const PlayerOptions& options, FrameClock& realClock);

}  // namespace velor::demo
