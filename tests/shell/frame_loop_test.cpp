// The message loop with a scripted clock, message source and device.
#include <gtest/gtest.h>

#include <deque>
#include <functional>

#include "demo/shell/frame_loop.h"
#include "demo/shell/shell_state.h"

namespace velor::demo {
namespace {

// Counter in microseconds; each read after the first advances by the frame step, sleeps by their length.
class ScriptedClock final : public FrameClock {
public:
    int64_t QueryPerformanceCounter() override {
        if (started_) now += step;
        started_ = true;
        return now;
    }
    int64_t QueryPerformanceFrequency() override { return 1'000'000; }
    void Sleep(uint32_t ms) override {
        now += int64_t(ms) * 1000;
        ++sleeps;
    }
    int64_t now = 0, step = 10'000;  // 10 ms frames
    int sleeps = 0;

private:
    bool started_ = false;
};

// Hands its script to the queue a batch per pump, as a window delivers a burst of events.
class ScriptedSource final : public MessageSource {
public:
    void Pump() override {
        if (batches.empty()) return;
        for (const auto& m : batches.front()) ThreadMessageQueue().Post(m);
        batches.pop_front();
    }
    std::deque<std::vector<Message>> batches;
};

class ScriptedTarget final : public FrameTarget {
public:
    Result TestCooperativeLevel() override { return cooperative ? cooperative() : Result::Ok; }
    void Reset() override { ++resets; }
    void RenderFrame() override {
        Message pending;
        if (ThreadMessageQueue().PeekMessage(&pending, nullptr, false)) ++framesWithPendingMessages;
        deltas.push_back(gShell.frameDelta);
        if (onFrame) onFrame(int(deltas.size()));
    }
    void ShowMessageBox(const char* text) override { boxes.push_back(text); }

    std::function<Result()> cooperative;
    std::function<void(int)> onFrame;
    std::vector<float> deltas;
    std::vector<std::string> boxes;
    int resets = 0;
    int framesWithPendingMessages = 0;
};

Message KeyDown(uint32_t vk, bool alt = false) {
    return Message{alt ? Msg::SysKeyDown : Msg::KeyDown, vk, alt ? kAltDownBit : 0};
}

struct QuitCase {
    const char* name;
    Message message;
};

TEST(FrameLoop, EscapeCloseDestroyAndAltF4EndWithCodeZero) {
    const QuitCase cases[] = {
        {"Escape", KeyDown(Vk::Escape)},
        {"close", Message{Msg::Close, 0, 0}},
        {"destroy", Message{Msg::Destroy, 0, 0}},
        {"Alt+F4", KeyDown(Vk::F4, true)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedClock clock;
        ScriptedSource source;
        ScriptedTarget target;
        source.batches = {{}, {}, {c.message}};
        StartFrameClock(clock);
        EXPECT_EQ(RunMessageLoop(target, clock, &source), 0);
        EXPECT_GE(target.deltas.size(), 1u);
    }
}

// The end of the loop is announced once, after the last frame, with WM_QUIT's code: in a browser it
// is the only sign the program gets.
TEST(FrameLoop, AfterLoopRunsOnceWithTheQuitCode) {
    ScriptedClock clock;
    ScriptedSource source;
    ScriptedTarget target;
    target.onFrame = [](int frame) {
        if (frame == 3) PostQuitMessage(7);
    };
    std::vector<int> codes;
    size_t framesAtEnd = 0;
    StartFrameClock(clock);
    EXPECT_EQ(RunMessageLoop(target, clock, &source, {}, [&](int code) {
        codes.push_back(code);
        framesAtEnd = target.deltas.size();
    }), 7);
    EXPECT_EQ(codes, std::vector<int>{7});
    EXPECT_EQ(framesAtEnd, 3u);
}

TEST(FrameLoop, OtherInputChangesNothing) {
    ScriptedClock clock;
    ScriptedSource source;
    ScriptedTarget target;
    source.batches = {{KeyDown('A'), KeyDown(Vk::F4), Message{Msg::Char, 'x', 0}, Message{Msg::MouseMove, 0, 5},
                       Message{Msg::Command, 1, 0}, KeyDown('Q', true), Message{Msg::KeyUp, Vk::Escape, 0}}};
    target.onFrame = [](int frame) {
        if (frame == 10) PostQuitMessage(0);
    };
    StartFrameClock(clock);
    EXPECT_EQ(RunMessageLoop(target, clock, &source), 0);
    EXPECT_EQ(target.deltas.size(), 10u) << "only the scripted quit ends the loop";
    EXPECT_TRUE(target.boxes.empty());
}

TEST(FrameLoop, PendingMessagesAreDrainedBeforeAFrame) {
    ScriptedClock clock;
    ScriptedSource source;
    ScriptedTarget target;
    for (int burst = 0; burst < 5; ++burst)
        source.batches.push_back({Message{Msg::MouseMove, 0, burst}, Message{Msg::Char, 'a', 0}, KeyDown('B')});
    target.onFrame = [](int frame) {
        if (frame == 8) PostQuitMessage(0);
    };
    StartFrameClock(clock);
    RunMessageLoop(target, clock, &source);
    EXPECT_EQ(target.framesWithPendingMessages, 0);
}

TEST(FrameLoop, LostDeviceDrawsNothingThenOneFrameCarriesTheLostTime) {
    ScriptedClock clock;
    ScriptedSource source;
    ScriptedTarget target;
    const int64_t lostFrom = 50'000, lostUntil = 3'050'000;  // three seconds lost after a few frames
    bool reported = false;
    target.cooperative = [&] {
        if (clock.now >= lostFrom && clock.now < lostUntil) return Result::DeviceLost;
        if (clock.now >= lostUntil && !reported) {
            reported = true;
            return Result::DeviceNotReset;
        }
        return Result::Ok;
    };
    size_t framesBeforeLoss = 0;
    target.onFrame = [&](int frame) {
        if (clock.now <= lostFrom) framesBeforeLoss = size_t(frame);  // drawn before the loss was seen
        if (frame == int(framesBeforeLoss) + 3) PostQuitMessage(0);
    };
    StartFrameClock(clock);
    RunMessageLoop(target, clock, &source);
    ASSERT_EQ(target.deltas.size(), framesBeforeLoss + 3);
    EXPECT_EQ(target.resets, 1);
    EXPECT_GE(clock.sleeps, 145) << "20 ms sleeps through three seconds";
    EXPECT_NEAR(target.deltas[framesBeforeLoss], 3.0f, 0.05f) << "the first frame after the loss";
    EXPECT_NEAR(target.deltas[framesBeforeLoss + 1], 0.01f, 1e-4f);
}

TEST(FrameLoop, DriverInternalErrorShowsTheBoxAndQuitsWithZero) {
    ScriptedClock clock;
    ScriptedSource source;
    ScriptedTarget target;
    target.cooperative = [] { return Result::DriverInternalError; };
    StartFrameClock(clock);
    EXPECT_EQ(RunMessageLoop(target, clock, &source), 0);
    ASSERT_EQ(target.boxes.size(), 1u);
    EXPECT_EQ(target.boxes[0], "Internal Driver Error...Exiting");
    EXPECT_TRUE(target.deltas.empty());
}

TEST(FrameLoop, FirstFrameDeltaRunsFromTheClockStart) {
    ScriptedClock clock;
    ScriptedSource source;
    ScriptedTarget target;
    target.onFrame = [](int) { PostQuitMessage(0); };
    StartFrameClock(clock);
    RunMessageLoop(target, clock, &source);
    ASSERT_EQ(target.deltas.size(), 1u);
    EXPECT_FLOAT_EQ(target.deltas[0], 0.01f);
}

// A page calls one turn per animation frame: each turn drains what came in, then draws once (or,
// while the device is lost, only sleeps); after the quit every turn says stop.
TEST(FrameLoop, OneTurnDrainsTheMessagesThenDrawsOneFrame) {
    ScriptedClock clock;
    ScriptedSource source;
    ScriptedTarget target;
    source.batches = {{Message{Msg::MouseMove, 0, 1}, Message{Msg::Char, 'a', 0}, KeyDown('B')}};
    bool lost = false;
    target.cooperative = [&] { return lost ? Result::DeviceLost : Result::Ok; };
    StartFrameClock(clock);
    MessageLoop loop(target, clock, &source);

    EXPECT_TRUE(loop.Step());
    EXPECT_EQ(target.deltas.size(), 1u);
    EXPECT_EQ(target.framesWithPendingMessages, 0);
    Message pending;
    EXPECT_FALSE(ThreadMessageQueue().PeekMessage(&pending, nullptr, false));

    lost = true;
    EXPECT_TRUE(loop.Step());
    EXPECT_EQ(target.deltas.size(), 1u) << "a lost device draws nothing";
    EXPECT_EQ(clock.sleeps, 1);

    lost = false;
    EXPECT_TRUE(loop.Step());
    ASSERT_EQ(target.deltas.size(), 2u);
    EXPECT_NEAR(target.deltas[1], 0.03f, 1e-4f) << "the frame after the loss carries the sleep";

    PostQuitMessage(3);
    EXPECT_FALSE(loop.Step());
    EXPECT_FALSE(loop.Step());
    EXPECT_EQ(loop.ExitCode(), 3);
    EXPECT_EQ(target.deltas.size(), 2u);
}

}  // namespace
}  // namespace velor::demo
