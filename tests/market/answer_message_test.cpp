#include "market/answer_message.h"

#include <gtest/gtest.h>

#include <string>

namespace kesto {
namespace {

TEST(AnswerMessageTest, QuotesTheMarketplacesOwnWordsOnOneLine) {
    const struct {
        std::string answer;
        std::string message;
    } cases[] = {
        {R"({"errCode":"-1","msg":"no category has the id 5"})", "no category has the id 5"},
        {R"({"Message" : "a \"quoted\"\nword"})", "a \"quoted\" word"},
        {"<result><errcode>1</errcode><msg>the album is full &amp; more</msg></result>",
         "the album is full & more"},
        {"<result><MESSAGE>\n  spaced\t out  </MESSAGE></result>", "spaced out"},
        {R"({"msg":"","message":"second"})", "second"},
        {R"({"msg":7})", ""},
        {"<html><title>502 Bad Gateway</title></html>", ""},
        {"", ""},
        {R"({"msg":")" + std::string(250, 'x') + "\"}", std::string(200, 'x') + "..."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AnswerMessage(c.answer), c.message) << c.answer;
    }
    EXPECT_EQ(WithAnswerMessage("album.kesto.example answered 400",
                                "<result><msg>the album is full</msg></result>"),
              "album.kesto.example answered 400 (\"the album is full\")");
    EXPECT_EQ(WithAnswerMessage("x answered 502", "<h1>502</h1>"), "x answered 502");
}

}  // namespace
}  // namespace kesto
