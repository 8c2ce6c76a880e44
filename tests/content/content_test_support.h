#pragma once
// Shared helpers for the content tests: generate one file, read it as text or as a decoded image.

#include <gtest/gtest.h>

#include <string>

#include "engine/image/image_decode.h"
#include "tools/contentgen/content_catalog.h"

namespace velor::content::testing {

inline std::string GeneratedText(const std::string& path) {
    const Blob blob = GenerateOne(path);
    EXPECT_TRUE(blob.ok()) << blob.error;
    return std::string(blob.bytes.begin(), blob.bytes.end());
}

inline TextureImage GeneratedImage(const std::string& path) {
    const Blob blob = GenerateOne(path);
    EXPECT_TRUE(blob.ok()) << blob.error;
    ImageResult<TextureImage> img = LoadImageFromMemory(blob.bytes.data(), blob.bytes.size(), path);
    EXPECT_TRUE(img.ok()) << img.error();
    return img ? *img : TextureImage{};
}

}  // namespace velor::content::testing
