#pragma once
// The music module, when the composer library is part of the build.

#include "tools/contentgen/blob.h"

namespace velor::content {

bool HaveMusic();
Blob ComposeMusicFile();   // fails when HaveMusic() is false

}  // namespace velor::content
