// PLACEHOLDER: empty bodies until this file's owner fills it in.
#include "demo/overlay/scroller.h"

namespace velor::demo {

void DrawScroller() {}

}  // namespace velor::demo
