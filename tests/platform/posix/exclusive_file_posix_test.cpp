// What stands at a single-writer file's path on POSIX systems: only a regular file is taken; a
// link is not followed (its target is not made) and a FIFO is not waited on.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "platform/exclusive_file.h"
#include "tests/common/temp_folder.h"

namespace kesto {
namespace {

TEST(ExclusiveFilePosixTest, OnlyARegularFileIsTakenAndNothingIsFollowedOrWaitedOn) {
    const testing::TempFolder folder;
    const std::string target = folder.Folder() + "target";
    const std::string link = folder.Folder() + "link";
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    const std::string fifo = folder.Folder() + "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string directory = folder.Folder() + "folder";
    std::filesystem::create_directory(directory);

    const auto start = std::chrono::steady_clock::now();
    for (const std::string& path : {link, fifo, directory}) {
        EXPECT_EQ(ExclusiveAppendFile::Open(path), nullptr) << path;
    }
    EXPECT_FALSE(std::filesystem::exists(target)) << "the link was followed";
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

}  // namespace
}  // namespace kesto
