#include "engine/input/direct_input.h"

#include <SDL.h>

#include <cstring>

namespace velor {

uint8_t DikFromScancode(int sc) {
    // Letters and digits follow the PC keyboard's scan-code rows, which DIK_ codes are.
    static constexpr uint8_t kLetters[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,
                                             0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
    if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) return kLetters[sc - SDL_SCANCODE_A];
    if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9) return uint8_t(0x02 + (sc - SDL_SCANCODE_1));
    if (sc == SDL_SCANCODE_0) return 0x0B;
    if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F10) return uint8_t(0x3B + (sc - SDL_SCANCODE_F1));
    switch (sc) {
    case SDL_SCANCODE_ESCAPE: return 0x01;
    case SDL_SCANCODE_MINUS: return 0x0C;
    case SDL_SCANCODE_EQUALS: return 0x0D;
    case SDL_SCANCODE_BACKSPACE: return 0x0E;
    case SDL_SCANCODE_TAB: return 0x0F;
    case SDL_SCANCODE_RETURN: return 0x1C;
    case SDL_SCANCODE_LCTRL: return 0x1D;
    case SDL_SCANCODE_LSHIFT: return 0x2A;
    case SDL_SCANCODE_RSHIFT: return 0x36;
    case SDL_SCANCODE_LALT: return 0x38;
    case SDL_SCANCODE_SPACE: return 0x39;
    case SDL_SCANCODE_F11: return 0x57;
    case SDL_SCANCODE_F12: return 0x58;
    case SDL_SCANCODE_RCTRL: return 0x9D;
    case SDL_SCANCODE_RALT: return 0xB8;
    case SDL_SCANCODE_HOME: return 0xC7;
    case SDL_SCANCODE_UP: return 0xC8;
    case SDL_SCANCODE_PAGEUP: return 0xC9;
    case SDL_SCANCODE_LEFT: return 0xCB;
    case SDL_SCANCODE_RIGHT: return 0xCD;
    case SDL_SCANCODE_END: return 0xCF;
    case SDL_SCANCODE_DOWN: return 0xD0;
    case SDL_SCANCODE_PAGEDOWN: return 0xD1;
    case SDL_SCANCODE_INSERT: return 0xD2;
    case SDL_SCANCODE_DELETE: return 0xD3;
    default: return 0;
    }
}

Result InputDevice::SetDataFormat(DataFormat format) {
    bool matches = (format == DataFormat::Keyboard) == (kind_ == InputDeviceKind::SysKeyboard);
    if (!matches) return Result::InvalidCall;
    formatSet_ = true;
    return Result::Ok;
}

Result InputDevice::SetCooperativeLevel(Window* window, uint32_t flags) {
    window_ = window;
    cooperative_ = flags;
    return Result::Ok;
}

Result InputDevice::Acquire() {
    if (!formatSet_ || SDL_WasInit(SDL_INIT_VIDEO) == 0) return Result::Fail;
    acquired_ = true;
    return Result::Ok;
}

Result InputDevice::GetDeviceState(uint32_t size, void* data) {
    if (!acquired_ || data == nullptr) return Result::Fail;
    if (kind_ == InputDeviceKind::SysKeyboard) {
        if (size != kKeyStateSize) return Result::InvalidCall;
        uint8_t state[kKeyStateSize] = {};
        int count = 0;
        const uint8_t* keys = SDL_GetKeyboardState(&count);
        for (int sc = 0; sc < count; ++sc) {
            uint8_t dik = keys[sc] ? DikFromScancode(sc) : 0;
            if (dik != 0) state[dik] = 0x80;
        }
        std::memcpy(data, state, sizeof state);
        return Result::Ok;
    }
    if (size != sizeof(MouseState)) return Result::InvalidCall;
    MouseState state;
    int dx = 0, dy = 0;
    uint32_t buttons = SDL_GetRelativeMouseState(&dx, &dy);
    state.x = dx;
    state.y = dy;
    for (int b = 0; b < 3; ++b) state.buttons[b] = (buttons & SDL_BUTTON(b + 1)) ? 0x80 : 0;
    std::memcpy(data, &state, sizeof state);
    return Result::Ok;
}

Result DirectInput::CreateDevice(InputDeviceKind kind, std::shared_ptr<InputDevice>* device) {
    if (device == nullptr) return Result::InvalidCall;
    *device = std::make_shared<InputDevice>(kind, nullptr);
    return Result::Ok;
}

Result DirectInput8Create(uint32_t version, std::shared_ptr<DirectInput>* out) {
    if (out == nullptr || version < 0x0800) return Result::InvalidCall;
    *out = std::make_shared<DirectInput>();
    return Result::Ok;
}

}  // namespace velor
