#pragma once
// The asset pack "data.xyz": ten entries back to back, each a 4-byte little-endian length and
// then that many bytes; no header, no names, no padding. The names exist only in the demo's fixed
// table, so entries must be packed in exactly this order.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace velor::content {

inline constexpr std::array<const char*, 10> kPackEntryNames = {
    "fire.png", "skybox.x", "tree.x", "iskelet.x", "duvar.x", "sphere.x", "scroll.x", "tunnel.x", "ccube.x", "quad.x",
};

// Concatenates the entries, each preceded by its length. Fails (empty result, message set) if an
// entry does not fit a 32-bit length.
std::vector<uint8_t> BuildPack(const std::vector<std::vector<uint8_t>>& entries, std::string* error);

// Reads the entries back. Bytes after the last complete entry are reported in `trailing`; an
// entry that runs past the end is an error.
struct PackContents {
    std::vector<std::vector<uint8_t>> entries;
    size_t trailing = 0;
    std::string error;   // empty when every entry read completely
};
PackContents SplitPack(const std::vector<uint8_t>& pack, size_t expectedEntries);

}  // namespace velor::content
