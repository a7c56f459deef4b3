#include "image/graphics_startup.h"

#include <gtest/gtest.h>

#include "image/thumbnail.h"
#include "tests/common/temp_folder.h"
#include "tests/image/test_pictures.h"

namespace kesto {
namespace {

TEST(GraphicsStartupTest, StartAndStopAreCounted) {
    ASSERT_FALSE(GraphicsRunning());
    ASSERT_TRUE(StartGraphics());
    ASSERT_TRUE(StartGraphics());
    StopGraphics();
    EXPECT_TRUE(GraphicsRunning());  // the second user still has it
    StopGraphics();
    EXPECT_FALSE(GraphicsRunning());
    StopGraphics();  // one stop too many changes nothing
    EXPECT_FALSE(GraphicsRunning());

    // Started again after a full shutdown, it works as before.
    const GraphicsUser user;
    ASSERT_TRUE(user.Started());
    EXPECT_TRUE(GraphicsRunning());
}

TEST(GraphicsStartupTest, OneJobEndingLeavesTheOtherAbleToMakeThumbnails) {
    const ::kesto::testing::TempFolder folder;
    const std::string picture = folder.Folder() + "picture.png";
    const std::string thumbnail = folder.Folder() + "thumbnail.jpg";
    const GraphicsUser program;
    auto firstJob = std::make_unique<GraphicsUser>();
    const GraphicsUser secondJob;
    ASSERT_TRUE(testing::WriteTestPicture(picture, testing::PictureType::Png, 80, 60, {0, 0, 0},
                                          {255, 255, 255}));
    firstJob.reset();
    EXPECT_EQ(MakeThumbnail(picture, thumbnail), 1);
}

}  // namespace
}  // namespace kesto
