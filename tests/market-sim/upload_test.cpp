#include <gtest/gtest.h>

#include "market_requests.h"

namespace kesto::sim::testing {
namespace {

constexpr char kForm[] = "application/x-www-form-urlencoded";

class UploadTest : public ::testing::Test {
  protected:
    void SetUp() override { market.Login("10001", "kesto123"); }

    Json::Value ShopState() { return testing::ShopState(market); }
    std::string MakeFolder(const std::string& name) { return MakeAlbumFolder(market, name); }
    httplib::Result UploadPicture(const std::string& folder, const std::string& picture,
                                  const std::string& md5) {
        return testing::UploadPicture(market, folder, picture, md5);
    }
    httplib::Result UpReq(const std::string& body) { return SendUploadRequest(market, body); }

    MarketFixture market;
};

TEST_F(UploadTest, FoldersAreListedCreatedAndDeleted) {
    const std::string root = MakeFolder("第五代Kesto装修");
    const auto list = market.Get(std::string(kAlbum) + "/album/dirlist?path=/");
    ASSERT_TRUE(list);
    EXPECT_NE(list->body.find("<file><type>dir</type><name>第五代Kesto装修</name><id>" +
                              root.substr(1, root.size() - 2) + "</id>"),
              std::string::npos);
    // A second folder of the same name is refused.
    EXPECT_EQ(market
                  .Post(std::string(kAlbum) + "/album/createdir?g_xx",
                        "path=/&name=" + FormEncode("第五代Kesto装修"), kForm)
                  ->status,
              409);
    const std::string item = root.substr(0, root.size() - 1) + ":0";
    EXPECT_EQ(
        market.Post(std::string(kAlbum) + "/album/batchdel?", "items=" + FormEncode(item), kForm)
            ->status,
        200);
    EXPECT_EQ(ShopState()["album"]["folders"].size(), 0u);
    EXPECT_EQ(market.ViolationCount(), 1u);
}

TEST_F(UploadTest, PictureUploadNeedsTheUploadRequestAndStoresThePicture) {
    const std::string folder = MakeFolder("主页面");
    const std::string picture = FakeJpeg(5000);
    EXPECT_EQ(UploadPicture(folder, picture, Md5Hex(picture))->status, 400);  // no UpReq yet
    const auto upreq = UpReq(UploadRequestBody("10001", market.sessionKey()));
    ASSERT_TRUE(upreq);
    EXPECT_NE(upreq->body.find("<uploadurl>"), std::string::npos);
    EXPECT_NE(upreq->body.find("</uploadurl>"), std::string::npos);
    const auto result = UploadPicture(folder, picture, Md5Hex(picture));
    ASSERT_TRUE(result);
    ASSERT_EQ(result->status, 200) << result->body;
    const auto start = result->body.find("returnurl>[") + 11;
    const std::string address = result->body.substr(start, result->body.find(']') - start);
    EXPECT_EQ(address.rfind("http://album.kesto.example/photo/10001/", 0), 0u);
    const auto served = market.Get(address);
    ASSERT_TRUE(served);
    EXPECT_EQ(served->body, picture);
    EXPECT_EQ(market.ViolationCount(), 1u);
}

TEST_F(UploadTest, MalformedUploadsAreRefused) {
    const std::string folder = MakeFolder("分类");
    ASSERT_EQ(UpReq(UploadRequestBody("10001", market.sessionKey()))->status, 200);
    const std::string picture = FakeJpeg(3000);
    struct Case {
        const char* what;
        std::function<httplib::Result()> send;
    };
    const Case cases[] = {
        {"wrong MD5", [&] { return UploadPicture(folder, picture, std::string(32, '0')); }},
        {"unknown folder", [&] { return UploadPicture("/424242/", picture, Md5Hex(picture)); }},
        {"not a picture",
         [&] {
             return UploadPicture(folder, std::string(3000, 'x'), Md5Hex(std::string(3000, 'x')));
         }},
        {"UpReq with a final line break",
         [&] { return UpReq(UploadRequestBody("10001", market.sessionKey()) + "\r\n"); }},
        {"UpReq for another user",
         [&] { return UpReq(UploadRequestBody("10002", market.sessionKey())); }},
        {"UpReq cut short", [&] { return UpReq("--hellworld\r\nContent-Disposition: form"); }},
    };
    for (const auto& c : cases) {
        const std::size_t before = market.ViolationCount();
        const auto result = c.send();
        ASSERT_TRUE(result) << c.what;
        EXPECT_EQ(result->status, 400) << c.what;
        EXPECT_EQ(market.ViolationCount(), before + 1) << c.what;
    }
}

class ShopSignTest : public UploadTest {
  protected:
    void SetUp() override {
        UploadTest::SetUp();
        fsid = AddShopHeader(market);
    }

    FieldList Fields() { return ShopSignFields(fsid); }
    httplib::Result Send(const std::string& head, const std::string& bytes,
                         const FieldList& fields) {
        return SendShopSign(market, head, bytes, fields);
    }
    std::string Chunk(std::size_t offset, bool last) { return ShopSignChunkHead(offset, last); }

    std::string fsid;
};

TEST_F(ShopSignTest, SingleAndChunkedUploadsStoreTheSign) {
    ASSERT_FALSE(fsid.empty());
    const auto small = Send("", FakeJpeg(40960), Fields());
    ASSERT_TRUE(small);
    EXPECT_EQ(small->status, 200) << small->body;
    EXPECT_EQ(small->body.find("\"errcode\":0,"), 1u);
    EXPECT_EQ(ShopState()["sign"]["size"].asUInt(), 40960u);

    const std::string big = FakeJpeg(327681);
    EXPECT_EQ(Send(Chunk(0, false), big.substr(0, 327680), Fields())->status, 200);
    EXPECT_TRUE(ShopState()["sign"]["size"].asUInt() == 40960u);
    EXPECT_EQ(Send(Chunk(327680, true), big.substr(327680), Fields())->status, 200);
    EXPECT_EQ(ShopState()["sign"]["size"].asUInt(), 327681u);
    const auto front = market.Get("http://shop.kesto.example/10001/sign");
    EXPECT_EQ(front->body, big);
    EXPECT_EQ(market.ViolationCount(), 0u) << market.LastViolation();
}

TEST_F(ShopSignTest, MalformedSignUploadsAreRefused) {
    auto wrongOrder = Fields();
    std::swap(wrongOrder[0], wrongOrder[1]);
    auto wrongFsid = Fields();
    wrongFsid[1].second = "1";
    struct Case {
        const char* what;
        std::function<httplib::Result()> send;
    };
    const Case cases[] = {
        {"fields out of order", [&] { return Send("", FakeJpeg(100), wrongOrder); }},
        {"another module's fsid", [&] { return Send("", FakeJpeg(100), wrongFsid); }},
        {"too large for one request", [&] { return Send("", FakeJpeg(40961), Fields()); }},
        {"chunk out of sequence", [&] { return Send(Chunk(100, true), FakeJpeg(100), Fields()); }},
        {"not a picture", [&] { return Send("", std::string(100, 'x'), Fields()); }},
    };
    for (const auto& c : cases) {
        const std::size_t before = market.ViolationCount();
        const auto result = c.send();
        ASSERT_TRUE(result) << c.what;
        EXPECT_EQ(result->status, 400) << c.what;
        EXPECT_NE(result->body.find("errcode\":1"), std::string::npos) << c.what;
        EXPECT_EQ(market.ViolationCount(), before + 1) << c.what;
    }
}

TEST_F(ShopSignTest, RefusalsNameTheirReason) {
    const std::string picture = FakeJpeg(14 * 327680);
    const auto chunk = [&](std::size_t index, std::size_t size, bool last) {
        return Send(Chunk(index * 327680, last), picture.substr(index * 327680, size), Fields());
    };
    struct Case {
        const char* what;
        std::size_t fullChunksFirst;  // chunks of 327680 bytes sent and taken before the last
        std::size_t lastSize;
        bool lastIsEnd;
        const char* reason;
    };
    const Case cases[] = {
        {"over 4 MiB in full chunks", 12, 327680, false, "too large"},
        {"over 4 MiB by one byte at the end", 12, 4 * 1024 * 1024 - 12 * 327680 + 1, true,
         "too large"},
        {"a short chunk before the last", 1, 1000, false, "instead of 327680"},
        {"an empty chunk", 1, 0, true, "no bytes"},
    };
    for (const auto& c : cases) {
        for (std::size_t i = 0; i < c.fullChunksFirst; ++i) {
            ASSERT_EQ(chunk(i, 327680, false)->status, 200) << c.what << " " << i;
        }
        const auto result = chunk(c.fullChunksFirst, c.lastSize, c.lastIsEnd);
        ASSERT_TRUE(result) << c.what;
        EXPECT_EQ(result->status, 400) << c.what;
        EXPECT_NE(market.LastViolation().find(c.reason), std::string::npos)
            << c.what << ": " << market.LastViolation();
        EXPECT_EQ(market.LastViolation().find("size is wrong"), std::string::npos) << c.what;
    }
    // Exactly 4 MiB is still taken.
    for (std::size_t i = 0; i < 12; ++i) {
        ASSERT_EQ(chunk(i, 327680, false)->status, 200);
    }
    const auto last = chunk(12, 4 * 1024 * 1024 - 12 * 327680, true);
    EXPECT_EQ(last->status, 200) << market.LastViolation();
    EXPECT_EQ(ShopState()["sign"]["size"].asUInt(), 4u * 1024 * 1024);
}

}  // namespace
}  // namespace kesto::sim::testing
