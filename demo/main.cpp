#include "demo/shell/win_main.h"

int main() {
    velor::PerformanceCounterClock clock;
    velor::demo::ShellOptions options;
    options.clock = &clock;
    return velor::demo::WinMain(options);
}
