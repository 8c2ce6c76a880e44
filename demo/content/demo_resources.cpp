// PLACEHOLDER: empty bodies until this file's owner fills it in.
#include "demo/content/demo_resources.h"

namespace velor::demo {

DemoResources gResources;

void CreateDemoResources() {}

}  // namespace velor::demo
