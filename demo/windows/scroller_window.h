#pragma once
// Window 6, from 98 s for as long as the program runs: the fire under the scrolling title and
// greetings.

namespace velor::demo {

// Start-up: the fonts of the title and the greetings, the greetings' colour and the fire's sprite.
void SetUpScrollerWindow();
void ScrollerWindowScene(float demoTime, float frameDelta);

}  // namespace velor::demo
