// Checks a wide frame against the whole frame at the same scale.
//   band_compare WIDE.png WHOLE.png
// Both are as wide; WIDE is the middle rows of WHOLE, pixel for pixel (the framing is centred:
// as many rows above it as below). WIDE must hold a picture, not a black frame, and the rows of
// WHOLE just outside it must be the demo's black bands. Prints the sizes and the offset.
#include <cstdio>
#include <string>

#include "engine/image/image_decode.h"

namespace {

bool Load(const char* path, velor::Image* image) {
    auto loaded = velor::LoadImageFromFile(path);
    if (!loaded) {
        std::fprintf(stderr, "band_compare: %s\n", loaded.error().c_str());
        return false;
    }
    *image = loaded->Top();
    return true;
}

bool RowIsBlack(const velor::Image& image, uint32_t row) {
    for (uint32_t x = 0; x < image.width; ++x)
        if ((image.pixels[size_t(row) * image.width + x] & 0xFFFFFFu) != 0) return false;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: band_compare WIDE.png WHOLE.png\n");
        return 2;
    }
    velor::Image wide, whole;
    if (!Load(argv[1], &wide) || !Load(argv[2], &whole)) return 1;
    if (wide.width != whole.width || wide.height >= whole.height || (whole.height - wide.height) % 2 != 0) {
        std::printf("band_compare: %ux%u is not the centred band of %ux%u\n", wide.width, wide.height, whole.width,
                    whole.height);
        return 1;
    }
    const uint32_t top = (whole.height - wide.height) / 2;
    size_t lit = 0;
    for (uint32_t y = 0; y < wide.height; ++y) {
        for (uint32_t x = 0; x < wide.width; ++x) {
            const uint32_t a = wide.pixels[size_t(y) * wide.width + x];
            const uint32_t b = whole.pixels[size_t(y + top) * whole.width + x];
            if (a != b) {
                std::printf("band_compare: pixel (%u, %u) of the wide frame is %08X, row %u of the whole %08X\n", x, y,
                            a, y + top, b);
                return 1;
            }
            if ((a & 0xFFFFFFu) != 0) ++lit;
        }
    }
    // A frame that is mostly black would pass the comparison without showing anything.
    const double litShare = double(lit) / double(size_t(wide.width) * wide.height);
    if (litShare < 0.05) {
        std::printf("band_compare: only %.1f %% of the wide frame is lit\n", litShare * 100);
        return 1;
    }
    if (!RowIsBlack(whole, top - 1) || !RowIsBlack(whole, top + wide.height)) {
        std::printf("band_compare: the rows of the whole frame around the band are not black\n");
        return 1;
    }
    std::printf("%ux%u = rows %u to %u of %ux%u, %.0f %% lit\n", wide.width, wide.height, top, top + wide.height - 1,
                whole.width, whole.height, litShare * 100);
    return 0;
}
