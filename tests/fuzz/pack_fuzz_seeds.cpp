// Writes a small starting corpus for pack_fuzz into the folder given as the only argument: packs of
// ten small entries (the last whole, cut short, or with a length past the end), an empty entry, and
// a length of 0xFFFFFFFF. Generated, so no binary file lives in the tree.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

void PutLength(Bytes* out, uint32_t length) {
    for (int i = 0; i < 4; ++i) out->push_back(uint8_t(length >> (8 * i)));
}

void PutEntry(Bytes* out, const std::string& body) {
    PutLength(out, uint32_t(body.size()));
    out->insert(out->end(), body.begin(), body.end());
}

Bytes TenEntries() {
    Bytes pack;
    for (int k = 0; k < 10; ++k)
        PutEntry(&pack, "xof 0303txt 0032\nMesh m" + std::to_string(k) + " { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }\n");
    return pack;
}

bool Write(const std::string& folder, const char* name, const Bytes& bytes) {
    std::FILE* f = std::fopen((folder + "/" + name).c_str(), "wb");
    if (f == nullptr) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: pack_fuzz_seeds <folder>\n");
        return 2;
    }
    const std::string folder = argv[1];
    const Bytes whole = TenEntries();
    Bytes cut(whole.begin(), whole.end() - 7);
    Bytes longLength = whole;
    longLength[0] = 0xFF;
    longLength[1] = 0x7F;
    Bytes huge;
    PutLength(&huge, 0xFFFFFFFFu);
    huge.insert(huge.end(), 64, 'x');
    Bytes emptyEntries;
    for (int k = 0; k < 10; ++k) PutLength(&emptyEntries, 0);
    Bytes shortLength = {0x05, 0x00};
    bool ok = Write(folder, "ten_entries", whole) && Write(folder, "cut_short", cut) &&
              Write(folder, "length_past_end", longLength) && Write(folder, "length_max", huge) &&
              Write(folder, "empty_entries", emptyEntries) && Write(folder, "short_length", shortLength);
    if (!ok) std::fprintf(stderr, "pack_fuzz_seeds: cannot write into %s\n", folder.c_str());
    return ok ? 0 : 1;
}
