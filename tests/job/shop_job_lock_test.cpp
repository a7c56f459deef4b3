// One decoration of a shop at a time: a second holder of the same shop's lock is turned away
// until the first lets go; other shops, and places where no lock can be made, are not held up.

#include "job/shop_job_lock.h"

#include <gtest/gtest.h>

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
        EXPECT_EQ(ShopJobLock(c.folder, c.user).state(), State::kUnavailable) << c.folder;
    }
}

}  // namespace
}  // namespace kesto
