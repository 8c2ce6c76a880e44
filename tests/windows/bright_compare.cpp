// Compares a frame rendered by the Windows build under Wine with the native one: the same rasteriser
// draws both, so only the C library's maths may differ. Prints the mean difference of red, green and
// blue and where the bright pixels lie in each, and fails when a channel's mean difference is 0.5 or
// more, when the bright pixels are not in the same places (coarse cells and centroid), or when the
// native frame is nearly black (two black frames prove nothing).
//   bright_compare NATIVE.png OTHER.png
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "engine/image/image_decode.h"

namespace {

constexpr double kMaxMeanPerChannel = 0.5;  // 0..255
// Bright pixels: the native frame's brightest fifth (frames range from dim blurs to white flashes),
// the same luminance threshold applied to both, counted in cells of 128 x 128 pixels.
constexpr double kBrightShare = 0.2;
constexpr int kMinBright = 16;
constexpr int kGridX = 8, kGridY = 6;
constexpr double kMaxGridDiff = 0.01;   // mean over cells of the difference in bright coverage, 0..1
constexpr double kMaxCentroid = 0.005;  // in frame widths
constexpr double kMinCoverage = 0.05;

int Luminance(uint32_t p) {
    return int(std::lround(0.299 * (p >> 16 & 0xFF) + 0.587 * (p >> 8 & 0xFF) + 0.114 * (p & 0xFF)));
}

int BrightThreshold(const velor::Image& image) {
    std::array<size_t, 256> histogram{};
    for (uint32_t p : image.pixels) ++histogram[size_t(Luminance(p))];
    const double wanted = kBrightShare * double(image.pixels.size());
    size_t above = 0;
    for (int v = 255; v > 0; --v) {
        above += histogram[size_t(v)];
        if (double(above) >= wanted) return std::max(v, kMinBright);
    }
    return kMinBright;
}

struct Bright {
    double coverage = 0, cx = 0, cy = 0;
    std::array<double, kGridX * kGridY> cells{};
};

Bright Measure(const velor::Image& image, int threshold) {
    Bright b;
    size_t count = 0;
    double sx = 0, sy = 0;
    for (uint32_t y = 0; y < image.height; ++y)
        for (uint32_t x = 0; x < image.width; ++x) {
            if (Luminance(image.pixels[size_t(y) * image.width + x]) < threshold) continue;
            ++count;
            sx += x;
            sy += y;
            b.cells[size_t(y * kGridY / image.height * kGridX + x * kGridX / image.width)] += 1;
        }
    const double perCell = double(image.width) / kGridX * double(image.height) / kGridY;
    for (double& c : b.cells) c /= perCell;
    b.coverage = double(count) / double(image.pixels.size());
    b.cx = count ? sx / double(count) / image.width : 0.5;
    b.cy = count ? sy / double(count) / image.width : 0.5;
    return b;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: bright_compare NATIVE.png OTHER.png\n");
        return 2;
    }
    auto a = velor::LoadImageFromFile(argv[1]);
    auto b = velor::LoadImageFromFile(argv[2]);
    if (!a || !b) {
        std::fprintf(stderr, "bright_compare: %s\n", (!a ? a.error() : b.error()).c_str());
        return 2;
    }
    const velor::Image& x = a->Top();
    const velor::Image& y = b->Top();
    if (x.width != y.width || x.height != y.height) {
        std::printf("bright_compare: %ux%u against %ux%u\n", x.width, x.height, y.width, y.height);
        return 1;
    }
    double sum[3] = {};
    size_t differing = 0;
    for (size_t i = 0; i < x.pixels.size(); ++i) {
        bool differs = false;
        for (int c = 0; c < 3; ++c) {
            const int shift = 16 - 8 * c;
            const int d = std::abs(int(x.pixels[i] >> shift & 0xFF) - int(y.pixels[i] >> shift & 0xFF));
            sum[c] += d;
            differs = differs || d != 0;
        }
        if (differs) ++differing;
    }
    const double n = double(x.pixels.size());
    const double mean[3] = {sum[0] / n, sum[1] / n, sum[2] / n};
    const int threshold = BrightThreshold(x);
    const Bright bx = Measure(x, threshold), by = Measure(y, threshold);
    double grid = 0;
    for (size_t i = 0; i < bx.cells.size(); ++i) grid += std::abs(bx.cells[i] - by.cells[i]);
    grid /= double(bx.cells.size());
    const double centroid = std::hypot(bx.cx - by.cx, bx.cy - by.cy);
    std::printf("%s: mean r/g/b %.4f/%.4f/%.4f, %.3f%% of pixels differ; bright (luminance >= %d) %.2f%% and "
                "%.2f%%, cells %.4f apart, centroids %.4f apart\n",
                argv[2], mean[0], mean[1], mean[2], 100.0 * double(differing) / n, threshold, 100 * bx.coverage,
                100 * by.coverage, grid, centroid);
    bool ok = true;
    if (bx.coverage < kMinCoverage) {
        std::printf("bright_compare: %s is nearly black: the comparison would prove nothing\n", argv[1]);
        ok = false;
    }
    if (*std::max_element(mean, mean + 3) >= kMaxMeanPerChannel) {
        std::printf("bright_compare: mean difference %.4f in a channel, not under %.1f\n",
                    *std::max_element(mean, mean + 3), kMaxMeanPerChannel);
        ok = false;
    }
    if (grid > kMaxGridDiff || centroid > kMaxCentroid) {
        std::printf("bright_compare: the bright pixels are elsewhere (cells over %.3f or centroids over %.3f)\n",
                    kMaxGridDiff, kMaxCentroid);
        ok = false;
    }
    return ok ? 0 : 1;
}
