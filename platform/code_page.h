#pragma once
// The text layer: conversion between the program's UTF-8 text and the bytes of a code page.
// Backends beside this file: win32/code_page_win32.cpp (MultiByteToWideChar and
// WideCharToMultiByte), posix/code_page_iconv.cpp (iconv).
//
// Contract
// - Never blocks, never fails: characters a code page lacks become '?', invalid bytes U+FFFD.
// - Limits: none beyond memory; the output is at most a few times the input's size.

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
