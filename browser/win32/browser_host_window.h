#pragma once
// The child window class that hosts one OLE control: "AtlAxWin80" (and its licensed twin
// "AtlAxWinLic80"). Each window holds a reference to the control site of its control and closes
// the control when it is destroyed. Two registered messages answer the site ("WM_ATLGETHOST") and
// the control
// ("WM_ATLGETCONTROL") as IUnknown pointers that the caller does not own. The focus given to the
// host window goes on to the control.

#include <windows.h>

#include <ole2.h>
#include <wrl/client.h>

#include "browser/win32/control_site.h"

namespace kesto::win32 {

inline constexpr wchar_t kHostWindowClass[] = L"AtlAxWin80";
inline constexpr wchar_t kLicensedHostWindowClass[] = L"AtlAxWinLic80";

// Registers the host window classes and messages; once per process, later calls do nothing.
// False when a class cannot be registered.
bool RegisterHostWindowClasses();

// Creates the control of the class named by its brace-enclosed identity text in the host window.
HRESULT CreateControlInHost(HWND host, const wchar_t* classText);

// Creates the control the maker makes in the host window.
HRESULT CreateControlInHost(HWND host, const ControlMaker& makeControl);

// The control hosted in the window, or null.
Microsoft::WRL::ComPtr<IUnknown> HostedControl(HWND host);

// Hands a key message to the hosted control's in-place active object first; true when the
// control translated it, so that the message must not be dispatched.
bool ForwardKeyToHostedControl(HWND host, MSG& message);

// Tells the hosted control that its top-level window was activated (UI-activating it and giving
// it the keyboard focus) or deactivated.
void OnHostFrameActivate(HWND host, bool active);

}  // namespace kesto::win32
