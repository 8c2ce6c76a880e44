#pragma once
// The player's framing and monitor: `--frame wide|4:3` (velor, and the web page's ?frame=) and
// `--display N` (velor). Each parser takes the text after the flag and gives the value or one line
// saying what is wrong with it.
#include <string>

#include "engine/gfx/present_frame.h"

namespace velor::demo {

// "wide": the 16:9 middle of the back buffer; "4:3": all of it (engine/gfx/present_frame.h).
bool ParseFrameValue(const std::string& text, PresentFrame* frame, std::string* error);

// A monitor number counted from 0, up to 63; whether that monitor exists is known only once video
// is up (DisplayExists).
bool ParseDisplayValue(const std::string& text, int* display, std::string* error);

// Whether the machine has monitor `display` (-1, the system's choice, always); otherwise one line
// saying how many it has. A machine whose video cannot start passes: the window's creation reports it.
bool DisplayExists(int display, std::string* error);

}  // namespace velor::demo
