#pragma once
// Where a screenshot goes: the user's pictures folder as the XDG user directories name it, else the
// working folder.
#include <string>

namespace velor::demo {

// The pictures folder from the environment given (XDG_PICTURES_DIR, then the XDG_PICTURES_DIR line
// of $XDG_CONFIG_HOME/user-dirs.dirs or ~/.config/user-dirs.dirs, "$HOME" expanded), when it names a
// folder that exists; empty otherwise. `getenv` is std::getenv but for tests.
std::string PicturesFolder(const char* (*getenv)(const char*));

// A file name in `folder` (the working folder when empty) that does not exist yet:
// velor-<demo seconds>.png, then velor-<demo seconds>-2.png and on.
std::string ScreenshotPath(const std::string& folder, double demoSeconds);

}  // namespace velor::demo
