// Process facts on Windows.

#include <windows.h>
// shellapi.h and io.h need the types windows.h defines.
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <vector>

#include "platform/system.h"
#include "platform/translation.h"
#include "platform/win32/wide_text.h"

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

std::vector<std::string> ProgramArguments(int, char**) {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> result;
    for (int i = 1; arguments != nullptr && i < count; ++i) {
        result.push_back(win32::Narrow(arguments[i]));
    }
    LocalFree(arguments);
    return result;
}

bool StandardInputIsTerminal() {
    return _isatty(_fileno(stdin)) != 0;
}

bool StandardErrorIsTerminal() {
    return _isatty(_fileno(stderr)) != 0;
}

std::FILE* TakeStandardOutput() {
    std::fflush(stdout);
    const int kept = _dup(_fileno(stdout));
    const int null = _open("NUL", _O_WRONLY);
    if (kept < 0 || null < 0 || _dup2(null, _fileno(stdout)) < 0) {
        if (kept >= 0) {
            _close(kept);
        }
        if (null >= 0) {
            _close(null);
        }
        return nullptr;
    }
    _close(null);
    return _fdopen(kept, "wb");
}

std::string UserDataFolder() {
    wchar_t folder[MAX_PATH] = {};
    if (SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, folder) != S_OK) {
        return {};
    }
    return win32::Narrow(folder) + "\\";
}

std::string UserDataFolderHint() {
    return Translate("see that this user's local application data folder (%LOCALAPPDATA%) exists");
}

std::vector<std::string> SystemDataFolders() {
    return {};
}

std::vector<std::string> InstalledProgramFolders() {
    std::vector<std::string> folders;
    for (const int id : {CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86}) {
        wchar_t folder[MAX_PATH] = {};
        if (SHGetFolderPathW(nullptr, id, nullptr, 0, folder) == S_OK && folder[0] != L'\0') {
            folders.push_back(win32::Narrow(folder) + "\\");
        }
    }
    return folders;
}

}  // namespace kesto
