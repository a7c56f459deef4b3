// The text layer on Windows: the Win32 code-page conversion functions, with the calling thread's
// ANSI code page (CP_THREAD_ACP), and GBK (936) for the marketplace's texts whatever that is.

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/code_page.h"
#include "platform/win32/wide_text.h"

namespace kesto {

namespace {

UINT CodePageNumber(CodePage page) {
    switch (page) {
        case CodePage::Gbk:
        case CodePage::Marketplace:
            return 936;
        case CodePage::Utf8:
            return CP_UTF8;
        case CodePage::ThreadAnsi:
            break;
    }
    return CP_THREAD_ACP;
}

// The code page CP_THREAD_ACP stands for, for the functions that want a number.
UINT ResolvedCodePage(UINT codePage) {
    if (codePage != CP_THREAD_ACP) {
        return codePage;
    }
    DWORD number = 0;
    const int got =
        GetLocaleInfoW(GetThreadLocale(), LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                       reinterpret_cast<LPWSTR>(&number), sizeof(number) / sizeof(WCHAR));
    return got > 0 && number != 0 ? number : GetACP();
}

// The bytes decoded, or false when the code page does not define one of their sequences (or
// refuses the strict mode, which some code pages do).
bool DecodeStrictly(UINT codePage, const char* bytes, int count, std::wstring& wide) {
    const int length =
        MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes, count, nullptr, 0);
    if (length <= 0) {
        return false;
    }
    const std::size_t start = wide.size();
    wide.resize(start + static_cast<std::size_t>(length));
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes, count, wide.data() + start, length);
    return true;
}

// Decodes with a code page other than UTF-8. The system puts its default character ('?') or a
// private-use one where a sequence is not defined; here it becomes U+FFFD, as UTF-8's invalid
// bytes do, so that callers can tell text from bytes that are none.
std::wstring DecodeMarkingInvalid(UINT codePage, std::string_view bytes) {
    std::wstring wide;
    if (DecodeStrictly(codePage, bytes.data(), static_cast<int>(bytes.size()), wide)) {
        return wide;
    }
    if (GetLastError() != ERROR_NO_UNICODE_TRANSLATION) {
        const int length = MultiByteToWideChar(codePage, 0, bytes.data(),
                                               static_cast<int>(bytes.size()), nullptr, 0);
        wide.resize(static_cast<std::size_t>(length > 0 ? length : 0));
        MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(),
                            length);
        return wide;
    }
    const UINT number = ResolvedCodePage(codePage);
    for (std::size_t at = 0; at < bytes.size();) {
        const bool lead = at + 1 < bytes.size() &&
                          IsDBCSLeadByteEx(number, static_cast<BYTE>(bytes[at])) != FALSE;
        const int length = lead ? 2 : 1;
        if (DecodeStrictly(codePage, bytes.data() + at, length, wide)) {
            at += static_cast<std::size_t>(length);
        } else {
            wide += L'\xFFFD';
            ++at;  // the next byte may start a character of its own
        }
    }
    return wide;
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
    if (codePage != CP_UTF8) {
        return win32::Narrow(DecodeMarkingInvalid(codePage, bytes));
    }
    // UTF-8's invalid bytes become U+FFFD already.
    const int byteCount = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, 0, bytes.data(), byteCount, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) {
        MultiByteToWideChar(codePage, 0, bytes.data(), byteCount, wide.data(), length);
    }
    return win32::Narrow(wide);
}

std::string CodePageName(CodePage page) {
    const UINT number = ResolvedCodePage(CodePageNumber(page));
    switch (number) {
        case 936:
            return "GBK";
        case CP_UTF8:
            return "UTF-8";
        default:
            return "code page " + std::to_string(number);
    }
}

}  // namespace kesto
