// PLACEHOLDER: empty bodies until this file's owner fills it in.
#include "demo/content/asset_pack.h"

namespace velor::demo {

void LoadAssets() {}

}  // namespace velor::demo
