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

bool ParseSizeValue(const std::string& text, float* scale, PresentFrame* frame, std::string* error) {
    static const std::regex size(R"((\d{1,5})x(\d{1,5}))");
    std::smatch m;
    const uint32_t maxWidth = ScaledLength(kBackBufferWidth, kMaxPixelScale);
    if (std::regex_match(text, m, size)) {
        uint32_t w = uint32_t(std::stoul(m[1])), h = uint32_t(std::stoul(m[2]));
        // Exactly the framing's aspect, so that the scale w / 1024 gives h rows of it.
        for (PresentFrame f : {PresentFrame::Whole, PresentFrame::Wide}) {
            const FrameRect units = FrameUnits(f);
            if (uint64_t(w) * units.height == uint64_t(h) * units.width && w >= kBackBufferWidth && w <= maxWidth) {
                *scale = float(w) / float(kBackBufferWidth);
                *frame = f;
                return true;
            }
        }
    }
    const FrameRect wide = FrameUnits(PresentFrame::Wide);
    *error = "--size: '" + text + "' is neither a 4:3 size from 1024x768 to " + std::to_string(maxWidth) + "x" +
             std::to_string(ScaledLength(kBackBufferHeight, kMaxPixelScale)) + " nor a 16:9 one from " +
             std::to_string(wide.width) + "x" + std::to_string(wide.height) + " to " + std::to_string(maxWidth) + "x" +
             std::to_string(ScaledLength(wide.height, kMaxPixelScale));
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
