#pragma once
// Opening a file or an address in the user's default program through the shell.

#include <functional>
#include <string>

namespace kesto::win32 {

// Asks the shell to "open" the target (no owner window, no parameters, no working folder, shown
// normally); true when the shell reports success.
bool ShellOpen(const std::wstring& target);

// The same on a short-lived thread of its own, so that a slow browser start never holds up the
// caller; notOpened, when given, is called on that thread if the shell reports failure.
void ShellOpenOnOwnThread(std::wstring target, std::function<void()> notOpened = {});

}  // namespace kesto::win32
