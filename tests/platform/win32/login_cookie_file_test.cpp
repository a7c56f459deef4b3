// The login cookie file written in one step on Windows.

#include "platform/login_cookie_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/common/temp_folder.h"

namespace kesto {
namespace {

using testing::ReadFile;
using testing::TempFolder;

TEST(LoginCookieFileTest, SavingReplacesTheFileWholeAndRefusesNoPath) {
    const TempFolder folder;
    const std::string path = folder.Folder() + "cookies.txt";
    EXPECT_TRUE(SaveLoginCookieFile(path, "a much longer first content\n"));
    EXPECT_TRUE(SaveLoginCookieFile(path, "second\n"));
    EXPECT_EQ(ReadFile(folder.path() / "cookies.txt"), "second\n");
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "cookies.txt.saving"));
    EXPECT_FALSE(SaveLoginCookieFile("", "x"));
}

}  // namespace
}  // namespace kesto
