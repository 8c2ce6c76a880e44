#include "engine/os/process_files.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <stdlib.h>
#endif

#include <random>
#include <vector>

namespace velor {

namespace fs = std::filesystem;

namespace {

fs::path TempBase() {
    std::error_code ec;
    fs::path base = fs::temp_directory_path(ec);
#ifdef _WIN32
    return ec ? fs::path() : base;
#else
    return ec ? fs::path("/tmp") : base;
#endif
}

}  // namespace

#ifdef _WIN32

fs::path ExecutablePath() {
    std::vector<wchar_t> name(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, name.data(), DWORD(name.size()));
        if (length == 0) return {};
        if (length < name.size()) return fs::path(std::wstring(name.data(), length));
        name.resize(name.size() * 2);  // truncated: a longer path than MAX_PATH
    }
}

// Windows has no mkdtemp: random names are tried until CreateDirectory makes one that did not exist.
fs::path MakePrivateTempFolder(const std::string& stem) {
    const fs::path base = TempBase();
    if (base.empty()) return {};
    std::random_device device;
    std::mt19937 random(device() ^ GetCurrentProcessId());
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = stem + "-";
        for (int i = 0; i < 6; ++i) name += kLetters[random() % (sizeof kLetters - 1)];
        const fs::path folder = base / name;
        if (CreateDirectoryW(folder.c_str(), nullptr)) return folder;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return {};
    }
    return {};
}

#else

fs::path ExecutablePath() {
    std::error_code ec;
    return fs::read_symlink("/proc/self/exe", ec);  // empty without /proc
}

fs::path MakePrivateTempFolder(const std::string& stem) {
    std::string pattern = (TempBase() / (stem + "-XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (mkdtemp(name.data()) == nullptr) return {};
    return fs::path(name.data());
}

#endif

}  // namespace velor
