#include <windows.h>

#include <cstdlib>
#include <filesystem>

#include "tools/capture/piped_process.h"

namespace velor::capture {

namespace {

namespace fs = std::filesystem;

// Paths and arguments stay in the process's code page, as the C runtime gave them to main.

// One argument quoted for CommandLineToArgvW, which the C runtime's start-up follows: backslashes
// are literal except before a quote, where they are doubled.
void AppendQuoted(std::string* line, const std::string& arg) {
    line->push_back('"');
    size_t slashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++slashes;
            continue;
        }
        line->append(c == '"' ? 2 * slashes + 1 : slashes, '\\');
        slashes = 0;
        line->push_back(c);
    }
    line->append(2 * slashes, '\\');
    line->push_back('"');
}

std::string LastError() {
    char text[256] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, GetLastError(), 0, text,
                   sizeof text, nullptr);
    std::string message = text;
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
    return message;
}

}  // namespace

struct PipedProcess::Handles {
    HANDLE process = nullptr;
    HANDLE pipe = nullptr;
};

bool PipedProcess::Start(const std::vector<std::string>& args, std::string* error) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 1 << 20)) {
        *error = "pipe: " + LastError();
        return false;
    }
    // Only the child's end is inherited.
    SetHandleInformation(writeEnd, HANDLE_FLAG_INHERIT, 0);
    std::string line;
    for (const std::string& arg : args) {
        if (!line.empty()) line.push_back(' ');
        AppendQuoted(&line, arg);
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = readEnd;
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION info{};
    const BOOL started = CreateProcessA(args[0].c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                        &startup, &info);
    CloseHandle(readEnd);
    if (!started) {
        *error = args[0] + ": " + LastError();
        CloseHandle(writeEnd);
        return false;
    }
    CloseHandle(info.hThread);
    handles_ = new Handles{info.hProcess, writeEnd};
    return true;
}

bool PipedProcess::Write(const void* data, size_t size, std::string* error) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        DWORD written = 0;
        const DWORD chunk = size > (1u << 30) ? (1u << 30) : DWORD(size);
        if (!WriteFile(handles_->pipe, bytes, chunk, &written, nullptr) || written == 0) {
            *error = LastError();
            return false;
        }
        bytes += written;
        size -= written;
    }
    return true;
}

bool PipedProcess::Finish() {
    if (handles_ == nullptr) return false;
    CloseHandle(handles_->pipe);
    WaitForSingleObject(handles_->process, INFINITE);
    DWORD status = 1;
    GetExitCodeProcess(handles_->process, &status);
    CloseHandle(handles_->process);
    delete handles_;
    handles_ = nullptr;
    return status == 0;
}

// Folders are separated by ';' and programs end in ".exe".
std::string FindOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    if (path == nullptr) return {};
    const std::string dirs = path;
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(';', start);
        std::string dir = dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (dir.size() >= 2 && dir.front() == '"' && dir.back() == '"') dir = dir.substr(1, dir.size() - 2);
        if (!dir.empty()) {
            std::error_code ec;
            const fs::path candidate = fs::path(dir) / (name + ".exe");
            if (fs::is_regular_file(candidate, ec)) return candidate.string();
        }
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return {};
}

}  // namespace velor::capture
