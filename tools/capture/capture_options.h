#pragma once
// velor-capture's command line: --at T1,T2,... --step S --out DIR.
#include <string>
#include <vector>

namespace velor::capture {

struct CaptureOptions {
    std::vector<double> times;  // demo times to capture, ascending
    double step = 1.0 / 60.0;   // seconds of demo time per frame
    std::string outDir = ".";
};

// False with a message for anything malformed: unknown flags, times that are not numbers or are
// negative, a step that is not positive, no times at all.
bool ParseCaptureOptions(int argc, const char* const* argv, CaptureOptions* options, std::string* error);

// "t10.000.png" for 10 s.
std::string FrameFileName(double time);

}  // namespace velor::capture
