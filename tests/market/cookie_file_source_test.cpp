#include "market/cookie_file_source.h"

#include <gtest/gtest.h>

#include "market/identity.h"
#include "tests/common/temp_folder.h"

namespace kesto {
namespace {

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
