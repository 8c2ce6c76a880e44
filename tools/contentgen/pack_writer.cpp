#include "tools/contentgen/pack_writer.h"

namespace velor::content {

std::vector<uint8_t> BuildPack(const std::vector<std::vector<uint8_t>>& entries, std::string* error) {
    std::vector<uint8_t> pack;
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::vector<uint8_t>& e = entries[i];
        if (e.size() > 0xFFFFFFFFull) {
            if (error) *error = "pack entry " + std::to_string(i) + " is larger than 4 GB";
            return {};
        }
        const uint32_t n = uint32_t(e.size());
        for (int b = 0; b < 4; ++b) pack.push_back(uint8_t(n >> (8 * b)));
        pack.insert(pack.end(), e.begin(), e.end());
    }
    return pack;
}

PackContents SplitPack(const std::vector<uint8_t>& pack, size_t expectedEntries) {
    PackContents out;
    size_t pos = 0;
    for (size_t i = 0; i < expectedEntries; ++i) {
        if (pack.size() - pos < 4) {
            out.error = "entry " + std::to_string(i) + ": no room for its length at byte " + std::to_string(pos);
            return out;
        }
        const uint32_t n = uint32_t(pack[pos]) | uint32_t(pack[pos + 1]) << 8 | uint32_t(pack[pos + 2]) << 16 |
                           uint32_t(pack[pos + 3]) << 24;
        pos += 4;
        if (pack.size() - pos < n) {
            out.error = "entry " + std::to_string(i) + ": length " + std::to_string(n) + " runs past the end";
            return out;
        }
        out.entries.emplace_back(pack.begin() + std::ptrdiff_t(pos), pack.begin() + std::ptrdiff_t(pos + n));
        pos += n;
    }
    out.trailing = pack.size() - pos;
    return out;
}

}  // namespace velor::content
