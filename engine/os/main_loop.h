#pragma once
// The program's main loop as a step called once per turn. Natively the turns follow each other in
// a plain loop; in a browser the page's animation frames drive them, since a page must hand control
// back to the browser between frames.
#include <functional>

namespace velor {

// Calls `step` until it returns false, then `finished` (when given).
// Natively this returns after `finished`. In a browser it does not return at all: the call leaves
// its caller's stack as it is (objects there stay alive for the steps) and the browser calls `step`
// once per animation frame; `finished` is where the program's tidying up after the loop goes.
void RunMainLoop(std::function<bool()> step, std::function<void()> finished = {});

}  // namespace velor
