#pragma once
// The document mode the web-browser control renders the program's pages in. Without a setting
// the control uses its oldest mode, in which modern login scripts fail; the current user's
// FEATURE_BROWSER_EMULATION settings name a mode per executable file name, which needs no
// administrator rights.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace kesto::win32 {

inline constexpr wchar_t kBrowserEmulationKey[] =
    L"Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION";

// The highest document mode of an engine of the version ("11.0.19041.1"; an old-style "9.11.x"
// names engine 11), for engines 7 to 11 and later; nothing for an older engine or a text that is
// not a version.
std::optional<DWORD> EmulationModeForEngineVersion(std::wstring_view version);

// The installed engine's version text from the machine's settings; empty when none is found.
std::wstring InstalledEngineVersion();

// Writes the installed engine's highest document mode for the running executable's file name
// into the current user's emulation settings. False when the engine is unknown or the value
// cannot be written.
bool SetBrowserEmulationForThisProgram();

}  // namespace kesto::win32
