#include <cstdio>

#include "demo/shell/player.h"

int main(int argc, char** argv) {
    velor::demo::PlayerOptions options;
    std::string error;
    if (!velor::demo::ParsePlayerOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "velor: %s; %s\n", error.c_str(), velor::demo::PlayerUsageLine());
        return 2;
    }
    if (options.help) {
        std::printf("%s\n%s", velor::demo::PlayerUsageLine(), velor::demo::PlayerHelp());
        return 0;
    }
    if (options.version) {
        std::printf("velor %s\n", velor::demo::kVelorVersion);
        return 0;
    }
    velor::PerformanceCounterClock clock;
    return velor::demo::RunPlayer(options, clock);
}
