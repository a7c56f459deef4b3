// One decoration of a shop at a time: a second holder of the same shop's lock is turned away
// until the first lets go; other shops are not held up; where no lock can be made, the job is
// told why.

#include "job/shop_job_lock.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/file_path.h"
#include "tests/common/temp_folder.h"

namespace kesto {
namespace {

using State = ShopJobLock::State;

TEST(ShopJobLockTest, OneJobPerShopUntilItsLockGoes) {
    const testing::TempFolder folder;
    const std::string place = folder.Folder() + "data" + kPathSeparator;  // made when missing
    {
        const ShopJobLock first(place, "10001");
        EXPECT_EQ(first.state(), State::kHeld);
        EXPECT_EQ(ShopJobLock(place, "10001").state(), State::kBusy);
        EXPECT_EQ(ShopJobLock(place, "10002").state(), State::kHeld) << "another shop";
    }
    EXPECT_EQ(ShopJobLock(place, "10001").state(), State::kHeld) << "released with its holder";

    folder.Write("file", "a file where the folder should be");
    const struct {
        std::string folder;
        std::string user;
    } unavailable[] = {
        {"", "10001"},
        {place, ""},
        {folder.Folder() + "file" + kPathSeparator, "10001"},
    };
    for (const auto& c : unavailable) {
        const ShopJobLock lock(c.folder, c.user);
        EXPECT_EQ(lock.state(), State::kUnavailable) << c.folder;
        EXPECT_FALSE(lock.problem().empty()) << c.folder;
    }
    // Something other than a file at the lock's path: the reason names it.
    std::filesystem::create_directories(PathFromUtf8(place + "decorating-10003.lock"));
    const ShopJobLock blocked(place, "10003");
    EXPECT_EQ(blocked.state(), State::kUnavailable);
    EXPECT_NE(blocked.problem().find("is not a regular file: remove it"), std::string::npos)
        << blocked.problem();
}

}  // namespace
}  // namespace kesto
