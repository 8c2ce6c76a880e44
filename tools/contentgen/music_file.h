#pragma once
// The music module, when the composer library is part of the build.

#include "tools/contentgen/blob.h"

namespace velor::content {

Blob ComposeMusicFile();

}  // namespace velor::content
