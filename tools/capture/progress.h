#pragma once
// A one-line progress bar on stderr, redrawn in place: frames done, frames per second, time left.
// Silent when stderr is not a terminal, so logs and tests see only the result lines.
#include <chrono>
#include <string>

namespace velor::capture {

class ProgressBar {
public:
    ProgressBar(long total, bool enabled);
    void Update(long done);
    void Finish();

    // The line drawn for `done` of `total` frames after `seconds` of wall time.
    static std::string Line(long done, long total, double seconds);

private:
    long total_;
    bool enabled_;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point lastDrawn_;
};

}  // namespace velor::capture
