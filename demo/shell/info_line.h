#pragma once
// The player's information line (F1 or Tab): what it says, and the frame rate it quotes, measured
// over the real frames of about the last second.
#include <cstddef>
#include <deque>
#include <string>

namespace velor::demo {

class FrameRateMeter {
public:
    // A drawn frame finished at `seconds` on a real clock.
    void Note(double seconds);
    // Frames per second over the frames noted in the last second (up to the newest); 0 until two
    // frames span some time.
    double PerSecond() const;
    // Forgets every frame, after a pause or a seek, whose gap is no frame time.
    void Clear() { times_.clear(); }

private:
    std::deque<double> times_;
};

constexpr double kFrameRateSpanSeconds = 1.0;

// "time 12.34 s  window 2  41.2 fps  scale 1.875"
std::string FormatInfoLine(double demoTime, int window, double framesPerSecond, float scale);

}  // namespace velor::demo
