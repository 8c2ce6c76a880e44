#include "demo/shell/scale_options.h"

#include <cmath>
#include <cstdlib>
#include <regex>

#include "demo/shell/option_values.h"
#include "engine/gfx/device.h"
#include "engine/gfx/pixel_scale.h"

namespace velor::demo {

namespace {

constexpr int kMaxSsaa = 4;

}  // namespace

bool ParseScaleValue(const std::string& text, bool allowAuto, float* scale, std::string* error) {
    if (allowAuto && text == "auto") {
        *scale = 0;
        return true;
    }
    double v = 0;
    if (!ParseFiniteNumber(text, &v) || v < 1 || v > kMaxPixelScale) {
        *error = "--scale: '" + text + "' is not a scale from 1 to 8" + (allowAuto ? " or auto" : "");
        return false;
    }
    *scale = float(v);
    return true;
}

bool ParseSizeValue(const std::string& text, float* scale, std::string* error) {
    static const std::regex size(R"((\d{1,5})x(\d{1,5}))");
    std::smatch m;
    const uint32_t maxWidth = ScaledLength(kBackBufferWidth, kMaxPixelScale);
    const uint32_t maxHeight = ScaledLength(kBackBufferHeight, kMaxPixelScale);
    if (std::regex_match(text, m, size)) {
        uint32_t w = uint32_t(std::stoul(m[1])), h = uint32_t(std::stoul(m[2]));
        // 4:3 exactly: w x 3 == h x 4, which also makes the scale w / 1024 give h rows.
        if (w * 3 == h * 4 && w >= kBackBufferWidth && w <= maxWidth) {
            *scale = float(w) / float(kBackBufferWidth);
            return true;
        }
    }
    *error = "--size: '" + text + "' is not a 4:3 size from 1024x768 to " + std::to_string(maxWidth) + "x" +
             std::to_string(maxHeight);
    return false;
}

bool ParseSsaaValue(const std::string& text, int* factor, std::string* error) {
    double v = 0;
    if (!ParseFiniteNumber(text, &v) || v != std::floor(v) || v < 1 || v > kMaxSsaa) {
        *error = "--ssaa: '" + text + "' is not a whole number from 1 to " + std::to_string(kMaxSsaa);
        return false;
    }
    *factor = int(v);
    return true;
}

}  // namespace velor::demo
