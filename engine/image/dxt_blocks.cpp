#include "engine/image/dxt_blocks.h"

namespace velor {

namespace {

struct Rgb {
    uint32_t r, g, b;
};

// RGB565 to 8 bits per channel by bit replication, so 0x1F and 0x3F become 255 exactly.
Rgb Expand565(uint32_t c) {
    const uint32_t r5 = (c >> 11) & 0x1F, g6 = (c >> 5) & 0x3F, b5 = c & 0x1F;
    return {(r5 << 3) | (r5 >> 2), (g6 << 2) | (g6 >> 4), (b5 << 3) | (b5 >> 2)};
}

// (wa·a + wb·b) / (wa + wb), rounded to nearest.
uint32_t Blend(uint32_t a, uint32_t wa, uint32_t b, uint32_t wb) {
    const uint32_t total = wa + wb;
    return (a * wa + b * wb + total / 2) / total;
}

uint32_t Opaque(const Rgb& c) { return PackArgb(0xFF, c.r, c.g, c.b); }

// The colour part, with alpha 0xFF in every word (the caller replaces alpha for DXT3/5).
// `allowTransparent` is DXT1's rule; DXT3 and DXT5 always interpolate four colours.
void DecodeColourBlock(const uint8_t* block, bool allowTransparent, uint32_t out[16]) {
    const uint32_t c0 = uint32_t(block[0]) | uint32_t(block[1]) << 8;
    const uint32_t c1 = uint32_t(block[2]) | uint32_t(block[3]) << 8;
    const Rgb e0 = Expand565(c0), e1 = Expand565(c1);
    uint32_t palette[4];
    palette[0] = Opaque(e0);
    palette[1] = Opaque(e1);
    if (c0 > c1 || !allowTransparent) {
        palette[2] = Opaque({Blend(e0.r, 2, e1.r, 1), Blend(e0.g, 2, e1.g, 1), Blend(e0.b, 2, e1.b, 1)});
        palette[3] = Opaque({Blend(e0.r, 1, e1.r, 2), Blend(e0.g, 1, e1.g, 2), Blend(e0.b, 1, e1.b, 2)});
    } else {
        palette[2] = Opaque({Blend(e0.r, 1, e1.r, 1), Blend(e0.g, 1, e1.g, 1), Blend(e0.b, 1, e1.b, 1)});
        palette[3] = 0x00000000;  // DXT1's 1-bit alpha: transparent black
    }
    const uint32_t indices = uint32_t(block[4]) | uint32_t(block[5]) << 8 | uint32_t(block[6]) << 16 | uint32_t(block[7]) << 24;
    for (int i = 0; i < 16; ++i) out[i] = palette[(indices >> (2 * i)) & 3];
}

}  // namespace

void DecodeDxtBlock(DxtFormat format, const uint8_t* block, uint32_t out[16]) {
    switch (format) {
    case DxtFormat::Dxt1:
        DecodeColourBlock(block, true, out);
        return;
    case DxtFormat::Dxt3: {
        DecodeColourBlock(block + 8, false, out);
        for (int i = 0; i < 16; ++i) {
            const uint32_t a4 = (block[i / 2] >> (4 * (i % 2))) & 0xF;
            out[i] = (out[i] & 0x00FFFFFF) | ((a4 << 4) | a4) << 24;
        }
        return;
    }
    case DxtFormat::Dxt5: {
        DecodeColourBlock(block + 8, false, out);
        const uint32_t a0 = block[0], a1 = block[1];
        uint32_t alpha[8] = {a0, a1};
        if (a0 > a1) {
            for (uint32_t k = 1; k <= 6; ++k) alpha[k + 1] = Blend(a0, 7 - k, a1, k);
        } else {
            for (uint32_t k = 1; k <= 4; ++k) alpha[k + 1] = Blend(a0, 5 - k, a1, k);
            alpha[6] = 0;
            alpha[7] = 255;
        }
        uint64_t bits = 0;
        for (int i = 0; i < 6; ++i) bits |= uint64_t(block[2 + i]) << (8 * i);
        for (int i = 0; i < 16; ++i)
            out[i] = (out[i] & 0x00FFFFFF) | alpha[(bits >> (3 * i)) & 7] << 24;
        return;
    }
    }
}

Image DecodeDxtImage(DxtFormat format, const uint8_t* data, uint32_t width, uint32_t height) {
    Image image(width, height);
    const uint32_t blocksWide = (width + 3) / 4, blocksHigh = (height + 3) / 4;
    const uint32_t blockBytes = DxtBlockBytes(format);
    uint32_t block[16];
    for (uint32_t by = 0; by < blocksHigh; ++by) {
        for (uint32_t bx = 0; bx < blocksWide; ++bx) {
            DecodeDxtBlock(format, data + (size_t(by) * blocksWide + bx) * blockBytes, block);
            for (uint32_t y = 0; y < 4 && by * 4 + y < height; ++y)
                for (uint32_t x = 0; x < 4 && bx * 4 + x < width; ++x)
                    image.At(bx * 4 + x, by * 4 + y) = block[y * 4 + x];
        }
    }
    return image;
}

}  // namespace velor
