// libFuzzer target for the asset pack's reader: any bytes as "data.xyz". Entries are read in order
// until one is cut short; each one read is written whole into a private folder, nothing is written
// for the one that ends the reading, and no length turns into an allocation larger than the input.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>

#include "demo/content/pack_reader.h"

namespace {

constexpr int kEntries = 10;

void Require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "pack_fuzz: %s\n", what);
    std::abort();
}

const std::string& Folder() {
    static const std::string folder = [] {
        char pattern[] = "/tmp/velor-pack-fuzz-XXXXXX";
        Require(mkdtemp(pattern) != nullptr, "no temporary folder");
        std::string made = pattern;
        std::atexit([] { rmdir(Folder().c_str()); });
        return made;
    }();
    return folder;
}

uint32_t LengthAt(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::FILE* pack = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (pack == nullptr) return 0;  // fmemopen refuses a zero-length buffer
    const std::string path = Folder() + "/entry";
    size_t at = 0;
    for (int k = 0; k < kEntries; ++k) {
        bool written = false;
        const bool read = velor::demo::ExtractPackEntry(pack, path, &written);
        struct stat st {};
        const bool exists = stat(path.c_str(), &st) == 0;
        // What the reader did must follow from the bytes alone.
        const bool complete = size - at >= 4 && uint64_t(LengthAt(data + at)) <= size - at - 4;
        Require(read == complete, "an entry read or refused against its length");
        if (!read) {
            Require(!exists, "a cut-short entry left a file");
            break;
        }
        const uint32_t length = LengthAt(data + at);
        Require(written && exists && uint64_t(st.st_size) == length, "an entry's file is not its bytes");
        std::FILE* in = std::fopen(path.c_str(), "rb");
        Require(in != nullptr, "the entry's file cannot be read back");
        std::string back(length, '\0');
        Require(std::fread(back.data(), 1, length, in) == length, "short read back");
        std::fclose(in);
        Require(std::memcmp(back.data(), data + at + 4, length) == 0, "an entry's file differs from the pack");
        unlink(path.c_str());
        at += 4 + size_t(length);
    }
    std::fclose(pack);
    unlink(path.c_str());
    return 0;
}
