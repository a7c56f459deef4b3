// The album operations and the picture upload against kesto-market.

#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <filesystem>

#include "job/progress.h"
#include "market/album.h"
#include "market/area_folder.h"
#include "market/failure_reason.h"
#include "market/picture_upload.h"
#include "market/shop_session.h"
#include "support/file_path.h"
#include "tests/common/recording_progress.h"
#include "tests/common/temp_folder.h"
#include "tests/e2e/logged_in_market.h"

namespace kesto {
namespace {

using testing::LoggedInMarket;
using testing::RecordingProgress;

std::size_t CountRequests(const std::vector<std::string>& requests, const std::string& path) {
    return static_cast<std::size_t>(std::count_if(
        requests.begin(), requests.end(),
        [&path](const std::string& request) { return request.find(path) != std::string::npos; }));
}

std::string TemplatePicture(const std::string& relative) {
    return PathToUtf8(std::filesystem::path(KESTO_SOURCE_DIR) / "template" /
                      PathFromUtf8(relative));
}

TEST(AlbumUploadTest, AreaFolderIsMadeAnewAndPicturesLandInIt) {
    LoggedInMarket market;
    JobContext context;
    std::string path = "/";
    ASSERT_EQ(CreateAreaFolder(context, kMainPageAlbumFolder, path), 1);
    EXPECT_NE(path, "/");
    EXPECT_EQ(RemoveAreaFolder(context, kMainPageAlbumFolder), 1);
    std::string again = "/";
    ASSERT_EQ(CreateAreaFolder(context, kMainPageAlbumFolder, again), 1);

    ShopSession session;
    const std::string first = TemplatePicture("spring-garden/main/welcome.jpg");
    const std::string second = TemplatePicture("spring-garden/main/shipping.gif");
    EXPECT_EQ(UploadPicture(session, again, first), 1);
    EXPECT_EQ(UploadPicture(session, again, second), 1);
    // The album page check and the upload request are made once, before the first picture.
    const auto requests = market.Requests();
    EXPECT_EQ(CountRequests(requests, "/album/photomanage"), 1u);
    EXPECT_EQ(CountRequests(requests, "/album/UpReq"), 1u);
    EXPECT_EQ(CountRequests(requests, "/album/UploadPicActivex"), 2u);
    ASSERT_EQ(session.uploadedPictures.count("welcome.jpg"), 1u);
    EXPECT_EQ(session.uploadedPictures["welcome.jpg"].rfind("http://album.kesto.example/", 0), 0u);
    EXPECT_EQ(session.uploadedPictures.count("shipping.gif"), 1u);
    EXPECT_TRUE(market.Violations().empty()) << market.Violations().front();
}

TEST(AlbumUploadTest, FailedPictureRequestRecordsNothingAndIsNotRetriedByItself) {
    LoggedInMarket market;
    ShopSession session;
    market.SetFault("UploadPicActivex=error*1");
    const std::string picture = TemplatePicture("ocean-blue/main/top.jpg");
    EXPECT_EQ(UploadPicture(session, "/", picture), -1);
    EXPECT_TRUE(session.uploadedPictures.empty());
    EXPECT_EQ(UploadPicture(session, "/", picture), 1);
    EXPECT_EQ(session.uploadedPictures.size(), 1u);
}

TEST(AlbumUploadTest, UndecodablePictureIsRefusedBeforeAnythingIsSent) {
    LoggedInMarket market;
    testing::TempFolder folder;
    const auto broken = folder.Write("broken.jpg", "not a picture at all");
    // The thumbnail's temporary file goes into a folder of this test's own.
    testing::TempFolder temporary;
    setenv("TMPDIR", PathToUtf8(temporary.path()).c_str(), 1);
    ShopSession session;
    EXPECT_EQ(UploadPicture(session, "/", PathToUtf8(broken)), -1);
    unsetenv("TMPDIR");
    EXPECT_EQ(CountRequests(market.Requests(), "/album/UploadPicActivex"), 0u);
    EXPECT_TRUE(std::filesystem::is_empty(temporary.path())) << "the thumbnail file was left";
    const std::string& reason = session.context().lastFailure.reason;
    EXPECT_NE(reason.find("no thumbnail can be made of"), std::string::npos) << reason;
}

// A picture the album would take, but whose thumbnail could not be made (a layout the graphics
// library cannot draw): nothing goes out with an empty thumbnail, and the reason names the file.
TEST(AlbumUploadTest, PictureWithoutThumbnailIsRefusedWithItsReason) {
    LoggedInMarket market;
    ShopSession session;
    PreparedPicture picture = PreparePicture(TemplatePicture("ocean-blue/main/top.jpg"));
    ASSERT_TRUE(picture.thumbnailMade);
    picture.thumbnailMade = false;
    EXPECT_EQ(UploadPreparedPicture(session, "/", picture), -1);
    EXPECT_TRUE(session.uploadedPictures.empty());
    EXPECT_EQ(CountRequests(market.Requests(), "/album/"), 0u);
    const std::string& reason = session.context().lastFailure.reason;
    EXPECT_NE(reason.find("top.jpg"), std::string::npos) << reason;
}

// A refusal's reason carries the marketplace's own words, not only its status.
TEST(AlbumUploadTest, ARefusalsReasonQuotesTheMarketplacesWords) {
    LoggedInMarket market;
    JobContext context;
    std::string id;
    EXPECT_EQ(CreateAlbumFolder(context, "/", std::string(65, 'x'), id), -1);
    EXPECT_EQ(context.lastFailure.reason,
              "album.kesto.example answered 400 (\"the folder name is longer than 64 bytes\")");
}

TEST(AlbumUploadTest, TransactionPasswordPageFailsTheUploadAndTellsTheDialog) {
    LoggedInMarket market;
    market.RequirePassword(true);
    ShopSession session;
    auto progress = std::make_shared<RecordingProgress>();
    session.context().transactionPasswordMet = [&progress] {
        progress->Post({kTransactionPassword, 0, 0, {}});
    };
    EXPECT_EQ(UploadPicture(session, "/", TemplatePicture("ocean-blue/main/top.jpg")), -1);
    ASSERT_EQ(progress->messages.size(), 1u);
    EXPECT_EQ(progress->messages[0].kind, kTransactionPassword);
    EXPECT_TRUE(session.context().transactionPasswordPage);
    EXPECT_FALSE(session.albumReady);
    EXPECT_EQ(CountRequests(market.Requests(), "/album/UpReq"), 0u);
}

}  // namespace
}  // namespace kesto

namespace kesto {
namespace {

// A folder listing answered with the transaction-password page is no listing: the area folder
// is neither read as missing nor made a second time.
TEST(AlbumUploadTest, PasswordPageOnAFolderListingMakesNoFolder) {
    LoggedInMarket market;
    market.SetFault("dirlist=password");
    JobContext context;
    AreaFolderRun run;
    EXPECT_EQ(OpenAreaFolderRun(context, kMainPageAlbumFolder, run), -1);
    EXPECT_EQ(CountRequests(market.Requests(), "/album/createdir"), 0u);
    EXPECT_NE(context.lastFailure.reason.find("transaction password"), std::string::npos);
}

TEST(UploadRequestTest, BodyIsBuiltByteForByte) {
    EXPECT_EQ(UploadRequestBody("10001", "@abc"),
              "--hellworld\r\n"
              "Content-Disposition: form-data; name=\"ClientVersion\"\r\n\r\n120\r\n"
              "--hellworld\r\n"
              "Content-Disposition: form-data; name=\"ExtendID\"\r\n\r\n/\r\n"
              "--hellworld\r\n"
              "Content-Disposition: form-data; name=\"PicCount\"\r\n\r\n1\r\n"
              "--hellworld\r\n"
              "Content-Disposition: form-data; name=\"TotalSize\"\r\n\r\n248\r\n"
              "--hellworld\r\n"
              "Content-Disposition: form-data; name=\"uin\"\r\n\r\n10001\r\n"
              "--hellworld\r\n"
              "Content-Disposition: form-data; name=\"skey\"\r\n\r\n@abc\r\n"
              "--hellworld--");
}

}  // namespace
}  // namespace kesto
