#pragma once
// Whole-file reads and writes for the image loaders and writers, with messages that name the file.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/image/image.h"

namespace velor {

// Files larger than this are refused before anything is read: no texture the engine takes comes
// near it (an 8192 × 8192 A8R8G8B8 cube map with mips is about 2 GB, which the device could not
// hold anyway).
inline constexpr uint64_t kMaxImageFileBytes = uint64_t(1) << 30;

// The whole file, or "<path>: cannot open file" / "<path>: not a regular file" / "<path>: cannot read file".
ImageResult<std::vector<uint8_t>> ReadFileBytes(std::string_view path);

// Writes bytes to path, replacing the file; "<path>: cannot write file: <reason>" on failure.
ImageStatus WriteFileBytes(std::string_view path, const std::vector<uint8_t>& bytes);

}  // namespace velor
