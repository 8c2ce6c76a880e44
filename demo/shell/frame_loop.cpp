#include "demo/shell/frame_loop.h"

#include "demo/shell/shell_state.h"

namespace velor::demo {

int64_t WindowProc(const Message& message) {
    switch (message.message) {
    case Msg::Close:  // the window itself stays; the loop ends and the process tidies up
    case Msg::Destroy: PostQuitMessage(0); return 0;
    case Msg::KeyDown:
        if (message.wParam == Vk::Escape) PostQuitMessage(0);
        return 0;
    case Msg::Char:
    case Msg::MouseMove:
    case Msg::Command: return 0;
    default: return DefWindowProc(message, &WindowProc);
    }
}

void StartFrameClock(FrameClock& clock) {
    gShell.counterPeriod = 1.0f / float(clock.QueryPerformanceFrequency());
    gShell.frameClock = clock.QueryPerformanceCounter();
}

int RunMessageLoop(FrameTarget& target, FrameClock& clock, MessageSource* source,
                   const std::function<void()>& afterFrame) {
    MessageQueue& queue = ThreadMessageQueue();
    Message message;
    queue.PeekMessage(&message, source, false);
    while (message.message != Msg::Quit) {
        // Every pending message is handled before a frame is drawn.
        if (queue.PeekMessage(&message, source, true)) {
            if (message.message != Msg::Quit) WindowProc(message);
            continue;
        }
        switch (target.TestCooperativeLevel()) {
        case Result::DeviceLost:
            // The frame clock stands still, so the next frame's delta carries the whole loss.
            clock.Sleep(20);
            continue;
        case Result::DriverInternalError:
            target.ShowMessageBox("Internal Driver Error...Exiting");
            PostQuitMessage(0);
            continue;
        case Result::DeviceNotReset: target.Reset(); break;
        default: break;
        }
        int64_t now = clock.QueryPerformanceCounter();
        gShell.frameDelta = float(now - gShell.frameClock) * gShell.counterPeriod;
        target.RenderFrame();
        gShell.frameClock = now;
        if (afterFrame) afterFrame();
    }
    return int(message.wParam);
}

}  // namespace velor::demo
