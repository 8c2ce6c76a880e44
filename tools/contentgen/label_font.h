#pragma once
// A 5 x 7 pixel font for labelling the contact sheet: capitals, digits and a little punctuation;
// lower-case letters are drawn as capitals.

#include <string>

#include "tools/contentgen/canvas.h"

namespace velor::content {

// Draws text with its top-left corner at (x, y), each font pixel `scale` canvas pixels square.
void DrawLabel(Canvas& canvas, int x, int y, const std::string& text, int scale, const Color& color);

inline constexpr int kLabelAdvance = 6;   // font pixels from one character to the next
inline constexpr int kLabelHeight = 7;

}  // namespace velor::content
