#pragma once
// Window 6: the fire animation under the scrolling title and greetings.
namespace velor::demo {

void DrawScroller();

}  // namespace velor::demo
