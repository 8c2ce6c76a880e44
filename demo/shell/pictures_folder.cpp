#include "demo/shell/pictures_folder.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace velor::demo {

namespace {

namespace fs = std::filesystem;

// user-dirs.dirs holds shell assignments: XDG_PICTURES_DIR="$HOME/Pictures", the value quoted and
// only $HOME expanded (xdg-user-dirs writes nothing else).
std::string PicturesLine(const fs::path& file, const std::string& home) {
    std::ifstream in(file);
    const std::string key = "XDG_PICTURES_DIR=";
    std::string line, found;
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) != 0) continue;
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
        if (value.rfind("$HOME", 0) == 0) value = home + value.substr(5);
        found = value;
    }
    return found;
}

}  // namespace

std::string PicturesFolder(const char* (*getenv)(const char*)) {
    auto env = [getenv](const char* name) {
        const char* value = getenv(name);
        return std::string(value != nullptr ? value : "");
    };
    std::string folder = env("XDG_PICTURES_DIR");
    const std::string home = env("HOME");
    if (folder.empty()) {
        fs::path config = env("XDG_CONFIG_HOME");
        if (config.empty() && !home.empty()) config = fs::path(home) / ".config";
        if (!config.empty()) folder = PicturesLine(config / "user-dirs.dirs", home);
    }
    std::error_code error;
    if (folder.empty() || !fs::path(folder).is_absolute() || !fs::is_directory(folder, error)) return "";
    return folder;
}

std::string ScreenshotPath(const std::string& folder, double demoSeconds) {
    char stem[64];
    std::snprintf(stem, sizeof stem, "velor-%07.3f", demoSeconds);
    const fs::path base = folder.empty() ? fs::path(".") : fs::path(folder);
    std::error_code error;
    for (int n = 1;; ++n) {
        const std::string name = n == 1 ? std::string(stem) + ".png" : std::string(stem) + "-" + std::to_string(n) + ".png";
        const fs::path path = folder.empty() ? fs::path(name) : base / name;
        if (!fs::exists(path, error)) return path.string();
    }
}

}  // namespace velor::demo
