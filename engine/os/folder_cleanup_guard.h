#pragma once
// While a private scratch folder exists, an interrupt must not leave it behind. The guard notes
// SIGINT, SIGTERM and SIGHUP for its lifetime: where the signal would have ended the process, the
// folder is emptied and removed inside the handler and the signal goes on to do so; where the
// program already handles it (the window layer turns SIGINT and SIGTERM into a quit message), it is
// held until the guard ends and the folder is gone, then raised again for that handler.
// Windows has only SIGINT and SIGTERM, through the C library's signal(), and nothing of its own turns
// them into messages: there the folder is always removed in the handler.
#include <string>

namespace velor {

class FolderCleanupGuard {
public:
    // `folder` is a folder of our own; `names` are the only files that can be in it.
    FolderCleanupGuard(const std::string& folder, const char* const* names, int count);
    ~FolderCleanupGuard();  // restores the earlier handlers, then re-raises a held signal
    FolderCleanupGuard(const FolderCleanupGuard&) = delete;
    FolderCleanupGuard& operator=(const FolderCleanupGuard&) = delete;
};

}  // namespace velor
