#include "demo/shell/info_line.h"

#include <cstdio>

namespace velor::demo {

void FrameRateMeter::Note(double seconds) {
    times_.push_back(seconds);
    while (times_.size() > 2 && seconds - times_[1] >= kFrameRateSpanSeconds) times_.pop_front();
}

double FrameRateMeter::PerSecond() const {
    if (times_.size() < 2) return 0;
    const double span = times_.back() - times_.front();
    return span > 0 ? double(times_.size() - 1) / span : 0;
}

std::string FormatInfoLine(double demoTime, int window, double framesPerSecond, float scale) {
    char line[96];
    std::snprintf(line, sizeof line, "time %.2f s  window %d  %.1f fps  scale %g", demoTime, window, framesPerSecond,
                  double(scale));
    return line;
}

}  // namespace velor::demo
