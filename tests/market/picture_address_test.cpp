#include "market/picture_address.h"

#include <gtest/gtest.h>

#include <string>

namespace kesto {
namespace {

TEST(PictureAddressTest, OnlyPlainAddressesOfTheMarketplaceGoIntoAPage) {
    const struct {
        std::string address;
        bool safe;
    } cases[] = {
        {"http://album.kesto.example/photo/10001/2013.jpg", true},
        {"HTTPS://IMG.Kesto.Example:8080/p/1.jpg?x=1#a", true},
        {"http://kesto.example/1.jpg", true},
        {"http://album.kesto.example", true},
        {"ftp://album.kesto.example/1.jpg", false},
        {"//album.kesto.example/1.jpg", false},
        {"http://evil.example/1.jpg", false},
        {"http://album.kesto.example.evil.example/1.jpg", false},
        {"http://evil.example@album.kesto.example/1.jpg", false},
        {"http://notkesto.example/1.jpg", false},
        {"http://album.kesto.example:/1.jpg", false},
        {"http://album.kesto.example/\"><script>alert(1)</script>", false},
        {"http://album.kesto.example/a b.jpg", false},
        {"http://album.kesto.example/a'b.jpg", false},
        {"http://album.kesto.example/a\\b.jpg", false},
        {"http://album.kesto.example/a\nb.jpg", false},
        {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsSafePictureAddress(c.address), c.safe) << c.address;
    }
}

}  // namespace
}  // namespace kesto
