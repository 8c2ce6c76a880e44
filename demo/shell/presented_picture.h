#pragma once
// The picture the presenter shows, read back in real pixels: what a screenshot holds.
#include <cstdint>
#include <vector>

#include "engine/gfx/device.h"

namespace velor::demo {

struct PresentedPicture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;  // 0xAARRGGBB, top row first
};

PresentedPicture ReadPresentedPicture(Device& device);

}  // namespace velor::demo
