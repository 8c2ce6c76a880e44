#pragma once
// While the pack's private folder exists, an interrupt must not leave it behind. The guard notes
// SIGINT, SIGTERM and SIGHUP for its lifetime: where the signal would have ended the process, the
// folder is emptied and removed inside the handler and the signal goes on to do so; where the
// program already handles it (the window layer turns SIGINT and SIGTERM into a quit message), it is
// held until the guard ends and the folder is gone, then raised again for that handler.
#include <string>

namespace velor::demo {

class PackCleanupGuard {
public:
    // `folder` is a folder of our own; `names` are the only files that can be in it.
    PackCleanupGuard(const std::string& folder, const char* const* names, int count);
    ~PackCleanupGuard();  // restores the earlier handlers, then re-raises a held signal
    PackCleanupGuard(const PackCleanupGuard&) = delete;
    PackCleanupGuard& operator=(const PackCleanupGuard&) = delete;
};

}  // namespace velor::demo
