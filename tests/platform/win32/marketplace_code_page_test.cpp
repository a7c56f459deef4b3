// On Windows the marketplace's texts travel in GBK whatever the system's ANSI code page is: a
// Western or a Traditional Chinese Windows sends the same bytes as a Simplified Chinese one, and
// reads the marketplace's answers alike.

#include <gtest/gtest.h>

#include <string>

#include "market/http_request.h"
#include "market/kesto_uploader.h"
#include "support/file_path.h"
#include "tests/common/capture_server.h"
#include "tests/common/chinese_code_page.h"
#include "tests/common/temp_folder.h"

namespace kesto {
namespace {

using testing::CaptureServer;
using testing::HttpAnswer;
using testing::TempFolder;
using testing::ThreadCodePage;

// 店铺招牌（含有导航页卡）, the shop sign's title, in UTF-8 and in GBK.
const std::string kTitleUtf8 =
    "\xE5\xBA\x97\xE9\x93\xBA\xE6\x8B\x9B\xE7\x89\x8C\xEF\xBC\x88\xE5\x90\xAB\xE6\x9C\x89\xE5\xAF"
    "\xBC\xE8\x88\xAA\xE9\xA1\xB5\xE5\x8D\xA1\xEF\xBC\x89";
const std::string kTitleGbk =
    "\xB5\xEA\xC6\xCC\xD5\xD0\xC5\xC6\xA3\xA8\xBA\xAC\xD3\xD0\xB5\xBC\xBA\xBD\xD2\xB3\xBF\xA8\xA3"
    "\xA9";
// 已保存 ("saved"), an answer's text.
const std::string kSavedUtf8 = "\xE5\xB7\xB2\xE4\xBF\x9D\xE5\xAD\x98";
const std::string kSavedGbk = "\xD2\xD1\xB1\xA3\xB4\xE6";

TEST(MarketplaceCodePageTest, TextsGoOutAndComeBackInGbkWhateverTheThreadsCodePage) {
    for (const unsigned number : {936u, 950u, 1252u}) {
        const ThreadCodePage page(number);
        ASSERT_TRUE(page.Active()) << number;
        TempFolder folder;
        CaptureServer server({HttpAnswer(200, "errcode=0;" + kSavedGbk),
                              HttpAnswer(200, "<p>" + kSavedGbk + "</p>")});

        // A multipart head's file name (图.jpg) and a field's value.
        KestoUploader uploader(KestoUploader::kErrcodeRule);
        uploader.AddFile(nullptr, PathToUtf8(folder.Write("\xE5\x9B\xBE.jpg", "abc")));
        uploader.SetField("title", kTitleUtf8.c_str());
        uploader.fileFieldName = "photo";
        EXPECT_EQ(uploader.Upload(server.Url("/cgi-bin/modularmanage/picbanneredit").c_str()), 1)
            << number;

        // A form body, and the answer read back.
        RequestOptions options;
        std::string result;
        EXPECT_EQ(HttpRequest(result, server.Url("/cgi-bin/x").c_str(), options, kMethodPost,
                              ("title=" + kTitleUtf8).c_str(), false),
                  1);
        EXPECT_EQ(result, "<p>" + kSavedUtf8 + "</p>") << number;

        const auto requests = server.Requests();
        ASSERT_EQ(requests.size(), 2u) << number;
        EXPECT_NE(requests[0].body.find("filename=\"\xCD\xBC.jpg\""), std::string::npos) << number;
        EXPECT_NE(requests[0].body.find("name=\"title\"\r\n\r\n" + kTitleGbk + "\r\n"),
                  std::string::npos)
            << number;
        EXPECT_EQ(requests[1].body, "title=" + kTitleGbk) << number;
    }
}

}  // namespace
}  // namespace kesto
