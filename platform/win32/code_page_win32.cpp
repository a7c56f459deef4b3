// The text layer on Windows: the Win32 code-page conversion functions, with the calling thread's
// ANSI code page (CP_THREAD_ACP).

#include <windows.h>

#include "platform/code_page.h"
#include "platform/win32/wide_text.h"

namespace kesto {

namespace {

UINT CodePageNumber(CodePage page) {
    switch (page) {
        case CodePage::Gbk:
            return 936;
        case CodePage::Utf8:
            return CP_UTF8;
        case CodePage::ThreadAnsi:
            break;
    }
    return CP_THREAD_ACP;
}

}  // namespace

std::string EncodeText(std::string_view utf8, CodePage page) {
    const std::wstring wide = win32::Widen(utf8);
    if (wide.empty()) {
        return {};
    }
    const UINT codePage = CodePageNumber(page);
    const int wideLength = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(codePage, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0) {
        WideCharToMultiByte(codePage, 0, wide.data(), wideLength, bytes.data(), length, nullptr,
                            nullptr);
    }
    return bytes;
}

std::string DecodeText(std::string_view bytes, CodePage page) {
    if (bytes.empty()) {
        return {};
    }
    const UINT codePage = CodePageNumber(page);
    const int byteCount = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, 0, bytes.data(), byteCount, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) {
        MultiByteToWideChar(codePage, 0, bytes.data(), byteCount, wide.data(), length);
    }
    return win32::Narrow(wide);
}

}  // namespace kesto
