#pragma once
// DirectInput 8's keyboard and mouse, polled: the keyboard's 256-byte state indexed by DIK_ scan
// codes (0x80 when down) and DIMOUSESTATE (relative motion since the last read, four buttons).
#include <cstdint>
#include <memory>

#include "engine/base/result.h"

namespace velor {

class Window;

enum class InputDeviceKind { SysKeyboard, SysMouse };  // GUID_SysKeyboard, GUID_SysMouse
enum class DataFormat { Keyboard, Mouse };              // c_dfDIKeyboard, c_dfDIMouse

namespace Discl {
constexpr uint32_t Exclusive = 1, NonExclusive = 2, Foreground = 4, Background = 8;
}

struct MouseState {  // DIMOUSESTATE, 16 bytes
    int32_t x = 0, y = 0, z = 0;
    uint8_t buttons[4] = {};
};
static_assert(sizeof(MouseState) == 16);

constexpr uint32_t kKeyStateSize = 256;

// DIK_ codes of the keys tests and tools look at.
namespace Dik {
constexpr uint8_t Escape = 0x01, Space = 0x39, Return = 0x1C, A = 0x1E, F4 = 0x3E, Left = 0xCB, Right = 0xCD;
}

class InputDevice {
public:
    InputDevice(InputDeviceKind kind, Window* window) : kind_(kind), window_(window) {}
    Result SetDataFormat(DataFormat format);
    Result SetCooperativeLevel(Window* window, uint32_t flags);
    Result Acquire();
    // Fills `size` bytes: 256 for the keyboard, 16 for the mouse. NotAcquired-like failure otherwise.
    Result GetDeviceState(uint32_t size, void* data);

private:
    InputDeviceKind kind_;
    Window* window_;
    bool formatSet_ = false;
    bool acquired_ = false;
    uint32_t cooperative_ = 0;
};

class DirectInput {
public:
    Result CreateDevice(InputDeviceKind kind, std::shared_ptr<InputDevice>* device);
};

// DirectInput8Create(instance, 0x0800, IID_IDirectInput8A, ...).
Result DirectInput8Create(uint32_t version, std::shared_ptr<DirectInput>* out);

// The DIK_ code for an SDL scancode (0 when the key has none); exposed for tests.
uint8_t DikFromScancode(int scancode);

}  // namespace velor
