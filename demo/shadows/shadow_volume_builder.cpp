// PLACEHOLDER: empty bodies until this file's owner fills it in.
#include "demo/shadows/shadow_volume_builder.h"

namespace velor::demo {

void SetUpShadowVolume() {}
Result BuildShadowVolume(const Mesh&, std::shared_ptr<Mesh>*) { return Result::Fail; }

}  // namespace velor::demo
