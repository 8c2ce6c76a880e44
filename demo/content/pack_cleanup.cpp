#include "demo/content/pack_cleanup.h"

#include <signal.h>
#include <unistd.h>

#include <cstring>

namespace velor::demo {

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int kSignalCount = int(sizeof kSignals / sizeof kSignals[0]);
constexpr int kMaxFiles = 16;
constexpr size_t kMaxPath = 4096;

// Everything the handler touches is laid out beforehand: it may only call async-signal-safe functions.
char gFolder[kMaxPath];
char gFiles[kMaxFiles][kMaxPath];
int gFileCount = 0;
struct sigaction gPrevious[kSignalCount];
volatile sig_atomic_t gHeldSignal = 0;

void RemoveFolder() {
    for (int i = 0; i < gFileCount; ++i) unlink(gFiles[i]);
    if (gFolder[0] != '\0') rmdir(gFolder);
}

void OnSignal(int sig) {
    for (int i = 0; i < kSignalCount; ++i) {
        if (kSignals[i] != sig) continue;
        const bool fatal = !(gPrevious[i].sa_flags & SA_SIGINFO) && gPrevious[i].sa_handler == SIG_DFL;
        if (!fatal) {
            gHeldSignal = sig;
            return;
        }
        RemoveFolder();
        signal(sig, SIG_DFL);
        raise(sig);
        return;
    }
}

bool Fits(const std::string& folder, const char* name) { return folder.size() + 1 + std::strlen(name) < kMaxPath; }

}  // namespace

PackCleanupGuard::PackCleanupGuard(const std::string& folder, const char* const* names, int count) {
    gFolder[0] = '\0';
    gFileCount = 0;
    gHeldSignal = 0;
    if (!folder.empty() && Fits(folder, "")) {
        std::memcpy(gFolder, folder.c_str(), folder.size() + 1);
        for (int i = 0; i < count && i < kMaxFiles; ++i) {
            if (!Fits(folder, names[i])) continue;
            std::string path = folder + "/" + names[i];
            std::memcpy(gFiles[gFileCount++], path.c_str(), path.size() + 1);
        }
    }
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (int sig : kSignals) sigaddset(&action.sa_mask, sig);
    for (int i = 0; i < kSignalCount; ++i) sigaction(kSignals[i], &action, &gPrevious[i]);
}

PackCleanupGuard::~PackCleanupGuard() {
    for (int i = 0; i < kSignalCount; ++i) sigaction(kSignals[i], &gPrevious[i], nullptr);
    gFolder[0] = '\0';
    gFileCount = 0;
    if (gHeldSignal != 0) {
        const int sig = gHeldSignal;
        gHeldSignal = 0;
        raise(sig);
    }
}

}  // namespace velor::demo
