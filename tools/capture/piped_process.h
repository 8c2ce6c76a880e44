#pragma once
// A child program fed through a pipe on its standard input (the capture's frames into ffmpeg), and the
// search for a program on PATH, each the way its system does it.
#include <cstddef>
#include <string>
#include <vector>

namespace velor::capture {

class PipedProcess {
public:
    PipedProcess() = default;
    ~PipedProcess() { Finish(); }
    PipedProcess(const PipedProcess&) = delete;
    PipedProcess& operator=(const PipedProcess&) = delete;

    // Starts args[0] (a full path) with the arguments that follow; false with a reason.
    bool Start(const std::vector<std::string>& args, std::string* error);
    // All of `size` bytes, or false with a reason (the child stopped reading).
    bool Write(const void* data, size_t size, std::string* error);
    // Closes the pipe, waits, and says whether the child exited with status 0; false when none runs.
    bool Finish();

private:
    struct Handles;
    Handles* handles_ = nullptr;
};

// The full path of `name` (without ".exe") in a folder on PATH, or empty.
std::string FindOnPath(const std::string& name);

}  // namespace velor::capture
