#pragma once
// The application shell's process-wide state: the window, the device and its parameters, the input
// devices and what they last read, and the frame clock.
#include <cstdint>
#include <functional>
#include <memory>

#include "engine/gfx/device.h"
#include "engine/input/direct_input.h"
#include "engine/os/clock.h"
#include "engine/os/messages.h"
#include "engine/os/window.h"

namespace velor::demo {

struct ShellState {
    std::unique_ptr<Window> mainWindow;
    float frameDelta = 0;      // seconds between this frame and the previous one
    int64_t frameClock = 0;    // performance-counter value at the previous rendered frame
    float counterPeriod = 0;   // seconds per counter tick
    // The viewer's hold on the picture (pause): the loop draws no frame and reads no clock.
    bool holdFrames = false;
    // The viewer's keys: every key the window procedure does not act on itself (Escape), and
    // Alt+Enter; empty for the programs that have no viewer.
    std::function<void(const Message&)> viewerKey;

    std::shared_ptr<Direct3D> direct3d;
    std::shared_ptr<Device> device;
    PresentParameters presentParameters;

    std::shared_ptr<DirectInput> directInput;
    std::shared_ptr<InputDevice> keyboardDevice;
    std::shared_ptr<InputDevice> mouseDevice;
    uint8_t keyState[kKeyStateSize] = {};
    MouseState mouseState;
};

extern ShellState gShell;

// The one device every part of the demo draws with; null before it is made and after it is released.
inline Device* CurrentDevice() { return gShell.device.get(); }

}  // namespace velor::demo
