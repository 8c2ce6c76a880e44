#pragma once
// The message loop with its idle-time frames, written against small interfaces so tests can run it
// with a scripted clock, script of messages and device.
#include <functional>

#include "engine/gfx/d3d_types.h"
#include "engine/os/clock.h"
#include "engine/os/messages.h"

namespace velor::demo {

// What the loop drives on an idle turn.
class FrameTarget {
public:
    virtual ~FrameTarget() = default;
    virtual Result TestCooperativeLevel() = 0;
    virtual void Reset() = 0;          // with the stored present parameters; result not inspected
    virtual void RenderFrame() = 0;
    virtual void ShowMessageBox(const char* text) = 0;
};

// The window procedure: quits on WM_CLOSE, WM_DESTROY and Escape; hands other keys and Alt+Enter to
// the viewer's keys when there are any; ignores characters, mouse moves and commands; leaves the rest
// to DefWindowProc.
int64_t WindowProc(const Message& message);

// Starts the frame clock: counter period and the first counter reading.
void StartFrameClock(FrameClock& clock);

// Seconds per counter tick, and the seconds a frame's delta holds for `ticks` of the counter, in the
// single precision the loop measures them in: whatever follows the frame clock (a frame schedule)
// reckons with exactly these.
inline float CounterPeriod(int64_t frequency) { return 1.0f / float(frequency); }
inline float FrameDeltaSeconds(int64_t ticks, float counterPeriod) { return float(ticks) * counterPeriod; }

// The message loop one turn at a time, so that a caller who must return between frames (a browser
// page) can drive it. Turns taken back to back are the blocking loop exactly.
class MessageLoop {
public:
    // `afterFrame`, when set, runs after each drawn frame.
    MessageLoop(FrameTarget& target, FrameClock& clock, MessageSource* source, std::function<void()> afterFrame = {});

    // One turn: handles every pending message; unless one of them was WM_QUIT, checks the device and
    // draws one frame (or sleeps while the device is lost or the viewer holds the picture). False once WM_QUIT has arrived, and on
    // every call after that.
    bool Step();
    // WM_QUIT's exit code, once Step has returned false.
    int ExitCode() const { return int(message_.wParam); }

private:
    FrameTarget& target_;
    FrameClock& clock_;
    MessageSource* source_;
    std::function<void()> afterFrame_;
    Message message_;
    bool started_ = false;
};

// Runs until WM_QUIT and returns its exit code. `afterFrame`, when set, runs after each drawn frame;
// `afterLoop`, when set, runs once WM_QUIT has ended the loop, with its exit code. Natively it blocks;
// in a browser the turns run per animation frame (RunMainLoop, engine/os/main_loop.h), the call does
// not return, and `afterLoop` is where the program learns that it has ended.
int RunMessageLoop(FrameTarget& target, FrameClock& clock, MessageSource* source,
                   const std::function<void()>& afterFrame = {}, std::function<void(int)> afterLoop = {});

}  // namespace velor::demo
