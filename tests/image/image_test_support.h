#pragma once
// Fixtures for the image tests: DDS files built byte by byte from the published header layout (kept
// apart from the engine's own dds_format.h, so a wrong offset there cannot hide in both), small
// images, and a scratch folder that is removed again.

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "engine/image/image.h"

namespace velor::test {

using Bytes = std::vector<uint8_t>;

inline void PutU32(Bytes& bytes, size_t offset, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[offset + i] = uint8_t(v >> (8 * i));
}

inline uint32_t GetU32(const Bytes& bytes, size_t offset) {
    return uint32_t(bytes[offset]) | uint32_t(bytes[offset + 1]) << 8 | uint32_t(bytes[offset + 2]) << 16 |
           uint32_t(bytes[offset + 3]) << 24;
}

inline void Append(Bytes& bytes, const Bytes& more) { bytes.insert(bytes.end(), more.begin(), more.end()); }

inline void AppendU32(Bytes& bytes, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes.push_back(uint8_t(v >> (8 * i)));
}

// The fields of a DDS header the tests vary. Defaults describe a 2D A8R8G8B8 texture.
struct DdsHeader {
    uint32_t width = 4;
    uint32_t height = 4;
    uint32_t mipCount = 0;
    uint32_t flags = 0x1 | 0x2 | 0x4 | 0x1000;  // CAPS | HEIGHT | WIDTH | PIXELFORMAT
    uint32_t depth = 0;
    uint32_t pfFlags = 0x41;                    // RGB | ALPHAPIXELS
    uint32_t fourCC = 0;
    uint32_t bitCount = 32;
    uint32_t rMask = 0x00FF0000, gMask = 0x0000FF00, bMask = 0x000000FF, aMask = 0xFF000000;
    uint32_t caps = 0x1000;                     // TEXTURE
    uint32_t caps2 = 0;
    uint32_t headerSize = 124;
    uint32_t pfSize = 32;
};

inline constexpr uint32_t kCubeAllFaces = 0x200 | 0xFC00;  // CUBEMAP and the six face bits

inline uint32_t FourCC(const char (&s)[5]) {
    return uint32_t(uint8_t(s[0])) | uint32_t(uint8_t(s[1])) << 8 | uint32_t(uint8_t(s[2])) << 16 |
           uint32_t(uint8_t(s[3])) << 24;
}

inline DdsHeader DxtHeader(const char (&fourCC)[5], uint32_t width, uint32_t height) {
    DdsHeader h;
    h.width = width;
    h.height = height;
    h.pfFlags = 0x4;  // FOURCC
    h.fourCC = FourCC(fourCC);
    h.bitCount = h.rMask = h.gMask = h.bMask = h.aMask = 0;
    return h;
}

// "DDS " + the 124-byte header, then the payload as given.
inline Bytes MakeDds(const DdsHeader& h, const Bytes& payload = {}) {
    Bytes bytes(128 + payload.size(), 0);
    std::copy(payload.begin(), payload.end(), bytes.begin() + 128);
    PutU32(bytes, 0, 0x20534444);
    PutU32(bytes, 4, h.headerSize);
    PutU32(bytes, 8, h.flags | (h.mipCount > 1 ? 0x20000 : 0));
    PutU32(bytes, 12, h.height);
    PutU32(bytes, 16, h.width);
    PutU32(bytes, 24, h.depth);
    PutU32(bytes, 28, h.mipCount);
    PutU32(bytes, 76, h.pfSize);
    PutU32(bytes, 80, h.pfFlags);
    PutU32(bytes, 84, h.fourCC);
    PutU32(bytes, 88, h.bitCount);
    PutU32(bytes, 92, h.rMask);
    PutU32(bytes, 96, h.gMask);
    PutU32(bytes, 100, h.bMask);
    PutU32(bytes, 104, h.aMask);
    PutU32(bytes, 108, h.caps);
    PutU32(bytes, 112, h.caps2);
    return bytes;
}

// Level payload of A8R8G8B8 pixels as stored (the ARGB word little-endian).
inline Bytes ArgbPayload(const std::vector<uint32_t>& pixels) {
    Bytes bytes;
    for (uint32_t p : pixels) AppendU32(bytes, p);
    return bytes;
}

inline Image SolidImage(uint32_t w, uint32_t h, uint32_t argb) { return Image(w, h, argb); }

inline Image ImageFromRows(uint32_t w, uint32_t h, std::vector<uint32_t> pixels) {
    Image image;
    image.width = w;
    image.height = h;
    image.pixels = std::move(pixels);
    return image;
}

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir() {
        path_ = std::filesystem::temp_directory_path() / ("velor-image-test-" + std::to_string(getpid()));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};


// The bytes in a heap block of exactly their size, so AddressSanitizer flags any read past the end
// (a vector built by appending may own spare capacity beyond its size).
class ExactBuffer {
public:
    explicit ExactBuffer(const Bytes& bytes) : size_(bytes.size()), data_(new uint8_t[bytes.size()]) {
        std::copy(bytes.begin(), bytes.end(), data_.get());
    }
    const uint8_t* data() const { return data_.get(); }
    size_t size() const { return size_; }

private:
    size_t size_;
    std::unique_ptr<uint8_t[]> data_;
};

inline void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace velor::test
