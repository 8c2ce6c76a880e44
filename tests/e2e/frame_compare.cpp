// Compares two captured frames channel by channel: prints the largest and the mean difference of
// red, green and blue and how many pixels differ at all, and fails when the largest difference or
// the mean of any channel is over its limit, or when the first frame is nearly black (a comparison
// of two black frames proves nothing).
//   frame_compare A.png B.png MAX_DIFF MAX_MEAN
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/image/image_decode.h"

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: frame_compare A.png B.png MAX_DIFF MAX_MEAN\n");
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
    const int maxAllowed = std::atoi(argv[3]);
    const double meanAllowed = std::atof(argv[4]);
    int largest[3] = {};
    double sum[3] = {};
    size_t differing = 0, bright = 0;
    for (size_t i = 0; i < x.pixels.size(); ++i) {
        bool differs = false;
        int luma = 0;
        for (int c = 0; c < 3; ++c) {
            int shift = 16 - 8 * c;  // red, green, blue
            int p = int(x.pixels[i] >> shift & 0xFF), q = int(y.pixels[i] >> shift & 0xFF);
            int d = std::abs(p - q);
            if (d > largest[c]) largest[c] = d;
            sum[c] += d;
            differs = differs || d != 0;
            luma += p;
        }
        if (differs) ++differing;
        if (luma > 3 * 64) ++bright;
    }
    const double n = double(x.pixels.size());
    std::printf("%s: max r/g/b %d/%d/%d, mean r/g/b %.4f/%.4f/%.4f, %zu pixels differ (%.3f%%), %.1f%% bright\n",
                argv[2], largest[0], largest[1], largest[2], sum[0] / n, sum[1] / n, sum[2] / n, differing,
                100.0 * double(differing) / n, 100.0 * double(bright) / n);
    bool ok = true;
    for (int c = 0; c < 3; ++c) ok = ok && largest[c] <= maxAllowed && sum[c] / n <= meanAllowed;
    if (double(bright) < n * 0.005) {
        std::fprintf(stderr, "frame_compare: %s is nearly black\n", argv[1]);
        ok = false;
    }
    return ok ? 0 : 1;
}
