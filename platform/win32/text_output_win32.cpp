#include "platform/text_output.h"

#include <io.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/win32/wide_text.h"

#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif

namespace kesto {

namespace {

// The console behind the stream; none when it goes to a file, a pipe or nowhere.
HANDLE ConsoleOf(std::FILE* stream) {
    const int descriptor = _fileno(stream);
    if (descriptor < 0) {
        return nullptr;
    }
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) {
        return nullptr;
    }
    // The progress bar redraws itself with the terminal's escape sequences; consoles that know
    // them take them once asked to, older ones leave the mode as it was.
    SetConsoleMode(handle, mode | ENABLE_PROCESSED_OUTPUT | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    return handle;
}

// Writes the wide text in pieces a console takes at once, never splitting a surrogate pair.
void WriteConsoleText(HANDLE console, std::wstring_view text) {
    constexpr std::size_t kPiece = 4096;
    while (!text.empty()) {
        std::size_t count = std::min(kPiece, text.size());
        if (count < text.size() && IS_HIGH_SURROGATE(text[count - 1])) {
            --count;
        }
        DWORD written = 0;
        if (!WriteConsoleW(console, text.data(), static_cast<DWORD>(count), &written, nullptr) ||
            written == 0) {
            return;
        }
        text.remove_prefix(std::min<std::size_t>(written, text.size()));
    }
}

}  // namespace

void WriteText(std::FILE* stream, std::string_view utf8) {
    if (const HANDLE console = ConsoleOf(stream)) {
        std::fflush(stream);  // what the stream still holds goes out first
        WriteConsoleText(console, win32::Widen(utf8));
        return;
    }
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
}

}  // namespace kesto
