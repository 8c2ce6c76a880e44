#pragma once
// Every file the demo opens, generated in memory: the loose textures under textures/ (the demo's
// own names and the ones the meshes' materials name), the music module when the composer is built
// in, and the asset pack with its ten entries. Generators are independent pure functions; they run
// on a few threads, each filling its own slot, so the output never depends on scheduling.

#include <string>
#include <vector>

#include "tools/contentgen/blob.h"

namespace velor::content {

struct GeneratedFile {
    std::string path;       // relative to the run folder ("textures/light.png", "data.xyz")
    Blob blob;
    double seconds = 0;     // time the generator took, for reports
};

struct ContentSet {
    std::vector<GeneratedFile> files;         // what goes to disk, data.xyz included
    std::vector<GeneratedFile> packEntries;   // the ten entries inside data.xyz, in pack order
    std::string error;                        // first failure, if any
};

ContentSet GenerateContent(int threads);

// Every path GenerateContent produces, the ten pack entries' names included (they live inside
// data.xyz, not on disk), in the generator's order.
std::vector<std::string> ContentPaths();
// One file by its path (a loose file or a pack entry's name); fails for an unknown path.
Blob GenerateOne(const std::string& path);
// data.xyz alone: the ten entries, generated and packed.
Blob GeneratePack(int threads);

// True for files that hold a picture (by extension), for the contact sheet.
bool IsImagePath(const std::string& path);

}  // namespace velor::content
