#include "browser/win32/browser_host_window.h"

#include "browser/win32/control_site.h"

namespace kesto::win32 {

namespace {

ControlSite* SiteOf(HWND host) {
    return reinterpret_cast<ControlSite*>(GetWindowLongPtrW(host, GWLP_USERDATA));
}

// The site of a host window that still exists; null for any other window.
ControlSite* LiveSiteOf(HWND host) {
    return host != nullptr && IsWindow(host) ? SiteOf(host) : nullptr;
}

LRESULT CALLBACK HostProcedure(HWND host, UINT message, WPARAM wParam, LPARAM lParam) {
    ControlSite* site = SiteOf(host);
    switch (message) {
        case WM_NCCREATE:
            // The window holds a reference to its site from here until WM_NCDESTROY.
            SetWindowLongPtrW(host, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(ControlSite::Create(host).Detach()));
            break;
        case WM_SIZE:
            if (site != nullptr) {
                site->Resize();
            }
            return 0;
        case WM_SETFOCUS:
            if (site != nullptr) {
                site->FocusControl();
            }
            return 0;
        case WM_DESTROY:
            if (site != nullptr) {
                site->CloseControl();
            }
            break;
        case WM_NCDESTROY: {
            // The window's reference, given back as the pointer goes.
            Microsoft::WRL::ComPtr<ControlSite> held;
            *held.GetAddressOf() = site;
            SetWindowLongPtrW(host, GWLP_USERDATA, 0);
            break;
        }
        default:
            if (site != nullptr && message == RegisterWindowMessageW(L"WM_ATLGETHOST")) {
                return reinterpret_cast<LRESULT>(static_cast<IOleClientSite*>(site));
            }
            if (site != nullptr && message == RegisterWindowMessageW(L"WM_ATLGETCONTROL")) {
                return reinterpret_cast<LRESULT>(site->Control().Get());
            }
            break;
    }
    return DefWindowProcW(host, message, wParam, lParam);
}

bool RegisterHostClass(const wchar_t* name) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = &HostProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = name;
    return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

bool RegisterHostWindowClasses() {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(GetModuleHandleW(nullptr), kHostWindowClass, &existing)) {
        return true;
    }
    RegisterWindowMessageW(L"WM_ATLGETHOST");
    RegisterWindowMessageW(L"WM_ATLGETCONTROL");
    return RegisterHostClass(kHostWindowClass) && RegisterHostClass(kLicensedHostWindowClass);
}

HRESULT CreateControlInHost(HWND host, const wchar_t* classText) {
    if (LiveSiteOf(host) == nullptr) {
        return E_INVALIDARG;
    }
    CLSID controlClass{};
    const HRESULT parsed = CLSIDFromString(classText, &controlClass);
    if (FAILED(parsed)) {
        return parsed;
    }
    return CreateControlInHost(host, MakeControlOfClass(controlClass));
}

HRESULT CreateControlInHost(HWND host, const ControlMaker& makeControl) {
    ControlSite* site = LiveSiteOf(host);
    return site != nullptr ? site->CreateControl(makeControl) : E_INVALIDARG;
}

Microsoft::WRL::ComPtr<IUnknown> HostedControl(HWND host) {
    ControlSite* site = LiveSiteOf(host);
    return site != nullptr ? site->Control() : nullptr;
}

bool ForwardKeyToHostedControl(HWND host, MSG& message) {
    ControlSite* site = LiveSiteOf(host);
    return site != nullptr && site->TranslateKey(message);
}

void OnHostFrameActivate(HWND host, bool active) {
    ControlSite* site = LiveSiteOf(host);
    if (site == nullptr) {
        return;
    }
    site->OnFrameActivate(active);
    if (active) {
        site->FocusControl();
    }
}

}  // namespace kesto::win32
