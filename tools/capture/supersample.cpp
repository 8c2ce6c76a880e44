#include "tools/capture/supersample.h"

#include <algorithm>
#include <cstddef>

namespace velor::capture {

std::vector<uint32_t> AverageDown(std::vector<uint32_t> pixels, uint32_t width, uint32_t height, int factor) {
    if (factor <= 1) return pixels;
    const uint32_t n = uint32_t(factor), outWidth = width / n, outHeight = height / n, count = n * n;
    std::vector<uint32_t> out(std::size_t(outWidth) * outHeight);
    std::vector<uint32_t> sums(std::size_t(outWidth) * 4);
    for (uint32_t oy = 0; oy < outHeight; ++oy) {
        std::fill(sums.begin(), sums.end(), 0u);
        for (uint32_t y = oy * n; y < oy * n + n; ++y) {
            const uint32_t* row = pixels.data() + std::size_t(y) * width;
            for (uint32_t x = 0; x < outWidth * n; ++x) {
                uint32_t p = row[x];
                uint32_t* s = &sums[std::size_t(x / n) * 4];
                s[0] += p >> 24, s[1] += (p >> 16) & 0xFF, s[2] += (p >> 8) & 0xFF, s[3] += p & 0xFF;
            }
        }
        for (uint32_t ox = 0; ox < outWidth; ++ox) {
            const uint32_t* s = &sums[std::size_t(ox) * 4];
            auto mean = [&](uint32_t sum) { return (sum + count / 2) / count; };
            out[std::size_t(oy) * outWidth + ox] = mean(s[0]) << 24 | mean(s[1]) << 16 | mean(s[2]) << 8 | mean(s[3]);
        }
    }
    return out;
}

}  // namespace velor::capture
