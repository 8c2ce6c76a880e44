#include "demo/timeline/demo_timeline.h"

#include "demo/shell/shell_state.h"

namespace velor::demo {

TimelineState gTimeline;

void DemoTimeline() {
    gTimeline.demoTime += gShell.frameDelta;
}

}  // namespace velor::demo
