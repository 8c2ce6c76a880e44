// content_mangle: spoils one file the demo reads, in place, the way a bad download or a full disk
// would. `content_mangle <case> <file>` spoils a whole file; `content_mangle <case> <pack> <entry>`
// spoils entry <entry> (0-9) of the asset pack and rewrites the pack around it.
//   missing    the file is deleted; a pack entry is left out (the entries after it move up)
//   empty      zero bytes; a pack entry of length 0
//   truncated  the first half is kept; a pack entry's length still says the whole
//              (so the pack ends inside that entry)
//   shortened  a pack entry cut to half with its length set to match
//   corrupt    runs of bytes in the middle overwritten with a fixed pattern (the size is kept)
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

bool Read(const std::string& path, Bytes* bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

bool Write(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(out);
}

// Deterministic damage: eight runs of 16 bytes spread over the middle, each a different pattern that
// is neither text nor zeros, so every parser meets something it cannot take for its own.
void Corrupt(Bytes* bytes, size_t begin, size_t end) {
    if (end <= begin) return;
    const size_t span = end - begin;
    for (size_t run = 0; run < 8; ++run) {
        size_t at = begin + span / 4 + (span / 2) * run / 8;
        for (size_t i = 0; i < 16 && at + i < end; ++i) (*bytes)[at + i] = uint8_t(0x80 | ((run * 37 + i * 11) & 0x7F));
    }
}

uint32_t LengthAt(const Bytes& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

void PutLength(Bytes* out, uint32_t length) {
    for (int i = 0; i < 4; ++i) out->push_back(uint8_t(length >> (8 * i)));
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "content_mangle: %s\n", message.c_str());
    return 2;
}

int MangleFile(const std::string& how, const std::string& path) {
    Bytes bytes;
    if (!Read(path, &bytes)) return Fail("cannot read " + path);
    if (how == "missing") return std::remove(path.c_str()) == 0 ? 0 : Fail("cannot delete " + path);
    if (how == "empty") bytes.clear();
    else if (how == "truncated") bytes.resize(bytes.size() / 2);
    else if (how == "corrupt") Corrupt(&bytes, 0, bytes.size());
    else return Fail("unknown case " + how);
    return Write(path, bytes) ? 0 : Fail("cannot write " + path);
}

int MangleEntry(const std::string& how, const std::string& path, int entry) {
    Bytes pack;
    if (!Read(path, &pack)) return Fail("cannot read " + path);
    Bytes out;
    size_t at = 0;
    for (int k = 0; at + 4 <= pack.size(); ++k) {
        const uint32_t length = LengthAt(pack, at);
        if (at + 4 + length > pack.size()) return Fail(path + " is not a whole pack");
        Bytes body(pack.begin() + long(at + 4), pack.begin() + long(at + 4 + length));
        at += 4 + size_t(length);
        if (k != entry) {
            PutLength(&out, length);
            out.insert(out.end(), body.begin(), body.end());
            continue;
        }
        if (how == "missing") continue;
        if (how == "empty") {
            PutLength(&out, 0);
        } else if (how == "truncated") {  // the pack ends half-way into this entry
            PutLength(&out, length);
            out.insert(out.end(), body.begin(), body.begin() + long(body.size() / 2));
            return Write(path, out) ? 0 : Fail("cannot write " + path);
        } else if (how == "shortened") {
            PutLength(&out, uint32_t(body.size() / 2));
            out.insert(out.end(), body.begin(), body.begin() + long(body.size() / 2));
        } else if (how == "corrupt") {
            Corrupt(&body, 0, body.size());
            PutLength(&out, length);
            out.insert(out.end(), body.begin(), body.end());
        } else {
            return Fail("unknown case " + how);
        }
    }
    return Write(path, out) ? 0 : Fail("cannot write " + path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3) return MangleFile(argv[1], argv[2]);
    if (argc == 4) return MangleEntry(argv[1], argv[2], std::atoi(argv[3]));
    return Fail("usage: content_mangle <missing|empty|truncated|shortened|corrupt> <file> [pack entry]");
}
