#include <cstdio>

#include "demo/shell/content_folder.h"
#include "demo/shell/player.h"
#include "engine/os/error_box.h"

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
    if (!velor::demo::EnterContentFolder(options.data, &error)) {
        std::fprintf(stderr, "velor: %s\n", error.c_str());
        velor::ShowErrorBox("Velor", error);
        return 1;
    }
    velor::PerformanceCounterClock clock;
    return velor::demo::RunPlayer(options, clock);
}
