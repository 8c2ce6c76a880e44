// PLACEHOLDER: empty bodies until this file's owner fills it in.
#include "demo/scene/skeleton.h"

namespace velor::demo {

void LoadSkeleton() {}
void UpdateHierarchy(int) {}
void DrawHierarchy(int) {}

}  // namespace velor::demo
