#include "tools/contentgen/music_file.h"

#include "tools/contentgen/music/module_composer.h"

namespace velor::content {

Blob ComposeMusicFile() {
    ComposedModule module = ComposeVelorModule();
    if (!module.Ok()) return Blob::Fail(module.error);
    return Blob{std::move(module.bytes), {}};
}

}  // namespace velor::content
