#pragma once
// Writing the program's own UTF-8 text to one of its streams.
// Backends beside this file: win32/text_output_win32.cpp, posix/text_output_posix.cpp.
//
// Contract: a stream that is a Windows console gets the text through the console's
// wide-character interface, so that Chinese shows whatever the console's code page; anything
// else (a file, a pipe, a terminal on POSIX systems, whose locale reads UTF-8) gets the UTF-8
// bytes unchanged. Never blocks beyond the stream's own write; a failed write is dropped.

#include <cstdio>
#include <string_view>

namespace kesto {

void WriteText(std::FILE* stream, std::string_view utf8);

}  // namespace kesto
