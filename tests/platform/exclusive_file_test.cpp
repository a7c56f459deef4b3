// A new file is created exclusively: never shared with another holder of the name, never made
// through a link left at the name (the thumbnail's temporary file depends on it).

#include "platform/exclusive_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temporary_file.h"
#include "tests/common/temp_folder.h"

namespace kesto {
namespace {

TEST(CreateNewFileTest, NeverSharesOrFollowsAName) {
    const testing::TempFolder folder;
    const std::string fresh = folder.Folder() + "fresh.tmp";
    EXPECT_TRUE(CreateNewFile(fresh));
    EXPECT_FALSE(CreateNewFile(fresh));

    const std::filesystem::path target = folder.path() / "target";
    const std::filesystem::path link = folder.path() / "link";
    std::error_code error;
    std::filesystem::create_symlink(target, link, error);
    if (!error) {  // systems without symbolic links have nothing to follow
        EXPECT_FALSE(CreateNewFile(PathToUtf8(link)));
        EXPECT_FALSE(std::filesystem::exists(target));
    }
}

TEST(CreateNewFileTest, TemporaryFilesAreNewAndGoAway) {
    std::string kept;
    {
        const TemporaryFile first("kesto-test-");
        const TemporaryFile second("kesto-test-");
        ASSERT_FALSE(first.path().empty());
        EXPECT_NE(first.path(), second.path());
        kept = first.path();
        EXPECT_TRUE(std::filesystem::exists(PathFromUtf8(kept)));
    }
    EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(kept)));
}

}  // namespace
}  // namespace kesto
