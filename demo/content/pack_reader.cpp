#include "demo/content/pack_reader.h"

#include <algorithm>
#include <vector>

namespace velor::demo {

namespace {

constexpr size_t kCopyChunk = 64 * 1024;

bool ReadLength(std::FILE* pack, uint32_t* length) {
    uint8_t bytes[4];
    if (std::fread(bytes, 1, 4, pack) != 4) return false;
    *length = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
    return true;
}

uint64_t BytesLeft(std::FILE* pack) {
    long here = std::ftell(pack);
    if (here < 0 || std::fseek(pack, 0, SEEK_END) != 0) return 0;
    long end = std::ftell(pack);
    std::fseek(pack, here, SEEK_SET);
    return end > here ? uint64_t(end - here) : 0;
}

}  // namespace

bool ExtractPackEntry(std::FILE* pack, const std::string& path, bool* written) {
    *written = false;
    uint32_t length = 0;
    if (!ReadLength(pack, &length)) return false;
    // NOTE: checked before anything is allocated or created: a corrupt length ends the pack here.
    if (uint64_t(length) > BytesLeft(pack)) return false;
    std::FILE* out = path.empty() ? nullptr : std::fopen(path.c_str(), "wb");
    std::vector<uint8_t> chunk(std::min<size_t>(kCopyChunk, std::max<uint32_t>(length, 1)));
    uint64_t left = length;
    bool ok = out != nullptr;
    while (left > 0) {
        size_t n = size_t(std::min<uint64_t>(left, chunk.size()));
        if (std::fread(chunk.data(), 1, n, pack) != n) {
            if (out) std::fclose(out);
            if (out) std::remove(path.c_str());
            return false;
        }
        if (ok && std::fwrite(chunk.data(), 1, n, out) != n) ok = false;
        left -= n;
    }
    if (out != nullptr && std::fclose(out) != 0) ok = false;
    if (!ok && out != nullptr) std::remove(path.c_str());
    *written = ok;
    return true;
}

}  // namespace velor::demo
