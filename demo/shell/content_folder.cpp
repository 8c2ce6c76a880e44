#include "demo/shell/content_folder.h"

#include <algorithm>

#include "demo/content/demo_resources.h"
#include "engine/os/process_files.h"

// Where the build installs the content, from its install layout (CMake's GNUInstallDirs): relative to
// the executable's folder, and in full under the configured prefix.
#ifndef VELOR_DATA_FROM_BINDIR
#define VELOR_DATA_FROM_BINDIR "../share/velor"
#endif
#ifndef VELOR_INSTALLED_DATADIR
#define VELOR_INSTALLED_DATADIR "/usr/local/share/velor"
#endif

namespace velor::demo {

namespace fs = std::filesystem;

namespace {

// What the demo opens by name: the asset pack, the music module and the loose textures' folder.
const char* const kContentMarkers[] = {"data.xyz", kMusicFile, "textures"};

std::string MarkerList() {
    std::string list;
    for (const char* marker : kContentMarkers) list += std::string(list.empty() ? "" : ", ") + marker;
    return list;
}

}  // namespace

bool HoldsContent(const fs::path& folder) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) return false;
    return std::any_of(std::begin(kContentMarkers), std::end(kContentMarkers),
                       [&](const char* marker) { return fs::exists(folder / marker, ec); });
}

std::vector<fs::path> ContentFolderCandidates(const fs::path& workingFolder, const fs::path& executable,
                                              const fs::path& dataFromBinary, const fs::path& installedData) {
    std::vector<fs::path> candidates;
    auto add = [&](const fs::path& folder) {
        if (folder.empty()) return;
        fs::path normal = folder.lexically_normal();
        if (!normal.has_filename() && normal.has_relative_path()) normal = normal.parent_path();  // "a/b/" as "a/b"
        if (std::find(candidates.begin(), candidates.end(), normal) == candidates.end()) candidates.push_back(normal);
    };
    add(workingFolder);
    if (!executable.empty()) {
        add(executable.parent_path());
        if (!dataFromBinary.empty()) add(executable.parent_path() / dataFromBinary);
    }
    add(installedData);
    return candidates;
}

ContentFolderResult FindContentFolder(const std::vector<fs::path>& candidates, const std::string& dataOption) {
    ContentFolderResult result;
    if (!dataOption.empty()) {
        if (HoldsContent(dataOption)) {
            result.folder = dataOption;
        } else {
            result.error = "--data " + dataOption + ": no content there (" + MarkerList() + ")";
        }
        return result;
    }
    for (const fs::path& folder : candidates) {
        if (HoldsContent(folder)) {
            result.folder = folder;
            return result;
        }
    }
    result.error = "no content (" + MarkerList() + ") in ";
    for (size_t i = 0; i < candidates.size(); ++i) {
        if (i > 0) result.error += i + 1 == candidates.size() ? " or " : ", ";
        result.error += candidates[i].string();
    }
    result.error += "; name its folder with --data DIR";
    return result;
}

bool EnterContentFolder(const std::string& dataOption, std::string* error) {
    std::error_code ec;
    const fs::path working = fs::current_path(ec);
    const fs::path executable = ExecutablePath();
    ContentFolderResult found = FindContentFolder(
        ContentFolderCandidates(working, executable, VELOR_DATA_FROM_BINDIR, VELOR_INSTALLED_DATADIR), dataOption);
    if (found.folder.empty()) {
        *error = found.error;
        return false;
    }
    if (found.folder == working) return true;
    fs::current_path(found.folder, ec);
    if (ec) {
        *error = found.folder.string() + ": " + ec.message();
        return false;
    }
    return true;
}

}  // namespace velor::demo
