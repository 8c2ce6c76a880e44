#pragma once
// Supersampling's last step: a frame rendered `factor` times larger each way, averaged down so that
// each output pixel is the mean of its factor x factor block (per channel, rounded).
#include <cstdint>
#include <vector>

namespace velor::capture {

// `pixels` are width x height 0xAARRGGBB words, top row first; width and height are multiples of
// `factor`. Factor 1 returns the pixels as they are.
std::vector<uint32_t> AverageDown(std::vector<uint32_t> pixels, uint32_t width, uint32_t height, int factor);

}  // namespace velor::capture
