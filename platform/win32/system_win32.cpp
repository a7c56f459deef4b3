// Process facts on Windows.

#include <windows.h>

#include <vector>

#include "platform/win32/wide_text.h"
#include "support/system.h"

namespace kesto {

LocalTime LocalTimeNow() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

unsigned long CurrentThreadId() {
    return GetCurrentThreadId();
}

std::string ExecutableFolder() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return ".\\";
        }
        if (length < path.size()) {
            std::wstring_view full(path.data(), length);
            return win32::Narrow(full.substr(0, full.find_last_of(L'\\') + 1));
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace kesto
