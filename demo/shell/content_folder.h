#pragma once
// Where velor and velor-capture find the demo's content: the files the demo opens by name relative to
// the working folder (the asset pack, the music, the effect files, textures/).
//
// The working folder comes first, as the demo has always been started from its run folder; then the
// executable's own folder; then the installed data folder, share/velor, found relative to the
// executable (so an unpacked tarball plays wherever it lies) and then under the prefix the build was
// configured for. `--data DIR` names the folder outright. The folder found becomes the working
// folder, so every relative name the demo and its meshes use resolves inside it.
#include <filesystem>
#include <string>
#include <vector>

namespace velor::demo {

// True when the folder holds any of the demo's content. A folder with one file missing or spoiled
// still counts: the demo plays it and names what is wrong, rather than quietly taking another copy.
bool HoldsContent(const std::filesystem::path& folder);

// The folders looked at, in order, without repeats: the working folder, the executable's folder,
// `dataFromBinary` relative to it, and `installedData`. An empty executable or data path is left out.
std::vector<std::filesystem::path> ContentFolderCandidates(const std::filesystem::path& workingFolder,
                                                           const std::filesystem::path& executable,
                                                           const std::filesystem::path& dataFromBinary,
                                                           const std::filesystem::path& installedData);

struct ContentFolderResult {
    std::filesystem::path folder;  // empty when none holds the content
    std::string error;             // then one line saying where it looked
};

// The first candidate holding content. With `dataOption` set it is the only one looked at.
ContentFolderResult FindContentFolder(const std::vector<std::filesystem::path>& candidates,
                                      const std::string& dataOption);

// Finds the content for this process (its working folder, the executable's folder and the install
// layout it was built for) and makes its folder the working folder. False with the line to print otherwise.
bool EnterContentFolder(const std::string& dataOption, std::string* error);

}  // namespace velor::demo
