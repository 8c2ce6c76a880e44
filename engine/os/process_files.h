#pragma once
// Where this process lives on disk and a folder of its own for scratch files, the way each system
// offers them.
#include <filesystem>
#include <string>

namespace velor {

// The running executable's full path; empty when the system does not say.
std::filesystem::path ExecutablePath();

// Makes a new folder only this process uses, named `stem` plus a unique suffix, under the system's
// temporary folder. Empty when none can be made.
std::filesystem::path MakePrivateTempFolder(const std::string& stem);

}  // namespace velor
