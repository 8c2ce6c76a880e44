#pragma once
// Start-up overlap: image files a program is about to load are read and decoded on a background
// thread while it creates its window, parses meshes and compiles shaders. LoadImageFromFile takes a
// prefetched result for the same path (waiting for it if it is still being decoded), so the caller
// sees exactly what a direct load gives, errors included. Without threads it does nothing.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/image/image.h"

namespace velor {

// Starts decoding `paths` in order on one background thread. A second call ends the first.
void PrefetchImageFiles(std::vector<std::string> paths);

// The image files (.png .jpg .jpeg .tga .bmp .dds, any case) directly in `folder`, as
// "folder/name", sorted; none when the folder cannot be read.
std::vector<std::string> ImageFilesIn(std::string_view folder);

// Waits for the thread and drops whatever was not taken.
void EndImagePrefetch();

// The prefetched result for `path` (taken out: a second call finds nothing), or nothing when the path
// was not asked for.
std::optional<ImageResult<TextureImage>> TakePrefetchedImage(std::string_view path);

}  // namespace velor
