// Checks a frame rendered at a resolution scale against the same frame at scale 1.
//   scale_compare match ONE.png SCALED.png
//     SCALED is k times ONE each way (k whole): averaged down k x k it must match ONE closely (mean
//     difference per channel, bright coverage on an 8 x 6 grid, bright centroid, as the web page's
//     frames are compared), and the black bands above and below the picture must be k times as tall.
//   scale_compare sharper ONE.png SCALED.png LEFT TOP RIGHT BOTTOM
//     In the rectangle (ONE's pixels), SCALED must hold clearly more high-frequency energy (squared
//     Laplacian) than ONE magnified k times as a display scales it (bilinear): letters drawn at the
//     real size, not magnified.
//   scale_compare footprint ONE.png SCALED.png LEFT TOP RIGHT BOTTOM
//     In the rectangle (ONE's pixels), the box around the bright pixels (text on a darker ground) in
//     SCALED must be k times the box in ONE, within two real pixels on each edge: text drawn at its
//     scaled size and place.
//   scale_compare edges PLAIN.png SMOOTH.png
//     Two frames of one size (plain and supersampled): where they differ by more than a few levels
//     must be along the plain frame's edges: the smoothed value within the range of the plain
//     pixel's 3 x 3 neighbourhood.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/image/image_decode.h"

namespace {

struct Frame {
    int width = 0, height = 0;
    std::vector<float> rgb;  // 3 per pixel, 0..255
    float At(int x, int y, int c) const { return rgb[(size_t(y) * width + x) * 3 + c]; }
    float Luma(int x, int y) const { return 0.299f * At(x, y, 0) + 0.587f * At(x, y, 1) + 0.114f * At(x, y, 2); }
};

bool Load(const char* path, Frame* frame) {
    auto loaded = velor::LoadImageFromFile(path);
    if (!loaded) {
        std::fprintf(stderr, "scale_compare: %s\n", loaded.error().c_str());
        return false;
    }
    const velor::Image& image = loaded->Top();
    frame->width = int(image.width), frame->height = int(image.height);
    frame->rgb.resize(image.pixels.size() * 3);
    for (size_t i = 0; i < image.pixels.size(); ++i)
        for (int c = 0; c < 3; ++c) frame->rgb[i * 3 + c] = float((image.pixels[i] >> (16 - 8 * c)) & 0xFF);
    return true;
}

Frame AverageDown(const Frame& big, int k) {
    Frame out;
    out.width = big.width / k, out.height = big.height / k;
    out.rgb.assign(size_t(out.width) * out.height * 3, 0.0f);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x)
            for (int c = 0; c < 3; ++c) {
                float sum = 0;
                for (int j = 0; j < k; ++j)
                    for (int i = 0; i < k; ++i) sum += big.At(x * k + i, y * k + j, c);
                out.rgb[(size_t(y) * out.width + x) * 3 + c] = sum / float(k * k);
            }
    return out;
}

// Bilinear magnification with pixel centres kept, as a display's scaler does.
Frame Magnify(const Frame& small, int k) {
    Frame out;
    out.width = small.width * k, out.height = small.height * k;
    out.rgb.resize(size_t(out.width) * out.height * 3);
    for (int y = 0; y < out.height; ++y) {
        float sy = std::clamp((float(y) + 0.5f) / float(k) - 0.5f, 0.0f, float(small.height - 1));
        int y0 = int(sy), y1 = std::min(y0 + 1, small.height - 1);
        float fy = sy - float(y0);
        for (int x = 0; x < out.width; ++x) {
            float sx = std::clamp((float(x) + 0.5f) / float(k) - 0.5f, 0.0f, float(small.width - 1));
            int x0 = int(sx), x1 = std::min(x0 + 1, small.width - 1);
            float fx = sx - float(x0);
            for (int c = 0; c < 3; ++c) {
                float top = small.At(x0, y0, c) * (1 - fx) + small.At(x1, y0, c) * fx;
                float bottom = small.At(x0, y1, c) * (1 - fx) + small.At(x1, y1, c) * fx;
                out.rgb[(size_t(y) * out.width + x) * 3 + c] = top * (1 - fy) + bottom * fy;
            }
        }
    }
    return out;
}

// Rows from the top (or bottom) that are black throughout.
int BlackRows(const Frame& f, bool fromTop) {
    for (int n = 0; n < f.height; ++n) {
        int y = fromTop ? n : f.height - 1 - n;
        for (int x = 0; x < f.width; ++x)
            for (int c = 0; c < 3; ++c)
                if (f.At(x, y, c) > 0) return n;
    }
    return f.height;
}

struct Bright {
    double coverage = 0, cx = 0, cy = 0;
    std::vector<double> cells;
};

Bright Measure(const Frame& f, float threshold) {
    constexpr int kGridX = 8, kGridY = 6;
    Bright b;
    b.cells.assign(kGridX * kGridY, 0.0);
    double count = 0, sx = 0, sy = 0;
    for (int y = 0; y < f.height; ++y)
        for (int x = 0; x < f.width; ++x) {
            if (f.Luma(x, y) < threshold) continue;
            ++count, sx += x, sy += y;
            b.cells[size_t(y * kGridY / f.height * kGridX + x * kGridX / f.width)] += 1;
        }
    double perCell = double(f.width) / kGridX * double(f.height) / kGridY;
    for (double& c : b.cells) c /= perCell;
    b.coverage = count / (double(f.width) * f.height);
    b.cx = count > 0 ? sx / count / f.width : 0.5;
    b.cy = count > 0 ? sy / count / f.width : 0.375;
    return b;
}

// The luminance above which the brightest fifth of the frame lies (at least 16).
float BrightThreshold(const Frame& f) {
    std::vector<float> luma;
    luma.reserve(size_t(f.width) * f.height);
    for (int y = 0; y < f.height; ++y)
        for (int x = 0; x < f.width; ++x) luma.push_back(f.Luma(x, y));
    size_t at = luma.size() * 4 / 5;
    std::nth_element(luma.begin(), luma.begin() + long(at), luma.end());
    return std::max(16.0f, std::round(luma[at]));
}

int Match(const Frame& one, const Frame& scaled) {
    int k = scaled.width / one.width;
    if (k < 2 || scaled.width != one.width * k || scaled.height != one.height * k) {
        std::fprintf(stderr, "scale_compare: %dx%d is not a whole multiple of %dx%d\n", scaled.width, scaled.height,
                     one.width, one.height);
        return 1;
    }
    Frame down = AverageDown(scaled, k);
    double sum = 0;
    for (size_t i = 0; i < one.rgb.size(); ++i) sum += std::fabs(one.rgb[i] - down.rgb[i]);
    double mean = sum / double(one.rgb.size());
    float threshold = BrightThreshold(one);
    Bright a = Measure(one, threshold), b = Measure(down, threshold);
    double grid = 0;
    for (size_t i = 0; i < a.cells.size(); ++i) grid += std::fabs(a.cells[i] - b.cells[i]);
    grid /= double(a.cells.size());
    double centroid = std::hypot(a.cx - b.cx, a.cy - b.cy);
    int bandTop = BlackRows(one, true), bandBottom = BlackRows(one, false);
    int scaledTop = BlackRows(scaled, true), scaledBottom = BlackRows(scaled, false);
    std::printf("scale %d: mean difference %.2f, grid %.4f, centroid %.4f, bright %.2f %% / %.2f %%; "
                "black bands %d+%d rows, scaled %d+%d\n",
                k, mean, grid, centroid, 100 * a.coverage, 100 * b.coverage, bandTop, bandBottom, scaledTop, scaledBottom);
    bool ok = true;
    auto check = [&](bool good, const char* what) {
        if (!good) std::fprintf(stderr, "scale_compare: %s\n", what), ok = false;
    };
    check(a.coverage >= 0.05, "the scale-1 frame is dark: a comparison proves nothing");
    check(mean <= 6.0, "mean difference above 6");
    check(grid <= 0.03, "bright coverage per cell differs by more than 0.03");
    check(centroid <= 0.02, "bright centroids more than 0.02 frame widths apart");
    // A letterbox band, when the frame has one, is k times as tall and still black. Geometry that
    // spans the viewport exactly (a post pass's quad) starts half a back-buffer pixel into it, as
    // Direct3D puts pixel centres: at scale k that leaves up to k / 2 real rows at the top uncovered,
    // where scale 1 covers its one row by the fill rule.
    auto band = [&](int scaledRows, int rows, int slack) {
        return rows == 0 || (scaledRows >= rows * k && scaledRows <= rows * k + slack);
    };
    check(band(scaledTop, bandTop, k / 2), "the top band is not k times as tall");
    check(band(scaledBottom, bandBottom, 0), "the bottom band is not k times as tall");
    return ok ? 0 : 1;
}

double LaplacianEnergy(const Frame& f, int left, int top, int right, int bottom) {
    double energy = 0;
    for (int y = std::max(top, 1); y < std::min(bottom, f.height - 1); ++y)
        for (int x = std::max(left, 1); x < std::min(right, f.width - 1); ++x) {
            double l = 4 * f.Luma(x, y) - f.Luma(x - 1, y) - f.Luma(x + 1, y) - f.Luma(x, y - 1) - f.Luma(x, y + 1);
            energy += l * l;
        }
    return energy;
}

int Sharper(const Frame& one, const Frame& scaled, int left, int top, int right, int bottom) {
    int k = scaled.width / one.width;
    if (k < 2 || scaled.width != one.width * k) {
        std::fprintf(stderr, "scale_compare: not a whole multiple\n");
        return 1;
    }
    Frame magnified = Magnify(one, k);
    double plain = LaplacianEnergy(magnified, left * k, top * k, right * k, bottom * k);
    double sharp = LaplacianEnergy(scaled, left * k, top * k, right * k, bottom * k);
    std::printf("high-frequency energy in (%d,%d)-(%d,%d): magnified %.4g, rendered at scale %d %.4g (%.2fx)\n", left,
                top, right, bottom, plain, k, sharp, plain > 0 ? sharp / plain : 0.0);
    if (plain <= 0) {
        std::fprintf(stderr, "scale_compare: nothing drawn in the rectangle\n");
        return 1;
    }
    if (sharp < 1.5 * plain) {
        std::fprintf(stderr, "scale_compare: the scaled frame is not sharper there (less than 1.5x)\n");
        return 1;
    }
    return 0;
}

struct Box {
    int left = 0, top = 0, right = -1, bottom = -1;  // inclusive; empty when right < left
    int Width() const { return right - left + 1; }
    int Height() const { return bottom - top + 1; }
};

// The box around the pixels of the rectangle at or above `threshold` in luminance.
Box BrightBox(const Frame& f, int left, int top, int right, int bottom, float threshold) {
    Box box{right, bottom, left - 1, top - 1};
    for (int y = std::max(top, 0); y < std::min(bottom, f.height); ++y)
        for (int x = std::max(left, 0); x < std::min(right, f.width); ++x) {
            if (f.Luma(x, y) < threshold) continue;
            box.left = std::min(box.left, x), box.right = std::max(box.right, x);
            box.top = std::min(box.top, y), box.bottom = std::max(box.bottom, y);
        }
    return box;
}

int Footprint(const Frame& one, const Frame& scaled, int left, int top, int right, int bottom) {
    int k = scaled.width / one.width;
    if (k < 2 || scaled.width != one.width * k || scaled.height != one.height * k) {
        std::fprintf(stderr, "scale_compare: not a whole multiple\n");
        return 1;
    }
    // Halfway between the rectangle's darkest and brightest pixel in ONE: a glyph's edge pixel counts
    // when it is at least half covered, at either scale.
    float lo = 255, hi = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) lo = std::min(lo, one.Luma(x, y)), hi = std::max(hi, one.Luma(x, y));
    float threshold = (lo + hi) / 2;
    Box a = BrightBox(one, left, top, right, bottom, threshold);
    Box b = BrightBox(scaled, left * k, top * k, right * k, bottom * k, threshold);
    std::printf("footprint in (%d,%d)-(%d,%d) above luma %.0f: scale 1 %dx%d at (%d,%d), scale %d %dx%d at (%d,%d); "
                "k times scale 1 is %dx%d at (%d,%d)\n",
                left, top, right, bottom, double(threshold), a.Width(), a.Height(), a.left, a.top, k, b.Width(),
                b.Height(), b.left, b.top, k * a.Width(), k * a.Height(), k * a.left, k * a.top);
    if (hi - lo < 64 || a.Width() < 20 || a.Height() < 5) {
        std::fprintf(stderr, "scale_compare: no text in the rectangle at scale 1\n");
        return 1;
    }
    // Each edge of the box at scale 1 is a whole pixel, k real ones: the scaled box's edges lie within
    // two real pixels of k times them.
    constexpr int kSlack = 2;
    const int edges[4][2] = {{b.left, k * a.left}, {b.top, k * a.top},
                             {b.right, k * a.right + k - 1}, {b.bottom, k * a.bottom + k - 1}};
    for (const auto& edge : edges)
        if (std::abs(edge[0] - edge[1]) > kSlack) {
            std::fprintf(stderr, "scale_compare: the scaled text's box is not k times the scale-1 box\n");
            return 1;
        }
    return 0;
}

int Edges(const Frame& plain, const Frame& smooth) {
    if (plain.width != smooth.width || plain.height != smooth.height) {
        std::fprintf(stderr, "scale_compare: sizes differ\n");
        return 1;
    }
    // A supersampled pixel averages what lies around the plain frame's pixel: it differs from it only
    // where that neighbourhood holds an edge (of geometry or of a texture), and then stays within the
    // neighbourhood's range. Far outside the range, or a change where the plain frame is flat, is not
    // smoothing.
    constexpr float kFew = 8;
    size_t changed = 0, outside = 0;
    double sum = 0;
    for (int y = 0; y < plain.height; ++y)
        for (int x = 0; x < plain.width; ++x) {
            bool differs = false, out = false;
            for (int c = 0; c < 3; ++c) {
                float v = smooth.At(x, y, c), p = plain.At(x, y, c);
                sum += std::fabs(v - p);
                if (std::fabs(v - p) <= kFew) continue;
                differs = true;
                float lo = 255, hi = 0;
                for (int j = -1; j <= 1; ++j)
                    for (int i = -1; i <= 1; ++i) {
                        float n = plain.At(std::clamp(x + i, 0, plain.width - 1), std::clamp(y + j, 0, plain.height - 1), c);
                        lo = std::min(lo, n), hi = std::max(hi, n);
                    }
                if (v < lo - kFew || v > hi + kFew) out = true;
            }
            changed += differs, outside += out;
        }
    double mean = sum / double(plain.rgb.size());
    double outShare = changed > 0 ? double(outside) / double(changed) : 0.0;
    std::printf("mean difference %.2f; %zu pixels differ by more than %g levels, %.2f %% of them outside their "
                "neighbourhood's range\n", mean, changed, double(kFew), 100 * outShare);
    if (changed == 0) {
        std::fprintf(stderr, "scale_compare: the frames are the same: nothing was smoothed\n");
        return 1;
    }
    if (outShare > 0.05 || mean > 4) {
        std::fprintf(stderr, "scale_compare: they differ where the plain frame has no edge\n");
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string mode = argc > 1 ? argv[1] : "";
    Frame a, b;
    if ((mode == "match" || mode == "edges") && argc == 4) {
        if (!Load(argv[2], &a) || !Load(argv[3], &b)) return 2;
        return mode == "match" ? Match(a, b) : Edges(a, b);
    }
    if ((mode == "sharper" || mode == "footprint") && argc == 8) {
        if (!Load(argv[2], &a) || !Load(argv[3], &b)) return 2;
        auto measure = mode == "sharper" ? Sharper : Footprint;
        return measure(a, b, std::atoi(argv[4]), std::atoi(argv[5]), std::atoi(argv[6]), std::atoi(argv[7]));
    }
    std::fprintf(stderr, "usage: scale_compare match ONE.png SCALED.png | sharper ONE.png SCALED.png L T R B | "
                         "footprint ONE.png SCALED.png L T R B | edges PLAIN.png SMOOTH.png\n");
    return 2;
}
