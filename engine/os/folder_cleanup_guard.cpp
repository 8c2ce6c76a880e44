#include "engine/os/folder_cleanup_guard.h"

#include <signal.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <cstring>

namespace velor {

namespace {

#ifdef _WIN32
constexpr int kSignals[] = {SIGINT, SIGTERM};
#else
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
#endif
constexpr int kSignalCount = int(sizeof kSignals / sizeof kSignals[0]);
constexpr int kMaxFiles = 16;
constexpr size_t kMaxPath = 4096;

// Everything the handler touches is laid out beforehand: it may only call async-signal-safe functions.
char gFolder[kMaxPath];
char gFiles[kMaxFiles][kMaxPath];
int gFileCount = 0;
volatile sig_atomic_t gHeldSignal = 0;

void RemoveFolder() {
#ifdef _WIN32
    for (int i = 0; i < gFileCount; ++i) DeleteFileA(gFiles[i]);
    if (gFolder[0] != '\0') RemoveDirectoryA(gFolder);
#else
    for (int i = 0; i < gFileCount; ++i) unlink(gFiles[i]);
    if (gFolder[0] != '\0') rmdir(gFolder);
#endif
}

#ifdef _WIN32

using Handler = void (*)(int);
Handler gPrevious[kSignalCount];

void OnSignal(int sig) {
    RemoveFolder();
    signal(sig, SIG_DFL);
    raise(sig);
}

void Install() {
    for (int i = 0; i < kSignalCount; ++i) gPrevious[i] = signal(kSignals[i], OnSignal);
}

void Restore() {
    for (int i = 0; i < kSignalCount; ++i) signal(kSignals[i], gPrevious[i] == SIG_ERR ? SIG_DFL : gPrevious[i]);
}

#else

struct sigaction gPrevious[kSignalCount];

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

void Install() {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (int sig : kSignals) sigaddset(&action.sa_mask, sig);
    for (int i = 0; i < kSignalCount; ++i) sigaction(kSignals[i], &action, &gPrevious[i]);
}

void Restore() {
    for (int i = 0; i < kSignalCount; ++i) sigaction(kSignals[i], &gPrevious[i], nullptr);
}

#endif

bool Fits(const std::string& folder, const char* name) { return folder.size() + 1 + std::strlen(name) < kMaxPath; }

}  // namespace

FolderCleanupGuard::FolderCleanupGuard(const std::string& folder, const char* const* names, int count) {
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
    Install();
}

FolderCleanupGuard::~FolderCleanupGuard() {
    Restore();
    gFolder[0] = '\0';
    gFileCount = 0;
    if (gHeldSignal != 0) {
        const int sig = gHeldSignal;
        gHeldSignal = 0;
        raise(sig);
    }
}

}  // namespace velor
