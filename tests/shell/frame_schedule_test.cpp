// The frame schedule without the demo: the loop's clock readings and the schedule's reckoning of
// each frame, for every front end that asks for frames.
#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <string>
#include <vector>

#include "demo/shell/frame_schedule.h"
#include "tools/capture/capture_options.h"

namespace velor::demo {
namespace {

constexpr double kStep = 1.0 / 60.0;

// A counter in microseconds that the test moves by hand.
class ManualClock final : public FrameClock {
public:
    int64_t QueryPerformanceCounter() override { return now; }
    int64_t QueryPerformanceFrequency() override { return frequency; }
    void Sleep(uint32_t ms) override { now += int64_t(ms) * frequency / 1000; }
    int64_t now = 5'000'000'000;  // far from 0, as a real counter is
    int64_t frequency = 1'000'000;
};

struct Played {
    std::vector<ScheduledFrame> frames;
    std::vector<bool> foretold;  // DrawsNext before each frame
};

// Plays the schedule as the frame loop does (one clock reading to start, one per frame) for at most
// `limit` frames, or until it ends; `beforeFrame` runs before each reading.
template <typename BeforeFrame>
Played Play(FrameSchedule& schedule, long limit, BeforeFrame beforeFrame) {
    Played played;
    schedule.Clock().QueryPerformanceCounter();
    while (!schedule.Ended() && long(played.frames.size()) < limit) {
        played.foretold.push_back(schedule.DrawsNext());
        beforeFrame();
        schedule.Clock().QueryPerformanceCounter();
        played.frames.push_back(schedule.FinishFrame());
    }
    return played;
}
Played Play(FrameSchedule& schedule, long limit) {
    return Play(schedule, limit, [] {});
}

// The frames up to and including the first drawn one.
std::vector<ScheduledFrame> UpToFirstDrawn(const Played& played) {
    std::vector<ScheduledFrame> frames;
    for (const ScheduledFrame& frame : played.frames) {
        frames.push_back(frame);
        if (frame.drawn) break;
    }
    return frames;
}

void ExpectSameFrames(const std::vector<ScheduledFrame>& a, const std::vector<ScheduledFrame>& b) {
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(a[i].number, b[i].number);
        EXPECT_EQ(a[i].delta, b[i].delta);
        EXPECT_EQ(a[i].time, b[i].time);
        EXPECT_EQ(a[i].drawn, b[i].drawn);
    }
}

const double kTimes[] = {0, 0.001, kStep, 3, 19.4, 24.5, 25, 31.99, 45, 65, 85, 105, 119.99};

TEST(FrameSchedule, EveryFrontEndPlaysTheSameFramesUpToTheFrameAtT) {
    for (double t : kTimes) {
        SCOPED_TRACE(t);
        // The capture tool's --at T and the page's ?at=T.
        FrameSchedule stills = FrameSchedule::AtTimes({t}, kStep);
        const std::vector<ScheduledFrame> reference = UpToFirstDrawn(Play(stills, 10000));
        ASSERT_FALSE(reference.empty());
        const ScheduledFrame& at = reference.back();
        ASSERT_TRUE(at.drawn);
        EXPECT_GE(double(at.time), t - FrameSchedule::kTimeTolerance);
        if (reference.size() > 1) {
            EXPECT_LT(double(reference[reference.size() - 2].time), t - FrameSchedule::kTimeTolerance);
        }

        // The player's --from T on a fixed step, and with a real clock (which only runs after it).
        FrameSchedule player = FrameSchedule::From(t, kStep);
        ExpectSameFrames(UpToFirstDrawn(Play(player, 10000)), reference);
        if (t > 0) {
            ManualClock real;
            FrameSchedule playerOnRealClock = FrameSchedule::From(t, kStep, &real);
            ExpectSameFrames(UpToFirstDrawn(Play(playerOnRealClock, 10000, [&] { real.now += 123'456; })), reference);
        }
        // The bench's window sample at T.
        FrameSchedule bench = FrameSchedule::Stretches({t}, 15, kStep);
        ExpectSameFrames(UpToFirstDrawn(Play(bench, 10000)), reference);
    }
}

// The demo sums its deltas in single precision, so frame n is not at n * step: the frame at T is
// chosen by the summed time, as the capture tool has always chosen its stills.
TEST(FrameSchedule, TheFrameAtTIsTheFirstWhoseSummedTimeReachesIt) {
    struct Case {
        double time;
        long frame;
    };
    const Case cases[] = {
        {3, 181},   // 180 steps sum to 2.9999974 s
        {25, 1501}, {45, 2701}, {65, 3901},
        {85, 5100},  // by then the sum runs ahead: 85.0036774 s
        {105, 6300},
    };
    for (const Case& c : cases) {
        FrameSchedule schedule = FrameSchedule::AtTimes({c.time}, kStep);
        const Played played = Play(schedule, 10000);
        ASSERT_FALSE(played.frames.empty());
        EXPECT_EQ(played.frames.back().number, c.frame) << c.time;
        EXPECT_TRUE(played.frames.back().drawn);
    }
}

TEST(FrameSchedule, DrawsNextForetellsEachFrameOnAFixedStep) {
    std::vector<FrameSchedule> schedules;
    schedules.push_back(FrameSchedule::AtTimes({0.5, 0.51, 1.0, 2.25}, kStep));
    schedules.push_back(FrameSchedule::AtTimes({0.5, 1.75}, 0.25));
    schedules.push_back(FrameSchedule::Stretches({0.2, 1.0}, 5, kStep));
    schedules.push_back(FrameSchedule::Frames(31, 20, 1.0 / 30));
    schedules.push_back(FrameSchedule::From(1.0, kStep));
    for (FrameSchedule& schedule : schedules) {
        const Played played = Play(schedule, 300);
        int drawn = 0;
        for (size_t i = 0; i < played.frames.size(); ++i) {
            EXPECT_EQ(played.foretold[i], played.frames[i].drawn) << "frame " << played.frames[i].number;
            drawn += played.frames[i].drawn;
        }
        EXPECT_GT(drawn, 0);
    }
}

TEST(FrameSchedule, TimesThatOneFrameReachesAreAllServedByIt) {
    // At 1/60 s, frame 181 is at 3.0166640 s: the first three times reach it, the fourth the next.
    FrameSchedule schedule = FrameSchedule::AtTimes({3, 3.001, 3.0166, 3.02}, kStep);
    const Played played = Play(schedule, 10000);
    std::vector<ScheduledFrame> drawn;
    for (const ScheduledFrame& frame : played.frames)
        if (frame.drawn) drawn.push_back(frame);
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[0].number, 181);
    EXPECT_EQ(drawn[0].span, 2u);
    EXPECT_EQ(drawn[0].spansBegun, 3u);
    EXPECT_EQ(drawn[1].number, 182);
    EXPECT_EQ(drawn[1].span, 3u);
    EXPECT_EQ(drawn[1].spansBegun, 1u);
    EXPECT_TRUE(schedule.Ended());
    EXPECT_EQ(played.frames.size(), 182u);  // nothing after the last
}

TEST(FrameSchedule, StretchesRunTheirCountOfFramesInTurn) {
    FrameSchedule schedule = FrameSchedule::Stretches({1.0, 2.0}, 15, kStep);
    const Played played = Play(schedule, 10000);
    std::vector<ScheduledFrame> drawn;
    for (const ScheduledFrame& frame : played.frames)
        if (frame.drawn) drawn.push_back(frame);
    ASSERT_EQ(drawn.size(), 30u);
    for (size_t i = 0; i < drawn.size(); ++i) {
        EXPECT_EQ(drawn[i].span, i / 15);
        EXPECT_EQ(drawn[i].ofSpan, long(i % 15));
        if (i > 0 && i != 15) {
            EXPECT_EQ(drawn[i].number, drawn[i - 1].number + 1);
        }
    }
    EXPECT_GE(double(drawn[0].time), 1.0 - FrameSchedule::kTimeTolerance);
    EXPECT_LT(double(drawn[0].time - drawn[0].delta), 1.0 - FrameSchedule::kTimeTolerance);
    EXPECT_GE(double(drawn[15].time), 2.0 - FrameSchedule::kTimeTolerance);
    EXPECT_TRUE(drawn[0].firstDrawn);
    EXPECT_FALSE(drawn[15].firstDrawn);
}

// A video from A to B holds exactly the frames a whole run's video has between A and B: numbered
// from demo time 0, not from A, so videos of consecutive stretches join into the whole.
TEST(FrameSchedule, AVideoOfAStretchIsThatStretchOfAWholeRun) {
    const int fps = 30;
    capture::CaptureOptions whole;
    whole.fps = fps;
    whole.from = 0;
    whole.to = 40;
    const capture::VideoFrames all = capture::VideoFrameRange(whole);
    FrameSchedule wholeRun = FrameSchedule::Frames(all.first, all.count, 1.0 / fps);
    const Played wholePlayed = Play(wholeRun, all.count + 1);
    ASSERT_EQ(long(wholePlayed.frames.size()), all.count);

    const double cuts[] = {0, 7.5, 19.41, 24.99, 32.0, 40};
    std::vector<ScheduledFrame> joined;
    for (size_t i = 0; i + 1 < std::size(cuts); ++i) {
        capture::CaptureOptions part = whole;
        part.from = cuts[i];
        part.to = cuts[i + 1];
        const capture::VideoFrames range = capture::VideoFrameRange(part);
        FrameSchedule schedule = FrameSchedule::Frames(range.first, range.count, 1.0 / fps);
        for (const ScheduledFrame& frame : Play(schedule, all.count + 1).frames)
            if (frame.drawn) joined.push_back(frame);
        EXPECT_TRUE(schedule.Ended());
    }
    ExpectSameFrames(joined, wholePlayed.frames);
}

TEST(FrameSchedule, APlayerHandsOverToTheRealClockAfterTheFrameAtT) {
    ManualClock real;
    FrameSchedule schedule = FrameSchedule::From(0.5, 0.1, &real);
    // What starts at the hand-over (the music, which waits for its first samples) takes 250 ms; the
    // real time after it starts there, so no frame carries the wait.
    std::vector<float> handOvers;
    schedule.AtHandOver([&](const ScheduledFrame& frame) {
        handOvers.push_back(frame.time);
        real.now += 250'000;
    });
    const Played played = Play(schedule, 9, [&] { real.now += 40'000; });  // 40 ms a frame, really
    ASSERT_EQ(handOvers.size(), 1u);
    EXPECT_FLOAT_EQ(handOvers[0], played.frames[4].time);
    ASSERT_EQ(played.frames.size(), 9u);
    // Frames 1 to 5 on the 0.1 s step (the fifth is the frame at 0.5 s, the first drawn), then 40 ms each.
    for (int i = 0; i < 9; ++i) {
        SCOPED_TRACE(i);
        EXPECT_FLOAT_EQ(played.frames[size_t(i)].delta, i < 5 ? 0.1f : 0.04f);
        EXPECT_EQ(played.frames[size_t(i)].drawn, i >= 4);
    }
    EXPECT_TRUE(played.frames[4].firstDrawn);
    EXPECT_FALSE(schedule.Clock().Stepping());
    EXPECT_FALSE(schedule.Ended());

    // From 0 there is nothing to catch up with: the real clock from the first frame.
    ManualClock real0;
    FrameSchedule fromStart = FrameSchedule::From(0, kStep, &real0);
    const Played played0 = Play(fromStart, 2, [&] { real0.now += 25'000; });
    EXPECT_FLOAT_EQ(played0.frames[0].delta, 0.025f);
    EXPECT_TRUE(played0.frames[0].drawn);
}

TEST(FrameSchedule, ASeekReplaysOnStepsToItsFrameThenHandsOverAgain) {
    struct Case {
        const char* name;
        double target;
        bool fromStart;
    };
    // After 0.5 s on the 0.1 s step and 3 real frames of 40 ms (0.62 s in all).
    for (const Case& c : {Case{"back", 0.3, true}, Case{"home", 0, true}, Case{"forward", 1.0, false}}) {
        SCOPED_TRACE(c.name);
        ManualClock real;
        FrameSchedule schedule = FrameSchedule::From(0.5, 0.1, &real);
        std::vector<ScheduledFrame> handOvers;
        schedule.AtHandOver([&](const ScheduledFrame& frame) { handOvers.push_back(frame); });
        const Played before = Play(schedule, 8, [&] { real.now += 40'000; });
        ASSERT_FALSE(schedule.Clock().Stepping());

        schedule.SeekTo(c.target, c.fromStart);
        EXPECT_TRUE(schedule.Clock().Stepping());
        const Played after = Play(schedule, 20, [&] { real.now += 40'000; });
        // The same frames a run from 0 (or from where it was) on the step makes, up to the target.
        FrameSchedule fresh = FrameSchedule::AtTimes({c.target}, 0.1);
        const std::vector<ScheduledFrame> landing = UpToFirstDrawn(after);
        ASSERT_FALSE(landing.empty());
        ASSERT_TRUE(landing.back().drawn) << "the seek never drew its frame";
        EXPECT_GE(double(landing.back().time), c.target - 1e-6);
        EXPECT_LT(double(landing.back().time), c.target + 0.1);
        for (const ScheduledFrame& frame : landing) EXPECT_FLOAT_EQ(frame.delta, 0.1f) << frame.number;
        if (c.fromStart) {
            ExpectSameFrames(landing, UpToFirstDrawn(Play(fresh, 20)));
        } else {
            EXPECT_EQ(landing.front().number, before.frames.back().number + 1);
            EXPECT_FLOAT_EQ(landing.front().time, before.frames.back().time + 0.1f);
        }
        // The music moves to the landing frame, and the real clock takes over from it.
        ASSERT_EQ(handOvers.size(), 2u);
        EXPECT_EQ(handOvers[1].number, landing.back().number);
        EXPECT_FALSE(schedule.Clock().Stepping());
        EXPECT_FLOAT_EQ(after.frames[landing.size()].delta, 0.04f);
        EXPECT_TRUE(after.frames[landing.size()].drawn);
    }
}

TEST(ScheduleClock, APauseAfterTheHandOverNeverReachesAReading) {
    ManualClock real;
    ScheduleClock clock(0.02, &real);
    clock.QueryPerformanceCounter();
    clock.HandOver();
    real.now += 10'000;
    EXPECT_EQ(clock.QueryPerformanceCounter(), 10'000'000);
    clock.Pause();
    real.now += 3'000'000;  // three seconds paused
    clock.Resume();
    real.now += 16'000;
    EXPECT_EQ(clock.QueryPerformanceCounter(), 26'000'000);

    // Paused while a seek still steps: only the time after its hand-over is held back.
    clock.Pause();
    clock.Restep();
    real.now += 500'000;
    EXPECT_EQ(clock.QueryPerformanceCounter(), 46'000'000);  // the step, whatever the real time
    clock.HandOver();
    real.now += 2'000'000;
    clock.Resume();
    real.now += 5'000;
    EXPECT_EQ(clock.QueryPerformanceCounter(), 51'000'000);
}

TEST(ScheduleClock, StepsInNanosecondsThenFollowsTheRealClockWithoutAJump) {
    ManualClock real;
    ScheduleClock clock(0.02, &real);
    EXPECT_EQ(clock.QueryPerformanceFrequency(), 1'000'000'000);
    EXPECT_EQ(clock.QueryPerformanceCounter(), 0);  // the frame clock's start
    real.now += 3'000'000;                           // however long a stepped frame really takes
    EXPECT_EQ(clock.QueryPerformanceCounter(), 20'000'000);
    EXPECT_EQ(clock.QueryPerformanceCounter(), 40'000'000);
    EXPECT_EQ(clock.LastTicks(), 20'000'000);

    clock.HandOver();
    EXPECT_FALSE(clock.Stepping());
    real.now += 16'000;
    // The first real frame sees only the real time since the hand-over.
    EXPECT_EQ(clock.QueryPerformanceCounter(), 56'000'000);
    real.now += 10'000;
    EXPECT_EQ(clock.QueryPerformanceCounter(), 66'000'000);
    EXPECT_EQ(clock.LastTicks(), 10'000'000);
}

TEST(ScheduleClock, StepsAsTheFixedStepClockDoes) {
    for (double step : {1.0 / 60, 1.0 / 24, 0.5, 1.0 / 7}) {
        ScheduleClock clock(step);
        FixedStepClock fixed(step);
        for (int i = 0; i < 5; ++i) EXPECT_EQ(clock.QueryPerformanceCounter(), fixed.QueryPerformanceCounter()) << step;
        clock.HandOver();  // without a real clock it keeps stepping
        EXPECT_TRUE(clock.Stepping());
        EXPECT_EQ(clock.QueryPerformanceCounter(), fixed.QueryPerformanceCounter()) << step;
    }
}

TEST(ScheduleClock, ASleepWhileSteppingCountsAsItsLength) {
    ManualClock real;
    ScheduleClock clock(0.02, &real);
    clock.QueryPerformanceCounter();
    clock.Sleep(20);  // the loop's wait on a lost device
    EXPECT_EQ(clock.QueryPerformanceCounter(), 40'000'000);
}

TEST(ScheduleClock, AMillisecondCounterIsCountedInNanoseconds) {
    ManualClock real;  // a browser's counter
    real.frequency = 1000;
    real.now = 7'000'000;
    ScheduleClock clock(0.02, &real);
    clock.QueryPerformanceCounter();
    clock.HandOver();
    real.now += 17;
    EXPECT_EQ(clock.QueryPerformanceCounter(), 17'000'000);
    real.now += 2'000'003;  // over half an hour later
    EXPECT_EQ(clock.QueryPerformanceCounter(), 2'000'020'000'000);
}

}  // namespace
}  // namespace velor::demo
