#include "demo/shell/option_values.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace velor::demo {

bool ParseFiniteNumber(const std::string& text, double* value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    double v = std::strtod(text.c_str(), &end);
    if (errno != 0 || end != text.c_str() + text.size() || !std::isfinite(v)) return false;
    *value = v;
    return true;
}

bool ParseSecondsValue(const std::string& flag, const std::string& text, double* seconds, std::string* error) {
    double v = 0;
    if (ParseFiniteNumber(text, &v) && v >= 0) {
        *seconds = v;
        return true;
    }
    *error = flag + ": '" + text + "' is not a time in seconds";
    return false;
}

}  // namespace velor::demo
