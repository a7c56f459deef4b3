#include "market/picture_preparer.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "image/graphics_startup.h"
#include "image/picture_size.h"
#include "support/file_digest.h"
#include "support/file_path.h"

namespace kesto {
namespace {

std::string Picture(const char* relative) {
    return PathToUtf8(std::filesystem::path(KESTO_SOURCE_DIR) / "template" /
                      PathFromUtf8(relative));
}

TEST(PicturePreparerTest, PreparesEachPictureWhetherTakenInOrderOrNot) {
    GraphicsUser graphics;
    const std::vector<std::string> paths{Picture("ocean-blue/main/top.jpg"),
                                         Picture("ocean-blue/main/sale.jpg"),
                                         Picture("spring-garden/main/shipping.gif")};
    std::vector<std::string> thumbnails;
    // One ahead (one upload at a time) and several ahead (uploads side by side).
    for (const std::size_t ahead : {1u, 3u}) {
        PicturePreparer preparer(paths, ahead);
        for (const std::size_t index : {0u, 1u, 2u, 0u}) {
            const PreparedPicture picture = preparer.Take(index);
            EXPECT_EQ(picture.path, paths[index]) << ahead;
            EXPECT_EQ(picture.md5, FileMd5Hex(paths[index]));
            EXPECT_GT(picture.pixels.width, 0);
            EXPECT_EQ(picture.pixels, ReadPictureSize(paths[index]));  // the form's size fields
            EXPECT_GT(picture.bytes, 0);
            ASSERT_TRUE(picture.thumbnail);
            EXPECT_GT(std::filesystem::file_size(PathFromUtf8(picture.thumbnail->path())), 0u);
            thumbnails.push_back(picture.thumbnail->path());
        }
        EXPECT_EQ(preparer.Take(2).type, "gif");
    }
    // Every thumbnail went away with its picture, the one prepared ahead included.
    for (const std::string& thumbnail : thumbnails) {
        EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(thumbnail))) << thumbnail;
    }
}

// A thumbnail handed back after its upload is removed by the preparation that starts next, not
// by the thread that hands it back; one handed back after the last goes with the preparer.
TEST(PicturePreparerTest, ADiscardedThumbnailGoesWithTheNextPreparationOrThePreparer) {
    GraphicsUser graphics;
    const std::vector<std::string> paths{Picture("ocean-blue/main/top.jpg"),
                                         Picture("ocean-blue/main/sale.jpg"),
                                         Picture("spring-garden/main/shipping.gif")};
    const auto exists = [](const std::string& path) {
        return std::filesystem::exists(PathFromUtf8(path));
    };
    std::string last;
    {
        PicturePreparer preparer(paths, 1);
        PreparedPicture first = preparer.Take(0);  // the second is prepared from here
        const std::string firstThumbnail = first.thumbnail->path();
        preparer.Discard(std::move(first.thumbnail));
        EXPECT_TRUE(exists(firstThumbnail));
        const PreparedPicture second = preparer.Take(1);  // the third is prepared from here
        PreparedPicture third = preparer.Take(2);
        EXPECT_FALSE(exists(firstThumbnail));
        EXPECT_TRUE(exists(second.thumbnail->path()));
        last = third.thumbnail->path();
        preparer.Discard(std::move(third.thumbnail));
        EXPECT_TRUE(exists(last));
    }
    EXPECT_FALSE(exists(last));
}

}  // namespace
}  // namespace kesto
