#pragma once
// The DDS container as Direct3D 9 tools write it: the magic "DDS ", a 124-byte DDS_HEADER holding a
// 32-byte DDS_PIXELFORMAT, then the pixel data: for each face (one, or six for a cube map in
// +X, -X, +Y, -Y, +Z, -Z order) every mip level from the largest down, rows top first, tightly
// packed (uncompressed rows are ceil(width × bits / 8) bytes; DXT levels are whole 4 × 4 blocks).
// All fields are little-endian 32-bit words. Shared by the reader and the writer.

#include <cstdint>

namespace velor::dds {

inline constexpr uint32_t kMagic = 0x20534444;  // "DDS " read as a little-endian word
inline constexpr uint32_t kHeaderSize = 124;     // DDS_HEADER.dwSize
inline constexpr uint32_t kPixelFormatSize = 32; // DDS_PIXELFORMAT.dwSize
inline constexpr uint32_t kDataOffset = 4 + kHeaderSize;

// Byte offsets of DDS_HEADER fields from the start of the file (after the 4-byte magic).
inline constexpr uint32_t kOffSize = 4;
inline constexpr uint32_t kOffFlags = 8;
inline constexpr uint32_t kOffHeight = 12;
inline constexpr uint32_t kOffWidth = 16;
inline constexpr uint32_t kOffPitchOrLinearSize = 20;
inline constexpr uint32_t kOffDepth = 24;
inline constexpr uint32_t kOffMipMapCount = 28;
inline constexpr uint32_t kOffPixelFormat = 76;  // DDS_PIXELFORMAT starts here
inline constexpr uint32_t kOffPfSize = 76;
inline constexpr uint32_t kOffPfFlags = 80;
inline constexpr uint32_t kOffPfFourCC = 84;
inline constexpr uint32_t kOffPfRgbBitCount = 88;
inline constexpr uint32_t kOffPfRMask = 92;
inline constexpr uint32_t kOffPfGMask = 96;
inline constexpr uint32_t kOffPfBMask = 100;
inline constexpr uint32_t kOffPfAMask = 104;
inline constexpr uint32_t kOffCaps = 108;
inline constexpr uint32_t kOffCaps2 = 112;

// DDS_HEADER.dwFlags
inline constexpr uint32_t DDSD_CAPS = 0x1;
inline constexpr uint32_t DDSD_HEIGHT = 0x2;
inline constexpr uint32_t DDSD_WIDTH = 0x4;
inline constexpr uint32_t DDSD_PITCH = 0x8;
inline constexpr uint32_t DDSD_PIXELFORMAT = 0x1000;
inline constexpr uint32_t DDSD_MIPMAPCOUNT = 0x20000;
inline constexpr uint32_t DDSD_LINEARSIZE = 0x80000;
inline constexpr uint32_t DDSD_DEPTH = 0x800000;

// DDS_PIXELFORMAT.dwFlags
inline constexpr uint32_t DDPF_ALPHAPIXELS = 0x1;
inline constexpr uint32_t DDPF_ALPHA = 0x2;
inline constexpr uint32_t DDPF_FOURCC = 0x4;
inline constexpr uint32_t DDPF_RGB = 0x40;
inline constexpr uint32_t DDPF_LUMINANCE = 0x20000;

// DDS_HEADER.dwCaps and dwCaps2
inline constexpr uint32_t DDSCAPS_COMPLEX = 0x8;
inline constexpr uint32_t DDSCAPS_TEXTURE = 0x1000;
inline constexpr uint32_t DDSCAPS_MIPMAP = 0x400000;
inline constexpr uint32_t DDSCAPS2_CUBEMAP = 0x200;
inline constexpr uint32_t DDSCAPS2_CUBEMAP_POSITIVEX = 0x400;  // the face bits run +X .. -Z upwards
inline constexpr uint32_t DDSCAPS2_CUBEMAP_ALLFACES = 0xFC00;
inline constexpr uint32_t DDSCAPS2_VOLUME = 0x200000;

constexpr uint32_t FourCC(char a, char b, char c, char d) {
    return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 | uint32_t(uint8_t(d)) << 24;
}
inline constexpr uint32_t kFourCCDxt1 = FourCC('D', 'X', 'T', '1');
inline constexpr uint32_t kFourCCDxt3 = FourCC('D', 'X', 'T', '3');
inline constexpr uint32_t kFourCCDxt5 = FourCC('D', 'X', 'T', '5');
inline constexpr uint32_t kFourCCDx10 = FourCC('D', 'X', '1', '0');

// Some writers put a D3DFORMAT number in dwFourCC instead of describing the format with masks.
inline constexpr uint32_t D3DFMT_R8G8B8 = 20;
inline constexpr uint32_t D3DFMT_A8R8G8B8 = 21;
inline constexpr uint32_t D3DFMT_X8R8G8B8 = 22;
inline constexpr uint32_t D3DFMT_A8B8G8R8 = 32;
inline constexpr uint32_t D3DFMT_X8B8G8R8 = 33;

inline uint32_t ReadU32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline void WriteU32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

}  // namespace velor::dds
