#include "market/cookie_file_source.h"

#include <gtest/gtest.h>

#include "market/identity.h"
#include "tests/common/temp_folder.h"

namespace kesto {
namespace {

constexpr std::time_t kNow = 1'800'000'000;

TEST(CookieFileSourceTest, TakesTheLiveCookiesOfTheMarketplaceDomain) {
    const std::string file =
        "# Netscape HTTP Cookie File\n"
        "\n"
        ".kesto.example\tTRUE\t/\tFALSE\t0\tuin\to0000099\n"
        "#HttpOnly_.kesto.example\tTRUE\t/\tFALSE\t1900000000\tskey\t@abc\r\n"
        "member.kesto.example\tFALSE\t/\tFALSE\t0\tptui_loginuin\t99\n"
        "KESTO.EXAMPLE\tFALSE\t/\tFALSE\t0\tcase\tkept\n"
        ".kesto.example\tTRUE\t/\tFALSE\t1700000000\told\texpired\n"
        ".other.example\tTRUE\t/\tFALSE\t0\tuin\tforeign\n"
        ".notkesto.example\tTRUE\t/\tFALSE\t0\tuin\tlookalike\n"
        ".kesto.example\tTRUE\t/\tFALSE\tsoon\tbad\texpiry\n"
        "too\tfew\tfields\n"
        ".kesto.example\tTRUE\t/\tFALSE\t0\tempty\t";
    EXPECT_EQ(CookieTextFromFile(file, ".kesto.example", kNow),
              "uin=o0000099; skey=@abc; ptui_loginuin=99; case=kept; empty=");
    EXPECT_EQ(CookieTextFromFile("", ".kesto.example", kNow), "");
}

TEST(CookieFileSourceTest, GivesTheLoginIdentityFromAFile) {
    testing::TempFolder folder;
    const std::string path = folder.Folder() + "cookies.txt";
    const auto source = std::make_shared<CookieFileSource>(path, ".kesto.example");
    EXPECT_EQ(source->GetCookie(), std::nullopt);  // no file yet

    folder.Write("cookies.txt", ".other.example\tTRUE\t/\tFALSE\t0\tuin\t1\n");
    EXPECT_EQ(source->GetCookie(), std::nullopt);  // nothing of the marketplace

    folder.Write("cookies.txt",
                 ".kesto.example\tTRUE\t/\tFALSE\t0\tuin\to42\n"
                 ".kesto.example\tTRUE\t/\tFALSE\t0\tskey\tk\n");
    LoginIdentity identity;
    identity.SetCookieSource(source);
    EXPECT_TRUE(identity.EnsureIdentity());
    EXPECT_EQ(identity.Current().userNumber, "1042");
    EXPECT_EQ(identity.Current().sessionKey, "k");
}

}  // namespace
}  // namespace kesto
