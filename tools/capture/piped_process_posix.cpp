#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "tools/capture/piped_process.h"

extern char** environ;

namespace velor::capture {

struct PipedProcess::Handles {
    pid_t pid = 0;
    int pipe = -1;
};

bool PipedProcess::Start(const std::vector<std::string>& args, std::string* error) {
    int fds[2];
    if (pipe(fds) != 0) {
        *error = std::string("pipe: ") + std::strerror(errno);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[1]);
    std::vector<std::string> copies = args;
    std::vector<char*> argv;
    for (std::string& a : copies) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    int rc = posix_spawn(&pid, args[0].c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[0]);
    if (rc != 0) {
        close(fds[1]);
        *error = args[0] + ": " + std::strerror(rc);
        return false;
    }
    handles_ = new Handles{pid, fds[1]};
    // A dead child shows up as a failed write, not as a signal that ends the capture silently.
    signal(SIGPIPE, SIG_IGN);
    return true;
}

bool PipedProcess::Write(const void* data, size_t size, std::string* error) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = write(handles_->pipe, bytes, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            *error = std::strerror(errno);
            return false;
        }
        bytes += n;
        size -= size_t(n);
    }
    return true;
}

bool PipedProcess::Finish() {
    if (handles_ == nullptr) return false;
    close(handles_->pipe);
    int status = 0;
    while (waitpid(handles_->pid, &status, 0) < 0 && errno == EINTR) {
    }
    delete handles_;
    handles_ = nullptr;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string FindOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    if (path == nullptr) return {};
    std::string dirs = path;
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t colon = dirs.find(':', start);
        std::string dir = dirs.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
        if (!dir.empty()) {
            std::string candidate = (std::filesystem::path(dir) / name).string();
            if (access(candidate.c_str(), X_OK) == 0) return candidate;
        }
        if (colon == std::string::npos) break;
        start = colon + 1;
    }
    return {};
}

}  // namespace velor::capture
