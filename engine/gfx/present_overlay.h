#pragma once
// A picture the presenter draws over the window after the framed back buffer is scaled into it: the
// player's information line. It lives on the window only, so read-backs, captures and screenshots,
// which read the back buffer, never hold it. Drawn opaque at the window's top-left corner in the
// window's real pixels, unscaled, so text rasterised for those pixels stays crisp.
#include <cstdint>
#include <vector>

namespace velor {

class Device;

struct OverlayImage {
    uint32_t width = 0, height = 0;
    std::vector<uint32_t> pixels;  // 0xAARRGGBB, top row first
};

// An empty image takes the overlay away. Shown from the next Present on; Present again to show it
// over a frame that is not redrawn.
void SetPresentOverlay(Device& device, OverlayImage image);
bool HasPresentOverlay(const Device& device);

}  // namespace velor
