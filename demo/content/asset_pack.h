#pragma once
// The asset pack "data.xyz": ten length-prefixed entries with fixed names (no header, no index),
// unpacked at start-up, loaded into the object table and the texture table, and deleted again.
//
// Entries are unpacked into a private temporary folder, never over the user's files of the same
// names, and both the files and the folder are removed when loading is done. A length that runs
// past the end of the pack is not extracted and ends the reading; what was read before stays
// usable. Entries are copied in bounded chunks, so a corrupt length never becomes an allocation.
#include <cstdint>
#include <cstdio>
#include <string>

#include "demo/content/pack_reader.h"

namespace velor::demo {

constexpr int kPackEntryCount = 10;
extern const char* const kPackEntryNames[kPackEntryCount];  // in pack order

// The extraction folder and what was unpacked into it, while LoadAssets runs.
struct PackState {
    std::string folder;                      // empty when no folder could be made
    bool extracted[kPackEntryCount] = {};    // entry k was written completely
};

extern PackState gPack;

// Where an entry of the pack was unpacked to (in the private folder), for loaders that open it by name.
std::string PackEntryPath(const char* fileName);

void LoadAssets();

}  // namespace velor::demo
