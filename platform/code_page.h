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
    // The code page the marketplace's texts travel in, both ways. On Windows GBK, whatever the
    // thread's ANSI code page is. On POSIX systems the thread's ANSI code page, as kesto-market
    // speaks it by default (UTF-8 under a UTF-8 locale).
    Marketplace,
};

// Characters the code page lacks become '?'.
std::string EncodeText(std::string_view utf8, CodePage page);
// Byte sequences that are invalid in the code page become U+FFFD.
std::string DecodeText(std::string_view bytes, CodePage page);
// The code page's name for people: "GBK", "UTF-8", the locale's codeset.
std::string CodePageName(CodePage page);

}  // namespace kesto
