#pragma once
#include "engine/gfx/present_frame.h"

namespace velor::demo {

// Creates the Direct3D object and the full-screen device on the main window. A missing capability
// leaves the device missing; a target that cannot blend A16B16G16R16F also posts the quit message.
// `pixelScale` is the device's resolution scale (engine/gfx/pixel_scale.h; 0: the largest that fits
// the framed picture in the window's drawable, in real pixels); `vsync` makes Present wait for the
// vertical retrace; `frame` is what of the back buffer Present shows.
void InitGraphics(float pixelScale = 1.0f, bool vsync = false, PresentFrame frame = PresentFrame::Whole);

}  // namespace velor::demo
