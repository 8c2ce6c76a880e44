#include "demo/shell/frame_loop.h"

#include <utility>

#include "demo/shell/shell_state.h"
#include "engine/os/main_loop.h"

namespace velor::demo {

namespace {
constexpr uint32_t kHeldFrameWaitMs = 10;  // a paused player's turn: keys still answered at once
}  // namespace

int64_t WindowProc(const Message& message) {
    switch (message.message) {
    case Msg::Close:  // the window itself stays; the loop ends and the process tidies up
    case Msg::Destroy: PostQuitMessage(0); return 0;
    case Msg::KeyDown:
        if (message.wParam == Vk::Escape)
            PostQuitMessage(0);
        else if (gShell.viewerKey)
            gShell.viewerKey(message);
        return 0;
    case Msg::SysKeyDown:
        if (message.wParam == Vk::Return && gShell.viewerKey) {
            gShell.viewerKey(message);
            return 0;
        }
        return DefWindowProc(message, &WindowProc);
    case Msg::Char:
    case Msg::MouseMove:
    case Msg::Command: return 0;
    default: return DefWindowProc(message, &WindowProc);
    }
}

void StartFrameClock(FrameClock& clock) {
    gShell.counterPeriod = CounterPeriod(clock.QueryPerformanceFrequency());
    gShell.frameClock = clock.QueryPerformanceCounter();
}

MessageLoop::MessageLoop(FrameTarget& target, FrameClock& clock, MessageSource* source,
                         std::function<void()> afterFrame)
    : target_(target), clock_(clock), source_(source), afterFrame_(std::move(afterFrame)) {}

bool MessageLoop::Step() {
    MessageQueue& queue = ThreadMessageQueue();
    if (!started_) {
        started_ = true;
        queue.PeekMessage(&message_, source_, false);
    }
    while (message_.message != Msg::Quit) {
        // Every pending message is handled before a frame is drawn.
        if (queue.PeekMessage(&message_, source_, true)) {
            if (message_.message != Msg::Quit) WindowProc(message_);
            continue;
        }
        if (gShell.holdFrames) {
            clock_.Sleep(kHeldFrameWaitMs);
            return true;
        }
        switch (target_.TestCooperativeLevel()) {
        case Result::DeviceLost:
            // The frame clock stands still, so the next frame's delta carries the whole loss.
            clock_.Sleep(20);
            return true;
        case Result::DriverInternalError:
            target_.ShowMessageBox("Internal Driver Error...Exiting");
            PostQuitMessage(0);
            continue;
        case Result::DeviceNotReset: target_.Reset(); break;
        default: break;
        }
        int64_t now = clock_.QueryPerformanceCounter();
        gShell.frameDelta = FrameDeltaSeconds(now - gShell.frameClock, gShell.counterPeriod);
        target_.RenderFrame();
        gShell.frameClock = now;
        if (afterFrame_) afterFrame_();
        return true;
    }
    return false;
}

int RunMessageLoop(FrameTarget& target, FrameClock& clock, MessageSource* source,
                   const std::function<void()>& afterFrame, std::function<void(int)> afterLoop) {
    MessageLoop loop(target, clock, source, afterFrame);
    RunMainLoop([&loop] { return loop.Step(); },
                [&loop, afterLoop = std::move(afterLoop)] {
                    if (afterLoop) afterLoop(loop.ExitCode());
                });
    return loop.ExitCode();
}

}  // namespace velor::demo
