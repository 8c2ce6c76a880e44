#include "engine/image/image_ops.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace velor {

namespace {

// One source pixel's share of one target pixel along an axis.
struct Tap {
    uint32_t index;
    float weight;
};

// For each target coordinate along one axis, the source pixels it reads and their weights (summing
// to 1). Taps of target i are taps[first[i] .. first[i + 1]).
struct AxisFilter {
    std::vector<Tap> taps;
    std::vector<uint32_t> first;
};

AxisFilter BuildAxisFilter(uint32_t sourceSize, uint32_t targetSize) {
    AxisFilter filter;
    filter.first.reserve(targetSize + 1);
    const double scale = double(sourceSize) / double(targetSize);
    for (uint32_t i = 0; i < targetSize; ++i) {
        filter.first.push_back(uint32_t(filter.taps.size()));
        if (scale >= 1.0) {
            // Box: the source interval [i·scale, (i+1)·scale) weighted by overlap with each pixel.
            const double begin = i * scale, end = (i + 1) * scale;
            const uint32_t last = std::min(sourceSize - 1, uint32_t(std::ceil(end)) - 1);
            for (uint32_t s = uint32_t(begin); s <= last; ++s) {
                const double overlap = std::min(end, double(s + 1)) - std::max(begin, double(s));
                if (overlap > 0) filter.taps.push_back({s, float(overlap / scale)});
            }
        } else {
            // Linear: the target pixel centre mapped into source space, between two source centres.
            const double centre = std::clamp((i + 0.5) * scale - 0.5, 0.0, double(sourceSize - 1));
            const uint32_t s0 = uint32_t(centre);
            const uint32_t s1 = std::min(s0 + 1, sourceSize - 1);
            const float t = float(centre - s0);
            filter.taps.push_back({s0, 1.0f - t});
            if (s1 != s0 && t > 0) filter.taps.push_back({s1, t});
        }
    }
    filter.first.push_back(uint32_t(filter.taps.size()));
    return filter;
}

struct Rgba {
    float a = 0, r = 0, g = 0, b = 0;
};

uint32_t ToChannel(float v) { return uint32_t(std::clamp(std::lround(v), 0L, 255L)); }

// The 2 × 2 box of a mip level, the common case of ResizeImage: the same weights (one half per tap)
// without the tap tables and the float row buffer. Every sum of quarters of 8-bit values is exact in
// float, so the result equals the general path's bit for bit.
Image HalveImage(const Image& source) {
    const uint32_t width = source.width / 2, height = source.height / 2;
    Image result;
    result.width = width;
    result.height = height;
    result.pixels.resize(size_t(width) * height);
    auto channel = [](uint32_t p0, uint32_t p1, uint32_t p2, uint32_t p3, int shift) {
        const float top = 0.5f * float((p0 >> shift) & 0xFF) + 0.5f * float((p1 >> shift) & 0xFF);
        const float bottom = 0.5f * float((p2 >> shift) & 0xFF) + 0.5f * float((p3 >> shift) & 0xFF);
        return ToChannel(0.5f * top + 0.5f * bottom);
    };
    for (uint32_t y = 0; y < height; ++y) {
        const uint32_t* upper = &source.pixels[size_t(2 * y) * source.width];
        const uint32_t* lower = upper + source.width;
        uint32_t* out = &result.pixels[size_t(y) * width];
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t p0 = upper[2 * x], p1 = upper[2 * x + 1], p2 = lower[2 * x], p3 = lower[2 * x + 1];
            out[x] = PackArgb(channel(p0, p1, p2, p3, 24), channel(p0, p1, p2, p3, 16), channel(p0, p1, p2, p3, 8),
                              channel(p0, p1, p2, p3, 0));
        }
    }
    return result;
}

}  // namespace

uint32_t FullMipLevelCount(uint32_t width, uint32_t height) {
    uint32_t side = std::max(width, height), levels = 0;
    while (side > 0) {
        ++levels;
        side >>= 1;
    }
    return levels;
}

uint32_t NextPowerOfTwo(uint32_t n) {
    uint32_t p = 1;
    while (p < n) p <<= 1;
    return p;
}

void ApplyColorKey(Image& image, uint32_t key) {
    if (key == 0) return;
    for (uint32_t& pixel : image.pixels)
        if (pixel == key) pixel = 0x00000000;
}

Image ResizeImage(const Image& source, uint32_t width, uint32_t height) {
    if (source.Empty() || width == 0 || height == 0) return {};
    if (width == source.width && height == source.height) return source;
    if (source.width == 2 * width && source.height == 2 * height) return HalveImage(source);

    // Horizontal pass into a float buffer of width × source.height, then vertical into the result.
    const AxisFilter across = BuildAxisFilter(source.width, width);
    std::vector<Rgba> rows(size_t(width) * source.height);
    for (uint32_t y = 0; y < source.height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            Rgba sum;
            for (uint32_t t = across.first[x]; t < across.first[x + 1]; ++t) {
                const uint32_t p = source.At(across.taps[t].index, y);
                const float w = across.taps[t].weight;
                sum.a += w * AlphaOf(p);
                sum.r += w * RedOf(p);
                sum.g += w * GreenOf(p);
                sum.b += w * BlueOf(p);
            }
            rows[size_t(y) * width + x] = sum;
        }
    }

    const AxisFilter down = BuildAxisFilter(source.height, height);
    Image result(width, height);
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            Rgba sum;
            for (uint32_t t = down.first[y]; t < down.first[y + 1]; ++t) {
                const Rgba& p = rows[size_t(down.taps[t].index) * width + x];
                const float w = down.taps[t].weight;
                sum.a += w * p.a;
                sum.r += w * p.r;
                sum.g += w * p.g;
                sum.b += w * p.b;
            }
            result.At(x, y) = PackArgb(ToChannel(sum.a), ToChannel(sum.r), ToChannel(sum.g), ToChannel(sum.b));
        }
    }
    return result;
}

Image NextMipLevel(const Image& image) {
    return ResizeImage(image, std::max(1u, image.width / 2), std::max(1u, image.height / 2));
}

void CompleteMipChain(MipChain& chain, uint32_t levelCount) {
    if (chain.empty() || chain[0].Empty()) return;
    levelCount = std::clamp(levelCount, 1u, FullMipLevelCount(chain[0].width, chain[0].height));
    if (chain.size() > levelCount) chain.resize(levelCount);
    chain.reserve(levelCount);
    while (chain.size() < levelCount) chain.push_back(NextMipLevel(chain.back()));
}

MipChain GenerateMipChain(Image top, uint32_t levelCount) {
    MipChain chain;
    if (top.Empty()) return chain;
    if (levelCount == 0 || levelCount == D3DX_DEFAULT) levelCount = FullMipLevelCount(top.width, top.height);
    chain.push_back(std::move(top));
    CompleteMipChain(chain, levelCount);
    return chain;
}

}  // namespace velor
