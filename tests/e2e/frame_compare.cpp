// Compares two captured frames channel by channel. Prints the largest and the mean difference of
// red, green and blue, how many pixels differ at all and how many by more than a few levels (8 in
// some channel: a different surface, not rounding). Fails when a channel's mean difference or the
// share of pixels that differ by more than a few levels is over its limit, or when the first frame
// is nearly black (a comparison of two black frames proves nothing).
//   frame_compare A.png B.png MAX_MEAN MAX_FAR_PERCENT [DIFF.png]
// DIFF.png, when given, shows where they differ: each channel's difference scaled up 32 times.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/image/image_decode.h"
#include "engine/image/image_writer.h"

int main(int argc, char** argv) {
    if (argc != 5 && argc != 6) {
        std::fprintf(stderr, "usage: frame_compare A.png B.png MAX_MEAN MAX_FAR_PERCENT [DIFF.png]\n");
        return 2;
    }
    auto a = velor::LoadImageFromFile(argv[1]);
    auto b = velor::LoadImageFromFile(argv[2]);
    if (!a || !b) {
        std::fprintf(stderr, "frame_compare: %s\n", (!a ? a.error() : b.error()).c_str());
        return 2;
    }
    const velor::Image& x = a->Top();
    const velor::Image& y = b->Top();
    if (x.width != y.width || x.height != y.height) {
        std::fprintf(stderr, "frame_compare: %ux%u against %ux%u\n", x.width, x.height, y.width, y.height);
        return 1;
    }
    const double meanAllowed = std::atof(argv[3]);
    const double farAllowed = std::atof(argv[4]);
    constexpr int kFewLevels = 8;
    int largest[3] = {};
    double sum[3] = {};
    size_t differing = 0, far = 0, bright = 0;
    velor::Image map(x.width, x.height, 0xFF000000u);
    for (size_t i = 0; i < x.pixels.size(); ++i) {
        int worst = 0, luma = 0;
        for (int c = 0; c < 3; ++c) {
            int shift = 16 - 8 * c;  // red, green, blue
            int p = int(x.pixels[i] >> shift & 0xFF), q = int(y.pixels[i] >> shift & 0xFF);
            int d = std::abs(p - q);
            largest[c] = std::max(largest[c], d);
            sum[c] += d;
            worst = std::max(worst, d);
            luma += p;
            map.pixels[i] |= uint32_t(std::min(255, d * 32)) << shift;
        }
        if (worst > 0) ++differing;
        if (worst > kFewLevels) ++far;
        if (luma > 3 * 64) ++bright;
    }
    if (argc == 6) velor::WritePng(argv[5], map);
    const double n = double(x.pixels.size());
    std::printf("%s: max r/g/b %d/%d/%d, mean r/g/b %.4f/%.4f/%.4f, %zu pixels differ (%.3f%%), %zu by more than %d "
                "(%.3f%%); %.1f%% bright\n",
                argv[2], largest[0], largest[1], largest[2], sum[0] / n, sum[1] / n, sum[2] / n, differing,
                100.0 * double(differing) / n, far, kFewLevels, 100.0 * double(far) / n, 100.0 * double(bright) / n);
    bool ok = 100.0 * double(far) / n <= farAllowed;
    for (int c = 0; c < 3; ++c) ok = ok && sum[c] / n <= meanAllowed;
    if (double(bright) < n * 0.005) {
        std::fprintf(stderr, "frame_compare: %s is nearly black\n", argv[1]);
        ok = false;
    }
    return ok ? 0 : 1;
}
