#include "tools/capture/capture_options.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace velor::capture {

namespace {

bool ParseNumber(const std::string& text, double* value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    double v = std::strtod(text.c_str(), &end);
    if (errno != 0 || end != text.c_str() + text.size() || !std::isfinite(v)) return false;
    *value = v;
    return true;
}

}  // namespace

bool ParseCaptureOptions(int argc, const char* const* argv, CaptureOptions* options, std::string* error) {
    for (int i = 1; i < argc; ++i) {
        std::string flag = argv[i];
        if (i + 1 >= argc) {
            *error = flag + " needs a value";
            return false;
        }
        std::string value = argv[++i];
        if (flag == "--at") {
            size_t start = 0;
            while (start <= value.size()) {
                size_t comma = value.find(',', start);
                std::string item = value.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
                double t = 0;
                if (!ParseNumber(item, &t) || t < 0) {
                    *error = "--at: '" + item + "' is not a time in seconds";
                    return false;
                }
                options->times.push_back(t);
                if (comma == std::string::npos) break;
                start = comma + 1;
            }
        } else if (flag == "--step") {
            if (!ParseNumber(value, &options->step) || options->step <= 0) {
                *error = "--step: '" + value + "' is not a positive number of seconds";
                return false;
            }
        } else if (flag == "--out") {
            options->outDir = value;
        } else {
            *error = "unknown option " + flag;
            return false;
        }
    }
    if (options->times.empty()) {
        *error = "nothing to capture: give --at T1,T2,...";
        return false;
    }
    std::sort(options->times.begin(), options->times.end());
    return true;
}

std::string FrameFileName(double time) {
    char name[64];
    std::snprintf(name, sizeof name, "t%.3f.png", time);
    return name;
}

}  // namespace velor::capture
