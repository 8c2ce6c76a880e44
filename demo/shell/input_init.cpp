#include "demo/shell/input_init.h"

#include "demo/shell/shell_state.h"

namespace velor::demo {

void InitInput() {
    DirectInput8Create(0x0800, &gShell.directInput);
    if (gShell.directInput == nullptr) return;
    gShell.directInput->CreateDevice(InputDeviceKind::SysKeyboard, &gShell.keyboardDevice);
    gShell.directInput->CreateDevice(InputDeviceKind::SysMouse, &gShell.mouseDevice);
    gShell.keyboardDevice->SetDataFormat(DataFormat::Keyboard);
    gShell.mouseDevice->SetDataFormat(DataFormat::Mouse);
    gShell.mouseDevice->SetCooperativeLevel(gShell.mainWindow.get(), Discl::Exclusive | Discl::Foreground);
    gShell.keyboardDevice->SetCooperativeLevel(gShell.mainWindow.get(), Discl::NonExclusive | Discl::Background);
}

void ReadInput() {
    if (gShell.keyboardDevice == nullptr || gShell.mouseDevice == nullptr) return;
    gShell.keyboardDevice->Acquire();
    gShell.mouseDevice->Acquire();
    gShell.keyboardDevice->GetDeviceState(kKeyStateSize, gShell.keyState);
    gShell.mouseDevice->GetDeviceState(sizeof(MouseState), &gShell.mouseState);
}

}  // namespace velor::demo
