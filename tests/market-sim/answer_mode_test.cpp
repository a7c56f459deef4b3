#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "market-sim/answer_mode.h"
#include "market_requests.h"
#include "support/ascii_text.h"

namespace kesto::sim::testing {
namespace {

constexpr char kManage[] = "http://manage.kesto.example";
constexpr char kCategoryList[] =
    "http://manage.kesto.example/cgi-bin/mycategory/showjson?g_tk=7302518846&g_ty=ajax";
constexpr char kCategoryUpdate[] =
    "http://manage.kesto.example/cgi-bin/mycategory/update?g_tk=7302518846&g_ty=ajax";
const httplib::Headers kReferer = {
    {"Referer", "http://manage.kesto.example/myshop/shopLayout.shtml"}};

// The ids a client finds in a category list: after each "cate_id": (in lower case), the text
// between the next two double quotes.
std::set<std::string> FindCategoryIds(const std::string& answer) {
    const std::string lower = AsciiLower(answer);
    constexpr std::string_view kKey = "\"cate_id\":";
    std::set<std::string> ids;
    for (auto key = lower.find(kKey); key != std::string::npos; key = lower.find(kKey, key + 1)) {
        const auto open = lower.find('"', key + kKey.size());
        const auto close = open == std::string::npos ? open : lower.find('"', open + 1);
        if (close != std::string::npos) {
            ids.insert(lower.substr(open + 1, close - open - 1));
        }
    }
    return ids;
}

std::set<std::string> StateCategoryIds(MarketFixture& market) {
    const Json::Value state = ShopState(market);
    std::set<std::string> ids;
    for (const auto& category : state["categories"]) {
        ids.insert(category["id"].asString());
    }
    return ids;
}

class AnswerModeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        market.Login("10001", "kesto123");
        headerFsid = AddShopHeader(market);
        folder = MakeAlbumFolder(market, "主页面");
    }

    httplib::Result UpdateCategories(const std::string& records) {
        return market.Post(kCategoryUpdate, "updatestr=" + records, kFormType);
    }

    // Uploads a picture into the folder and returns its album path ("/<folder>/<picture>").
    std::string UploadedPicturePath() {
        SendUploadRequest(market, UploadRequestBody("10001", market.sessionKey()));
        const std::string picture = FakeJpeg(2000);
        UploadPicture(market, folder, picture, Md5Hex(picture));
        const Json::Value pictures = ShopState(market)["album"]["folders"][0]["pictures"];
        return folder + pictures[pictures.size() - 1]["id"].asString();
    }

    MarketFixture market;
    std::string headerFsid;
    std::string folder;
};

TEST_F(AnswerModeTest, DocumentedAnswersDropTheRichExtrasAndKeepTheirMarkers) {
    std::size_t run = 0;  // keeps the names created in each mode apart
    const std::string customFsid =
        ShopState(market)["layout"]["shopFrame"][0]["areas"][1]["fsid"].asString();
    const std::string big = FakeJpeg(327681);
    struct Case {
        const char* endpoint;
        std::function<httplib::Result()> send;
        std::vector<std::string> markers;  // in every success answer
        std::vector<std::string> extras;   // in rich answers only
    };
    const Case cases[] = {
        {"layoutshow",
         [&] {
             return market.Get(
                 std::string(kManage) +
                     "/cgi-bin/modularmanage/layoutshow?page=1&pageid=0&g_tk=" + market.Token(),
                 kReferer);
         },
         {"\"data\":{"},
         {"errCode", "\"msg\""}},
        {"layoutupdate",
         [&] {
             const std::string text = "1^0^0^0^0^0^" +
                                      ShopState(market)["layout"]["shopBanner"]["fsid"].asString() +
                                      "^1^0^0|1^0^0^0^9^1^" + headerFsid + "^1^0^0";
             return market.Post(
                 std::string(kManage) +
                     "/cgi-bin/modularmanage/layoutupdate?g_tk=" + market.Token() + "&g_ty=ajax",
                 "page=1&pageid=0&layoutinfo=" + FormEncode(text), kFormType, kReferer);
         },
         {"\"errCode\":\"0\""},
         {"\"msg\""}},
        {"contentinfoshow",
         [&] { return market.Get(std::string(kManage) + "/cgi-bin/myshop/contentinfoshow"); },
         {"shopData=", "fsid:\"" + customFsid + "\"", "</script>"},
         {"uin:"}},
        {"moduleedit",
         [&] {
             return market.Post(
                 std::string(kManage) + "/cgi-bin/modularmanage/moduleedit?g_tk=" + market.Token() +
                     "&g_ty=j132",
                 "mid=13&prop=416&flag=0&fsid=" + customFsid +
                     "&title=%E8%87%AA%E5%AE%9A%E4%B9%89%E5%86%85%E5%AE%B9&pageid=0&page=1&segid="
                     "0&bannerstyle=0&content=7:0&tssinfo=hi",
                 kFormType);
         },
         {},
         {"errcode", "\"fsid\""}},
        {"picbanneredit",
         [&] { return SendShopSign(market, "", FakeJpeg(1000), ShopSignFields(headerFsid)); },
         {},
         {"errcode"}},
        {"picbanneredit first chunk",
         [&] {
             return SendShopSign(market, ShopSignChunkHead(0, false), big.substr(0, 327680),
                                 ShopSignFields(headerFsid));
         },
         {},
         {"errcode"}},
        {"picbanneredit last chunk",
         [&] {
             return SendShopSign(market, ShopSignChunkHead(327680, true), big.substr(327680),
                                 ShopSignFields(headerFsid));
         },
         {},
         {"errcode"}},
        {"showjson",
         [&] { return market.Get(kCategoryList); },
         {"\"cate_id\":\""},
         {"errCode", "\"name\"", "\"pic\"", "\"parent_id\""}},
        {"update",
         [&] { return UpdateCategories("10000^0^1^0^2^c" + std::to_string(run) + "^^"); },
         {},
         {"errCode"}},
        {"photomanage",
         [&] { return market.Get(std::string(kAlbum) + "/album/photomanage?PTAG=1015.1.53"); },
         {"Kesto相册"},
         {}},
        {"createdir",
         [&] {
             return market.Post(std::string(kAlbum) + "/album/createdir?g_xx",
                                "path=/&name=d" + std::to_string(run), kFormType);
         },
         {"<name>d", "<id>"},
         {"<errcode>"}},
        {"batchdel",
         [&] {
             const std::string made = MakeAlbumFolder(market, "x" + std::to_string(run));
             return market.Post(std::string(kAlbum) + "/album/batchdel?",
                                "items=" + FormEncode(made.substr(0, made.size() - 1) + ":0"),
                                kFormType);
         },
         {},
         {"<errcode>", "<deleted>"}},
        {"UpReq",
         [&] { return SendUploadRequest(market, UploadRequestBody("10001", market.sessionKey())); },
         {"<uploadurl>http://", "</uploadurl>"},
         {"<errcode>"}},
        {"UploadPicActivex",
         [&] {
             const std::string picture = FakeJpeg(1500 + run);
             return UploadPicture(market, folder, picture, Md5Hex(picture));
         },
         {"returnurl>[http://album.kesto.example/photo/10001/", "]"},
         {"errcode"}},
        {"dirlist",
         [&] { return market.Get(std::string(kAlbum) + "/album/dirlist?path=" + folder); },
         {"<file>", "<name>a.jpg</name><id>"},
         {"<errcode>", "<type>", "<url>", "<path>"}},
    };
    for (const AnswerMode mode : {AnswerMode::kRich, AnswerMode::kDocumented}) {
        ++run;
        market.server().SetAnswerMode(mode);
        const bool rich = mode == AnswerMode::kRich;
        for (const auto& c : cases) {
            const auto result = c.send();
            const std::string what = std::string(AnswerModeName(mode)) + " " + c.endpoint;
            ASSERT_TRUE(result) << what;
            ASSERT_EQ(result->status, 200) << what << ": " << market.LastViolation();
            EXPECT_FALSE(result->body.empty()) << what;
            for (const auto& marker : c.markers) {
                EXPECT_NE(result->body.find(marker), std::string::npos)
                    << what << " lacks " << marker << ": " << result->body;
            }
            for (const auto& extra : c.extras) {
                EXPECT_EQ(result->body.find(extra) != std::string::npos, rich)
                    << what << " and " << extra << ": " << result->body;
            }
        }
    }
    EXPECT_EQ(market.ViolationCount(), 0u) << market.LastViolation();
}

TEST_F(AnswerModeTest, DocumentedCategoryListKeepsEveryIdFindableWhateverTheNames) {
    market.server().SetAnswerMode(AnswerMode::kDocumented);
    // Names with quotes, a backslash, a fake id and a line break, percent-encoded.
    ASSERT_EQ(UpdateCategories("10000^0^1^0^2^a%22%2C%22cate_id%22%3A%2299%22^^|"
                               "10001^10000^2^0^2^%27b%5C%27%0A^http%3A%2F%2Fx%2Fp.jpg%22^")
                  ->status,
              200);
    const auto list = market.Get(kCategoryList);
    ASSERT_TRUE(list);
    EXPECT_EQ(FindCategoryIds(list->body), StateCategoryIds(market)) << list->body;
}

TEST_F(AnswerModeTest, BatchdelTakesPicturePathsOnlyInRichMode) {
    for (const auto& [mode, status] :
         {std::pair{AnswerMode::kDocumented, 400}, std::pair{AnswerMode::kRich, 200}}) {
        market.server().SetAnswerMode(mode);
        const std::string path = UploadedPicturePath();
        const std::size_t before = ShopState(market)["album"]["folders"][0]["pictures"].size();
        const auto result = market.Post(std::string(kAlbum) + "/album/batchdel?",
                                        "items=" + FormEncode(path + ":0"), kFormType);
        ASSERT_TRUE(result);
        EXPECT_EQ(result->status, status) << AnswerModeName(mode);
        EXPECT_EQ(ShopState(market)["album"]["folders"][0]["pictures"].size(),
                  status == 200 ? before - 1 : before)
            << AnswerModeName(mode);
    }
}

TEST_F(AnswerModeTest, DuplicateTopLevelNamesAreRefusedOnlyWhenAskedTo) {
    struct Case {
        const char* what;
        bool refuse;
        std::string records;
        int status;
    };
    // OLD stands for the id of the shop's one category, "旧分类", after each reset.
    const std::string oldName = FormEncode("旧分类");
    const Case cases[] = {
        {"taken by default", false, "10000^0^1^0^2^" + oldName + "^^", 200},
        {"an existing top-level name", true, "10000^0^1^0^2^" + oldName + "^^", 409},
        {"twice in one update", true, "10000^0^1^0^2^N^^|10001^0^1^0^2^N^^", 409},
        {"a sub-category's name", true, "10000^0^1^0^2^T^^|10001^10000^2^0^2^" + oldName + "^^",
         200},
        {"after deleting the old one", true, "OLD^^^^3^^^|10000^0^1^0^2^" + oldName + "^^", 200},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(market.Control("POST", "/control/shops/10001/reset")->status, 200);
        market.server().SetRefuseDuplicateCategoryNames(c.refuse);
        const Json::Value before = ShopState(market)["categories"];
        std::string records = c.records;
        if (records.rfind("OLD", 0) == 0) {
            records.replace(0, 3, before[0]["id"].asString());
        }
        const auto result = UpdateCategories(records);
        ASSERT_TRUE(result) << c.what;
        EXPECT_EQ(result->status, c.status) << c.what << ": " << market.LastViolation();
        if (c.status != 200) {
            EXPECT_EQ(ShopState(market)["categories"], before) << c.what;
        }
    }
}

TEST_F(AnswerModeTest, ModeIsParsedAndSetThroughTheControlInterface) {
    for (const auto mode : {AnswerMode::kRich, AnswerMode::kDocumented}) {
        EXPECT_EQ(ParseAnswerMode(AnswerModeName(mode)), mode);
    }
    for (const char* bad : {"", "Rich", "documented ", "plain"}) {
        EXPECT_FALSE(ParseAnswerMode(bad)) << bad;
    }
    EXPECT_NE(market.Control("GET", "/control/answers")->body.find("\"rich\""), std::string::npos);
    EXPECT_EQ(market.Control("POST", "/control/answers?mode=documented")->status, 200);
    EXPECT_EQ(market.server().answerMode(), AnswerMode::kDocumented);
    EXPECT_NE(market.Control("GET", "/control/answers")->body.find("\"documented\""),
              std::string::npos);
    EXPECT_EQ(market.Control("POST", "/control/answers?mode=terse")->status, 400);
    EXPECT_EQ(market.server().answerMode(), AnswerMode::kDocumented);
}

}  // namespace
}  // namespace kesto::sim::testing
