#include <gtest/gtest.h>
#include <json/reader.h>

#include "market_fixture.h"

namespace kesto::sim::testing {
namespace {

constexpr char kManage[] = "http://manage.kesto.example";
constexpr char kForm[] = "application/x-www-form-urlencoded";
const httplib::Headers kReferer = {
    {"Referer", "http://manage.kesto.example/myshop/shopLayout.shtml "}};

class ProtocolTest : public ::testing::Test {
  protected:
    void SetUp() override { market.Login("10001", "kesto123"); }

    Json::Value ShopState() {
        const auto result = market.Control("GET", "/control/shops/10001");
        Json::Value state;
        Json::Reader().parse(result->body, state);
        return state;
    }

    std::string LayoutShow() {
        return std::string(kManage) +
               "/cgi-bin/modularmanage/layoutshow?page=1&pageid=0&g_tk=" + market.Token();
    }
    std::string LayoutUpdate() {
        return std::string(kManage) + "/cgi-bin/modularmanage/layoutupdate?g_tk=" + market.Token() +
               "&g_ty=ajax";
    }

    MarketFixture market;
};

TEST_F(ProtocolTest, LoginSetsTheThreeCookiesForTheWholeDomain) {
    EXPECT_NE(market.cookie.find("uin=o001"), std::string::npos);
    EXPECT_NE(market.cookie.find("ptui_loginuin=10001"), std::string::npos);
    EXPECT_EQ(market.sessionKey().size(), 10u);
    const auto portal = market.Get("http://www.kesto.example/");
    ASSERT_TRUE(portal);
    EXPECT_NE(portal->body.find("login_entry?LoginLevel=2\">登录</a>"), std::string::npos);
}

TEST_F(ProtocolTest, UnknownHostsGet502AndAbsoluteFormWithPort80Works) {
    EXPECT_EQ(market.Get("http://example.com/")->status, 502);
    httplib::Client client("127.0.0.1", market.port());
    const auto result = client.Get("http://www.kesto.example:80/");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);
    EXPECT_NE(result->body.find("登录"), std::string::npos);
}

TEST_F(ProtocolTest, LayoutRoundTripAddsTheModulesAndShowsTheirFsids) {
    const auto show = market.Get(LayoutShow(), kReferer);
    ASSERT_TRUE(show);
    ASSERT_EQ(show->status, 200) << show->body;
    EXPECT_NE(show->body.find("\"data\":{\"shopBanner\""), std::string::npos);
    const Json::Value layout = ShopState()["layout"];
    const std::string bannerFsid = layout["shopBanner"]["fsid"].asString();
    const std::string nav = layout["shopBanner"]["areas"][0]["fsid"].asString();
    const std::string info = layout["shopFrame"][0]["areas"][0]["fsid"].asString();
    const std::string custom = layout["shopFrame"][0]["areas"][1]["fsid"].asString();
    const std::string text = "1^0^0^0^0^0^" + bannerFsid + "^1^0^0|1^0^0^0^7^0^" + nav +
                             "^3^0^0|1^0^0^0^9^1^0^2^0^0|2^1^0^0^0^0^" + bannerFsid +
                             "^1^0^0|2^1^0^0^3^0^" + info + "^1^0^0|2^1^0^1^13^100^0^2^0^0|" +
                             "2^1^0^1^13^101^" + custom + "^3^0^0|3^2^1^0^0^0^" + bannerFsid +
                             "^1^0^0";
    const auto update = market.Post(
        LayoutUpdate(), "page=1&pageid=0&layoutinfo=" + FormEncode(text), kForm, kReferer);
    ASSERT_TRUE(update);
    EXPECT_NE(update->body.find("\"errCode\":\"0\""), std::string::npos) << update->body;
    const auto info_page = market.Get(std::string(kManage) + "/cgi-bin/myshop/contentinfoshow");
    ASSERT_TRUE(info_page);
    EXPECT_NE(info_page->body.find("shopData="), std::string::npos);
    EXPECT_NE(
        info_page->body.find("segsequence:\"0\",aid:\"0\",name:\"店铺招牌\",order:\"1\",mid:\"9\""),
        std::string::npos);
    EXPECT_NE(info_page->body.find(
                  "segsequence:\"1\",aid:\"1\",name:\"自定义内容\",order:\"100\",mid:\"13\""),
              std::string::npos);
    EXPECT_EQ(market.ViolationCount(), 0u) << market.LastViolation();
}

TEST_F(ProtocolTest, MalformedManageRequestsAreRefusedAndRecorded) {
    struct Case {
        const char* what;
        std::function<httplib::Result()> send;
        int status;
    };
    const Case cases[] = {
        {"no cookies",
         [&] {
             const std::string saved = market.cookie;
             market.cookie = "";
             auto r = market.Get(LayoutShow(), kReferer);
             market.cookie = saved;
             return r;
         },
         403},
        {"forged skey",
         [&] {
             const std::string saved = market.cookie;
             market.cookie = "uin=o001; skey=@forged123";
             auto r = market.Get(LayoutShow(), kReferer);
             market.cookie = saved;
             return r;
         },
         403},
        {"wrong token",
         [&] {
             return market.Get(
                 std::string(kManage) + "/cgi-bin/modularmanage/layoutshow?page=1&pageid=0&g_tk=1",
                 kReferer);
         },
         403},
        {"no referer", [&] { return market.Get(LayoutShow()); }, 403},
        {"garbage layout",
         [&] {
             return market.Post(LayoutUpdate(), "page=1&pageid=0&layoutinfo=%7C%5E%7C", kForm,
                                kReferer);
         },
         400},
        {"layout fields out of order",
         [&] {
             return market.Post(LayoutUpdate(), "pageid=0&page=1&layoutinfo=1", kForm, kReferer);
         },
         400},
        {"module edit without its fields",
         [&] {
             return market.Post(std::string(kManage) + "/cgi-bin/modularmanage/moduleedit?g_tk=" +
                                    market.Token() + "&g_ty=j132",
                                "mid=13&tssinfo=x", kForm);
         },
         400},
        {"category list with the session token",
         [&] {
             return market.Get(std::string(kManage) + "/cgi-bin/mycategory/showjson?g_tk=" +
                               market.Token() + "&g_ty=ajax");
         },
         403},
        {"deleting an unknown category",
         [&] {
             return market.Post(
                 std::string(kManage) + "/cgi-bin/mycategory/update?g_tk=7302518846&g_ty=ajax",
                 "updatestr=999999%5E%5E%5E%5E3%5E%5E%5E", kForm);
         },
         400},
    };
    for (const auto& c : cases) {
        const std::size_t before = market.ViolationCount();
        const auto result = c.send();
        ASSERT_TRUE(result) << c.what;
        EXPECT_EQ(result->status, c.status) << c.what;
        EXPECT_EQ(market.ViolationCount(), before + 1) << c.what;
    }
}

TEST_F(ProtocolTest, ModuleEditStoresTheCustomContent) {
    const std::string fsid = ShopState()["layout"]["shopFrame"][0]["areas"][1]["fsid"].asString();
    const std::string body =
        "mid=13&prop=416&flag=0&fsid=" + fsid +
        "&title=%E8%87%AA%E5%AE%9A%E4%B9%89%E5%86%85%E5%AE%B9&pageid=0&page="
        "1&segid=0&bannerstyle=0&content=7:0&tssinfo=%3Cp%3Ehi%3C%2Fp%3E+%E5%A5%BD";
    const auto result =
        market.Post(std::string(kManage) +
                        "/cgi-bin/modularmanage/moduleedit?g_tk=" + market.Token() + "&g_ty=j132",
                    body, kForm);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200) << result->body;
    EXPECT_EQ(ShopState()["customContent"][fsid].asString(), "<p>hi</p> 好");
    const auto front = market.Get("http://shop.kesto.example/10001?t=5");
    EXPECT_NE(front->body.find("<p>hi</p> 好"), std::string::npos);
    EXPECT_EQ(market.ViolationCount(), 0u) << market.LastViolation();
}

TEST_F(ProtocolTest, CategoriesAreDeletedAndCreatedAsATree) {
    const std::string list =
        std::string(kManage) + "/cgi-bin/mycategory/showjson?g_tk=7302518846&g_ty=ajax";
    const std::string update =
        std::string(kManage) + "/cgi-bin/mycategory/update?g_tk=7302518846&g_ty=ajax";
    const auto before = market.Get(list);
    ASSERT_TRUE(before);
    const std::string id = ShopState()["categories"][0]["id"].asString();
    EXPECT_NE(before->body.find("\"cate_id\":\"" + id + "\""), std::string::npos);
    EXPECT_EQ(market.Post(update, "updatestr=" + id + "%5E%5E%5E%5E3%5E%5E%5E", kForm)->status,
              200);
    EXPECT_EQ(market
                  .Post(update,
                        "updatestr=10000^0^1^0^2^Bags^^|10001^0^1^0^2^Shoes^^|"
                        "10002^10001^2^0^2^Shoes-Boots^^",
                        kForm)
                  ->status,
              200);
    const Json::Value categories = ShopState()["categories"];
    ASSERT_EQ(categories.size(), 3u);
    EXPECT_EQ(categories[2]["name"].asString(), "Shoes-Boots");
    EXPECT_EQ(categories[2]["parentId"].asString(), categories[1]["id"].asString());
    EXPECT_EQ(market.Post(update, "updatestr=", kForm)->status, 200);
    EXPECT_EQ(market.ViolationCount(), 0u) << market.LastViolation();
}

TEST_F(ProtocolTest, TransactionPasswordSwitchGuardsThePagesUntilEntered) {
    ASSERT_EQ(market.Control("POST", "/control/shops/10001/password?required=1")->status, 200);
    for (const char* page : {"http://manage.kesto.example/cgi-bin/myshop/contentinfoshow",
                             "http://album.kesto.example/album/photomanage?PTAG=1015.1.53"}) {
        const auto result = market.Get(page);
        ASSERT_TRUE(result);
        EXPECT_NE(result->body.find("交易密码验证"), std::string::npos) << page;
        EXPECT_NE(result->body.find("请输入交易密码"), std::string::npos) << page;
    }
    const auto entry = market.Get("http://member.kesto.example/cgi-bin/login_entry?LoginLevel=2");
    EXPECT_NE(entry->body.find("trade_verify"), std::string::npos);
    EXPECT_NE(market.Post("http://member.kesto.example/cgi-bin/trade_verify", "tp=000000", kForm)
                  ->body.find("交易密码不正确"),
              std::string::npos);
    EXPECT_EQ(
        market.Post("http://member.kesto.example/cgi-bin/trade_verify", "tp=888888", kForm)->status,
        302);
    const auto album = market.Get("http://album.kesto.example/album/photomanage?PTAG=1015.1.53");
    EXPECT_NE(album->body.find("Kesto相册"), std::string::npos);
    EXPECT_EQ(album->body.find("请输入交易密码"), std::string::npos);
}

TEST_F(ProtocolTest, ControlInterfaceResetsAShop) {
    const auto update =
        std::string(kManage) + "/cgi-bin/mycategory/update?g_tk=7302518846&g_ty=ajax";
    market.Post(update, "updatestr=10000^0^1^0^2^A^^", kForm);
    EXPECT_EQ(ShopState()["categories"].size(), 2u);
    EXPECT_EQ(market.Control("POST", "/control/shops/10001/reset")->status, 200);
    EXPECT_EQ(ShopState()["categories"].size(), 1u);
    EXPECT_EQ(market.Control("GET", "/control/shops/99")->status, 404);
}

}  // namespace
}  // namespace kesto::sim::testing
