#pragma once
// Saves what a window shows on the screen as a PNG file, for looking at a test's dialog.

#include <windows.h>

#include <string>

namespace kesto::testing {

// False when the window cannot be captured or the file cannot be written.
bool SaveWindowPng(HWND window, const std::wstring& path);

}  // namespace kesto::testing
