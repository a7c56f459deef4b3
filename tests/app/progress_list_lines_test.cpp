#include "app/progress_list_lines.h"

#include <gtest/gtest.h>

namespace kesto {
namespace {

using Lines = std::vector<std::string>;

TEST(ProgressListLinesTest, ALineWiderThanTheListIsShownWholeInIndentedPieces) {
    const struct {
        std::string line;
        std::size_t columns;
        Lines pieces;
    } cases[] = {
        {"主页面更新完成。", 96, {"主页面更新完成。"}},
        {"abc def ghi", 7, {"abc def", "  ghi"}},             // at the last blank
        {"abcdefghij", 4, {"abcd", "  ef", "  gh", "  ij"}},  // no blank: where the width ends
        {"原因：无法连接吧", 8, {"原因：无", "  法连接", "  吧"}},  // a Chinese character is two
        {"ab 原因", 5, {"ab", "  原因"}},
        {"", 10, {""}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProgressListLines(c.line, c.columns), c.pieces) << c.line;
    }
    // Every piece of a long reason fits, and nothing is lost but blanks.
    const std::string reason =
        "原因：uploading the main page picture big13.jpg: sending the "
        "picture: album.kesto.example answered 400 (\"the album is full\")";
    const auto withoutBlanks = [](std::string text) {
        std::erase(text, ' ');
        return text;
    };
    std::string joined;
    for (const std::string& piece : ProgressListLines(reason, 40)) {
        EXPECT_EQ(ProgressListLines(piece, 40).size(), 1u) << piece;
        joined += piece;
    }
    EXPECT_EQ(withoutBlanks(joined), withoutBlanks(reason));
}

}  // namespace
}  // namespace kesto
