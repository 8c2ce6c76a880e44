#include "demo/shell/frame_options.h"

#include <cmath>

#include "demo/shell/option_values.h"
#include "engine/os/window.h"

namespace velor::demo {

namespace {

constexpr int kMaxDisplay = 63;

}  // namespace

bool ParseFrameValue(const std::string& text, PresentFrame* frame, std::string* error) {
    if (text == "wide") {
        *frame = PresentFrame::Wide;
        return true;
    }
    if (text == "4:3") {
        *frame = PresentFrame::Whole;
        return true;
    }
    *error = "--frame: '" + text + "' is not wide or 4:3";
    return false;
}

bool ParseDisplayValue(const std::string& text, int* display, std::string* error) {
    double v = 0;
    if (!ParseFiniteNumber(text, &v) || v != std::floor(v) || v < 0 || v > kMaxDisplay) {
        *error = "--display: '" + text + "' is not a monitor number from 0 to " + std::to_string(kMaxDisplay);
        return false;
    }
    *display = int(v);
    return true;
}

bool DisplayExists(int display, std::string* error) {
    if (display < 0) return true;
    const int count = DisplayCount();
    if (count < 0 || display < count) return true;
    std::string has = count == 0   ? "none"
                      : count == 1 ? "one, monitor 0"
                                   : std::to_string(count) + ", monitors 0 to " + std::to_string(count - 1);
    *error = "--display: there is no monitor " + std::to_string(display) + ": this machine has " + has;
    return false;
}

}  // namespace velor::demo
