#pragma once
// One line of text rasterised on the CPU into an opaque image: light text on a dark box, for drawing
// straight into a window's pixels (present_overlay.h) where no device draw may reach.
#include <string>

#include "engine/gfx/present_overlay.h"

namespace velor {

// `cellHeight` is the line's height in real pixels, the box's margin a quarter of it. An empty image
// with the reason in `error` when no font can be opened.
OverlayImage RenderTextLine(const std::string& text, int cellHeight, std::string* error);

}  // namespace velor
