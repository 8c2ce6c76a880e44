#pragma once
// The viewer's keys while the player plays: Space pauses and resumes, Left and Right go 5 s back and
// forward, Home back to the start, F11 and Alt+Enter toggle full screen, F12 writes a screenshot, F1
// and Tab show and hide a line with the demo time, window, frame rate and scale over the picture
// (never in a screenshot: the engine draws it onto the window only).
// They belong to the player around the demo and never reach into a window: a pause holds the frame
// loop and the clock, a seek replays the one frame schedule undrawn up to its target (from the
// demo's start state when it goes back), and the music is paused, moved and resumed beside them.
//
// Each key handled prints one line on stdout, a seek prints another once it has landed, and the
// start one at its first drawn frame:
//     velor: key=right state=seeking time=12.016650 clock=12.030112 music=12.004000 window=1
//     velor: key=right state=landed time=17.016645 clock=17.016645 music=17.016645 window=1
// time is the demo time of the frame last finished (the one on screen), clock the demo time by the
// frame clock now (what the next frame is drawn at), music the sound engine's playing position
// ("none" without music), all in seconds.
#include <cstdio>

#include "demo/shell/frame_schedule.h"

namespace velor::demo {

struct ViewerSettings {
    bool mute = false;
    bool startMusicAtHandOver = false;  // a start at T: the music starts with the first drawn frame
    int windowWidth = 1024, windowHeight = 768;  // the window F11 returns to
    bool windowKeys = true;  // F1, Tab, F11, Alt+Enter and F12; a browser page has its own ways
};

// Installs the keys on the shell (gShell.viewerKey) and the schedule's hand-over. `schedule` must
// be a From schedule on the real clock and outlive the run.
void InstallViewerKeys(FrameSchedule& schedule, const ViewerSettings& settings);

// Each finished frame: the frame rate counts the drawn ones, and the information line, when it is
// on, is set for the next present.
void AfterViewerFrame(const ScheduledFrame& frame);

constexpr double kSeekSeconds = 5;

}  // namespace velor::demo
