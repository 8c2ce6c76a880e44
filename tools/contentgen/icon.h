#pragma once
// The program's icon for desktop menus: the demo's warm glow inside its cyan halo on a dark tile.
#include "tools/contentgen/canvas.h"

namespace velor::content {

inline constexpr int kIconSize = 128;  // the size installed (share/icons/hicolor/128x128/apps)

// RGBA; transparent around a rounded square.
Canvas PaintIcon(int size);

}  // namespace velor::content
