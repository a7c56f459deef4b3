// Text written to a console shows as written whatever the console's output code page: the
// screen buffer holds the characters, read back through the console's own interface. Runs when
// standard output is a console (under Wine: started on a terminal, as tests/platform registers
// it), else skips.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/text_output.h"

namespace kesto {
namespace {

// The characters of the row from its start, blanks and the second cell of a wide character
// (which a console may report twice) left out.
std::wstring RowCharacters(HANDLE console, SHORT row) {
    std::wstring cells(80, L' ');
    DWORD read = 0;
    ReadConsoleOutputCharacterW(console, cells.data(), static_cast<DWORD>(cells.size()), {0, row},
                                &read);
    cells.resize(read);
    std::wstring characters;
    for (const wchar_t cell : cells) {
        if (cell != L' ' && (characters.empty() || characters.back() != cell)) {
            characters += cell;
        }
    }
    return characters;
}

TEST(ConsoleTextTest, ChineseShowsWhateverTheConsolesCodePage) {
    const HANDLE console = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (console == INVALID_HANDLE_VALUE || !GetConsoleMode(console, &mode)) {
        GTEST_SKIP() << "standard output is no console here";
    }
    for (const UINT codePage : {936u, 1252u, 437u}) {
        SetConsoleOutputCP(codePage);
        std::fflush(stdout);
        WriteText(stdout, "\n");
        CONSOLE_SCREEN_BUFFER_INFO before{};
        ASSERT_TRUE(GetConsoleScreenBufferInfo(console, &before));
        WriteText(stdout,
                  "\xE8\xA3\x85\xE4\xBF\xAE\xE5\xAE\x8C\xE6\x88\x90\xE3\x80\x82");  // 装修完成。
        EXPECT_EQ(RowCharacters(console, before.dwCursorPosition.Y),
                  L"\u88C5\u4FEE\u5B8C\u6210\u3002")
            << "code page " << codePage;
        WriteText(stdout, "\n");
    }
}

}  // namespace
}  // namespace kesto
