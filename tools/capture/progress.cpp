#include "tools/capture/progress.h"

#include <cstdio>

namespace velor::capture {

namespace {
constexpr int kBarWidth = 30;
constexpr auto kRedrawInterval = std::chrono::milliseconds(200);
}  // namespace

ProgressBar::ProgressBar(long total, bool enabled)
    : total_(total), enabled_(enabled), start_(std::chrono::steady_clock::now()), lastDrawn_(start_) {}

std::string ProgressBar::Line(long done, long total, double seconds) {
    std::string bar(kBarWidth, '.');
    long filled = total > 0 ? done * kBarWidth / total : 0;
    for (long i = 0; i < filled && i < kBarWidth; ++i) bar[size_t(i)] = '#';
    double fps = seconds > 0 ? done / seconds : 0;
    char left[32] = "--:--";
    if (fps > 0) {
        long s = long((total - done) / fps + 0.5);
        std::snprintf(left, sizeof left, "%ld:%02ld", s / 60, s % 60);
    }
    char line[160];
    std::snprintf(line, sizeof line, "[%s] %ld/%ld frames  %.1f fps  %s left", bar.c_str(), done, total, fps, left);
    return line;
}

void ProgressBar::Update(long done) {
    if (!enabled_) return;
    auto now = std::chrono::steady_clock::now();
    if (done < total_ && now - lastDrawn_ < kRedrawInterval) return;
    lastDrawn_ = now;
    double seconds = std::chrono::duration<double>(now - start_).count();
    std::fprintf(stderr, "\r%s\x1b[K", Line(done, total_, seconds).c_str());
    std::fflush(stderr);
}

void ProgressBar::Finish() {
    if (enabled_) std::fputc('\n', stderr);
}

}  // namespace velor::capture
