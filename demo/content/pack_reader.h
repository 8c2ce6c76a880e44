#pragma once
// Reading the asset pack's entries: a little-endian 32-bit length, then that many bytes. Kept apart
// from the loading so the reader can be exercised on any bytes without a device.
#include <cstdint>
#include <cstdio>
#include <string>

namespace velor::demo {

// Reads the next entry from `pack` (positioned at its length) and writes it to `path`. Returns false
// when the entry is cut short by the end of the pack: nothing is written and reading must stop.
// `written` says whether the file was created and filled. An empty `path` reads past the entry and
// writes nothing.
bool ExtractPackEntry(std::FILE* pack, const std::string& path, bool* written);

}  // namespace velor::demo
