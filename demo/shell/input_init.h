#pragma once

namespace velor::demo {

// Creates the keyboard and mouse devices bound to the main window.
void InitInput();
// Acquires both devices and reads their state (results ignored, as nothing acts on them).
void ReadInput();

}  // namespace velor::demo
