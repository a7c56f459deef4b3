#include "platform/private_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/common/temp_folder.h"

namespace kesto {
namespace {

unsigned Mode(const std::string& path) {
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return status.st_mode & 0777U;
}

std::string Read(const std::string& path) {
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST(SavePrivateFile, WritesAFileOnlyTheUserCanRead) {
    const testing::TempFolder folder;
    const std::string path = folder.Folder() + "share/kesto-decor/cookies.txt";
    ASSERT_TRUE(SavePrivateFile(path, "first\n"));
    EXPECT_EQ(Read(path), "first\n");
    EXPECT_EQ(Mode(path), 0600U);
    EXPECT_EQ(Mode(folder.Folder() + "share/kesto-decor"), 0700U);

    ::chmod(path.c_str(), 0644);
    ASSERT_TRUE(SavePrivateFile(path, "second\n"));
    EXPECT_EQ(Read(path), "second\n");
    EXPECT_EQ(Mode(path), 0600U);
    EXPECT_EQ(
        std::distance(std::filesystem::directory_iterator(folder.path() / "share/kesto-decor"),
                      std::filesystem::directory_iterator()),
        1);  // no temporary file left behind
}

TEST(SavePrivateFile, FailureLeavesTheOldFile) {
    const testing::TempFolder folder;
    const std::string blocker = folder.Folder() + "plain-file";
    folder.Write("plain-file", "x");
    EXPECT_FALSE(SavePrivateFile(blocker + "/cookies.txt", "new"));
    const std::string path = folder.Folder() + "cookies.txt";
    ASSERT_TRUE(SavePrivateFile(path, "old"));
    ::chmod(folder.Folder().c_str(), 0500);
    if (::access(folder.Folder().c_str(), W_OK) != 0) {  // root may write anyway
        EXPECT_FALSE(SavePrivateFile(path, "new"));
        EXPECT_EQ(Read(path), "old");
    }
    ::chmod(folder.Folder().c_str(), 0700);
}

}  // namespace
}  // namespace kesto
