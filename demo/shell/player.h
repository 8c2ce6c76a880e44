#pragma once
// velor's command line and the player around the shell: full screen from the start with music by
// default; or in a window, without sound, or from a later point of the schedule.
//
// Starting at T plays the schedule from 0 without drawing (its state builds up frame by frame, so it
// cannot jump), on fixed steps as fast as the CPU allows, up to the frame at T (frame_schedule.h);
// that frame is drawn, then the frame clock goes over to the real counter and the music starts at
// that frame's time, so picture and sound stay together.
#include <string>

#include "engine/gfx/present_frame.h"
#include "engine/os/clock.h"

namespace velor::demo {

inline constexpr const char* kVelorVersion = VELOR_VERSION;  // the project() version, set by the build

struct PlayerOptions {
    bool windowed = false;
    int width = 1024, height = 768;  // window size with --windowed
    bool mute = false;
    double from = 0;                 // demo seconds to start at
    float scale = 1;                 // --scale: real pixels per back-buffer pixel; 0 for auto
    PresentFrame frame = PresentFrame::Wide;  // --frame: what of the back buffer is shown
    int display = -1;                // --display: the monitor, from 0; -1: the system's choice
    bool vsync = false;              // --vsync: wait for the vertical retrace
    std::string data;                // --data: the content's folder; empty: looked for (content_folder.h)
    bool help = false;
    bool version = false;
};

// False with a reason for an unknown option, a size that is not WxH, a time that is not a number
// of seconds >= 0, a scale that is not 1 to 8 or auto, a framing that is not wide or 4:3, a monitor
// number that is not a whole number from 0, or a --data without its folder.
bool ParsePlayerOptions(int argc, const char* const* argv, PlayerOptions* options, std::string* error);

const char* PlayerUsageLine();
const char* PlayerHelp();

// Runs the program with these options on the real clock; returns the exit code: 2, after one line,
// for a --display the machine does not have.
int RunPlayer(const PlayerOptions& options, FrameClock& realClock);

}  // namespace velor::demo
