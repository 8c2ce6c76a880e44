#include "engine/os/main_loop.h"

#include <utility>

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

namespace velor {

#ifdef __EMSCRIPTEN__

namespace {

std::function<bool()> gStep;
std::function<void()> gFinished;

void OneFrame() {
    if (gStep()) return;
    emscripten_cancel_main_loop();
    std::function<void()> finished = std::move(gFinished);
    gStep = nullptr;
    if (finished) finished();
}

}  // namespace

void RunMainLoop(std::function<bool()> step, std::function<void()> finished) {
    gStep = std::move(step);
    gFinished = std::move(finished);
    // 0 frames per second: the browser's animation frames set the pace.
    emscripten_set_main_loop(&OneFrame, 0, 1);
}

#else

void RunMainLoop(std::function<bool()> step, std::function<void()> finished) {
    while (step()) {
    }
    if (finished) finished();
}

#endif

}  // namespace velor
