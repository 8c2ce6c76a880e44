#include "demo/shell/presented_picture.h"

#include "engine/gfx/device_controls.h"
#include "engine/gfx/pixel_scale.h"

namespace velor::demo {

// The presenter shows the whole back buffer.
PresentedPicture ReadPresentedPicture(Device& device) {
    PresentedPicture picture;
    const float scale = PixelScale(device);
    picture.width = int(ScaledLength(kBackBufferWidth, scale));
    picture.height = int(ScaledLength(kBackBufferHeight, scale));
    picture.pixels = ReadBackBuffer(device);
    return picture;
}

}  // namespace velor::demo
