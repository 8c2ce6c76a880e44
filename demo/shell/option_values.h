#pragma once
// Numbers given to the front ends' options (velor, velor-capture): the whole text must be one finite
// number, so "5s", "nan" and "" are refused rather than read as far as they go.
#include <string>

namespace velor::demo {

bool ParseFiniteNumber(const std::string& text, double* value);

// A time in seconds, 0 or later; otherwise one line naming the flag.
bool ParseSecondsValue(const std::string& flag, const std::string& text, double* seconds, std::string* error);

}  // namespace velor::demo
