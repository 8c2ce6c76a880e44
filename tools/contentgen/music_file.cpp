#include "tools/contentgen/music_file.h"

#ifdef VELOR_HAVE_MUSIC
#include "tools/contentgen/music/module_composer.h"
#endif

namespace velor::content {

#ifdef VELOR_HAVE_MUSIC
bool HaveMusic() { return true; }

Blob ComposeMusicFile() {
    ComposedModule module = ComposeVelorModule();
    if (!module.Ok()) return Blob::Fail(module.error);
    return Blob{std::move(module.bytes), {}};
}
#else
bool HaveMusic() { return false; }

Blob ComposeMusicFile() { return Blob::Fail("the music composer is not part of this build"); }
#endif

}  // namespace velor::content
