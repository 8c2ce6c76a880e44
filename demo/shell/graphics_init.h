#pragma once

namespace velor::demo {

// Creates the Direct3D object and the full-screen device on the main window. A missing capability
// leaves the device missing; a target that cannot blend A16B16G16R16F also posts the quit message.
void InitGraphics();

}  // namespace velor::demo
