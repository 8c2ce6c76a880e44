// PLACEHOLDER: empty bodies until this file's owner fills it in.
#include "demo/terrain/forest.h"

namespace velor::demo {

void PlaceForest() {}
void DrawForest() {}

}  // namespace velor::demo
