#pragma once
// An error the user must see before the program ends, like Win32's MessageBox with MB_ICONERROR.
#include <string>

namespace velor {

// On Windows, where a program started from the desktop has no console to print to, a modal box with
// `text` under `caption`; elsewhere nothing (the caller prints the line to stderr as well).
void ShowErrorBox(const char* caption, const std::string& text);

}  // namespace velor
