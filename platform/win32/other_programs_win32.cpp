// Starting the suite's other programs on Windows: CreateProcessW with a command line quoted the
// way the started program's runtime splits it again, no shell.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/other_programs.h"
#include "platform/system.h"
#include "platform/win32/wide_text.h"

namespace kesto {

namespace {

// A process or thread handle, closed when it goes away.
struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

bool IsFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// One argument as CommandLineToArgvW and the C runtime read it back: quoted when it is empty or
// holds a blank or a quote; backslashes doubled only before a quote or the closing quote.
void AppendQuoted(std::wstring& line, const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        line += argument;
        return;
    }
    line += L'"';
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        line += c;
    }
    line.append(backslashes * 2, L'\\');
    line += L'"';
}

std::string SystemErrorText(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message(text != nullptr ? text : L"", length);
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                                message.back() == L' ' || message.back() == L'.')) {
        message.pop_back();
    }
    return win32::Narrow(message) + " (error " + std::to_string(error) + ")";
}

}  // namespace

std::string FindSuiteProgram(const std::string& name) {
    const std::wstring file = win32::Widen(name) + L".exe";
    if (const std::wstring beside = win32::Widen(ExecutableFolder()) + file; IsFile(beside)) {
        return win32::Narrow(beside);
    }
    const DWORD size = GetEnvironmentVariableW(L"PATH", nullptr, 0);
    std::wstring path(size, L'\0');
    path.resize(size > 0 ? GetEnvironmentVariableW(L"PATH", path.data(), size) : 0);
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t stop = path.find(L';', start);
        if (stop == std::wstring::npos) {
            stop = path.size();
        }
        std::wstring folder = path.substr(start, stop - start);
        start = stop + 1;
        if (folder.size() >= 2 && folder.front() == L'"' && folder.back() == L'"') {
            folder = folder.substr(1, folder.size() - 2);
        }
        if (folder.empty()) {
            continue;
        }
        if (folder.back() != L'\\' && folder.back() != L'/') {
            folder += L'\\';
        }
        if (IsFile(folder + file)) {
            return win32::Narrow(folder + file);
        }
    }
    return {};
}

ProgramEnd RunProgram(const std::string& path, const std::vector<std::string>& arguments) {
    const std::wstring program = win32::Widen(path);
    std::wstring line;
    AppendQuoted(line, program);
    for (const std::string& argument : arguments) {
        line += L' ';
        AppendQuoted(line, win32::Widen(argument));
    }
    // The program writes its messages to the caller's streams, which it would not get by itself
    // when it is a windowed program.
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION started{};
    ProgramEnd end;
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &started)) {
        end.error = SystemErrorText(GetLastError());
        return end;
    }
    const UniqueHandle process(started.hProcess);
    const UniqueHandle thread(started.hThread);
    end.started = true;
    DWORD code = 0;
    if (WaitForSingleObject(process.get(), INFINITE) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process.get(), &code)) {
        end.error = SystemErrorText(GetLastError());
        return end;
    }
    end.exitCode = static_cast<int>(code);
    return end;
}

bool WindowsCanBeShown() {
    return true;
}

}  // namespace kesto
