#include "market/shop_session.h"

#include <gtest/gtest.h>

#include <vector>

namespace kesto {
namespace {

TEST(ShopSessionTest, StartsEmptyAndKeepsTheGraphicsLibraryRunning) {
    {
        const ShopSession session;
        EXPECT_TRUE(session.uploadedPictures.empty());
        EXPECT_EQ(session.progress, nullptr);
        EXPECT_EQ(session.uploadAddress, "");
        EXPECT_FALSE(session.albumReady);
        EXPECT_TRUE(GraphicsRunning());
        { const ShopSession otherJob; }
        EXPECT_TRUE(GraphicsRunning());  // one job ending leaves the other's library running
    }
    EXPECT_FALSE(GraphicsRunning());
}

TEST(ShopSessionTest, OrdersPictureNamesByUtf16CodeUnits) {
    ShopSession session;
    for (const char* name : {"b.jpg", "\xEE\x80\x80.jpg", "a.jpg", "11.jpg", "\xF0\x9F\x98\x80.jpg",
                             "B.jpg", "1.jpg", "\xE4\xB8\xAD.jpg"}) {
        session.uploadedPictures[name] = std::string("http://album/") + name;
    }
    std::vector<std::string> names;
    for (const auto& [name, address] : session.uploadedPictures) {
        names.push_back(name);
    }
    // U+1F600 is the surrogate pair D83D DE00, so it sorts before U+E000 though its code point
    // is larger; byte order of UTF-8 would put it last.
    const std::vector<std::string> expected = {"1.jpg",
                                               "11.jpg",
                                               "B.jpg",
                                               "a.jpg",
                                               "b.jpg",
                                               "\xE4\xB8\xAD.jpg",
                                               "\xF0\x9F\x98\x80.jpg",
                                               "\xEE\x80\x80.jpg"};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(session.uploadedPictures.count("11.jpg"), 1u);
    EXPECT_EQ(session.uploadedPictures.count("11.JPG"), 0u);
}

}  // namespace
}  // namespace kesto
