#pragma once
// The text layer of the platform: conversion between the program's UTF-8 text and the bytes of
// a code page. Implemented with iconv on POSIX systems and with the Win32 code-page functions on
// Windows.

#include <string>
#include <string_view>

namespace kesto {

enum class CodePage {
    // The calling thread's ANSI code page. On POSIX systems: the codeset of the thread's locale,
    // and UTF-8 where that locale is the plain C/POSIX one (whose codeset is only ASCII).
    ThreadAnsi,
    // Code page 936 (GBK), the ANSI code page of Simplified Chinese systems.
    Gbk,
    Utf8,
};

// Characters the code page lacks become '?'.
std::string EncodeText(std::string_view utf8, CodePage page);
// Byte sequences that are invalid in the code page become U+FFFD.
std::string DecodeText(std::string_view bytes, CodePage page);

}  // namespace kesto
