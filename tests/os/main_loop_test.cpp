// The native main loop: steps until one says stop, then the finishing call, once, after the last step.
#include <gtest/gtest.h>

#include <string>

#include "engine/os/main_loop.h"

namespace velor {
namespace {

TEST(MainLoop, StepsUntilOneReturnsFalseThenFinishes) {
    std::string calls;
    int steps = 0;
    RunMainLoop(
        [&] {
            calls += 's';
            return ++steps < 3;
        },
        [&] { calls += 'f'; });
    EXPECT_EQ(calls, "sssf");
}

}  // namespace
}  // namespace velor
