// The category update against kesto-market when something fails part-way: the shop keeps
// categories, and the pictures they show, and the failure says why. Judged by the shop's
// categories and album afterwards.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iterator>
#include <memory>
#include <thread>

#include "job/categories.h"
#include "job/progress.h"
#include "market/album.h"
#include "market/area_folder.h"
#include "market/http_request.h"
#include "market/shop_session.h"
#include "platform/net_layer.h"
#include "support/file_path.h"
#include "templates/template_folder.h"
#include "tests/common/recording_progress.h"
#include "tests/e2e/logged_in_market.h"

namespace kesto {
namespace {

using testing::LoggedInMarket;
using Lines = std::vector<std::string>;

constexpr std::chrono::milliseconds kNoWait{0};

// The sample template's class folder, as the job reads it.
ClassFolder CategoriesOf(const std::string& templateName) {
    const std::string folder =
        PathToUtf8(std::filesystem::path(KESTO_SOURCE_DIR) / "template" / templateName);
    return ReadTemplateFolder(folder, {false, false, true}).categories;
}

// "parent name/name@picture" of each category, sorted: what the shop shows, whatever the ids.
Lines ShownCategories(const Json::Value& shop) {
    const Json::Value& categories = shop["categories"];
    const auto nameOf = [&categories](const std::string& id) {
        for (const Json::Value& category : categories) {
            if (category["id"].asString() == id) {
                return category["name"].asString();
            }
        }
        return std::string();
    };
    Lines shown;
    for (const Json::Value& category : categories) {
        shown.push_back(nameOf(category["parentId"].asString()) + "/" +
                        category["name"].asString() + "@" + category["pictureAddress"].asString());
    }
    std::sort(shown.begin(), shown.end());
    return shown;
}

Lines PictureAddresses(const Json::Value& shop) {
    Lines addresses;
    for (const Json::Value& category : shop["categories"]) {
        addresses.push_back(category["pictureAddress"].asString());
    }
    return addresses;
}

// The picture addresses that answer with something other than the picture.
Lines MissingPictures(LoggedInMarket& market, const Lines& addresses) {
    Lines missing;
    for (const std::string& address : addresses) {
        const auto answer = market.market.Get(address);
        if (!answer || answer->status != 200) {
            missing.push_back(address);
        }
    }
    return missing;
}

Lines Matching(const Lines& lines, const std::string& part) {
    Lines found;
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(found),
                 [&part](const std::string& line) { return line.find(part) != std::string::npos; });
    return found;
}

// How many album folders of the categories the tool's root folder holds.
std::size_t CategoryFolders(const Json::Value& shop) {
    std::size_t count = 0;
    for (const Json::Value& root : shop["album"]["folders"]) {
        for (const Json::Value& area : root["folders"]) {
            count += IsAreaFolderName(kCategoryAlbumFolder, area["name"].asString()) ? 1u : 0u;
        }
    }
    return count;
}

struct Outcome {
    int result = 0;
    std::string failure;
    std::shared_ptr<testing::RecordingProgress> progress;
};

Outcome Update(const std::string& templateName, std::chrono::milliseconds retryWait = kNoWait) {
    ShopSession session;
    auto progress = std::make_shared<testing::RecordingProgress>();
    session.progress = progress;
    session.context().transactionPasswordMet = [progress] {
        progress->Post({kTransactionPassword, 0, 0, {}});
    };
    AreaResult result = UpdateCategories(CategoriesOf(templateName), session, retryWait);
    return {result.code, std::move(result.reason), progress};
}

bool Posted(const Outcome& outcome, ProgressKind kind) {
    const auto& messages = outcome.progress->messages;
    return std::any_of(messages.begin(), messages.end(),
                       [kind](const ProgressMessage& m) { return m.kind == kind; });
}

std::size_t CountRequests(LoggedInMarket& market, const std::string& part) {
    const Lines requests = market.Requests();
    return static_cast<std::size_t>(std::count_if(
        requests.begin(), requests.end(),
        [&part](const std::string& request) { return request.find(part) != std::string::npos; }));
}

// A shop whose categories came from one update, so that they show pictures of the album.
class DecoratedShop {
  public:
    DecoratedShop() {
        const Outcome first = Update("spring-garden");
        if (first.result != 1) {
            throw std::runtime_error("the first update failed: " + first.failure);
        }
        shop = market.Shop();
        market.ClearRequests();
    }

    // Whether the shop shows what it showed before, every picture still in the album.
    void ExpectAsBefore(const std::string& context) {
        const Json::Value now = market.Shop();
        EXPECT_EQ(ShownCategories(now), ShownCategories(shop)) << context;
        EXPECT_EQ(MissingPictures(market, PictureAddresses(now)), Lines{}) << context;
    }

    LoggedInMarket market;
    Json::Value shop;  // as the first update left it
};

// Requests time out after one second without progress instead of a minute (libcurl judges
// progress by the speed of the last five seconds, so a stalled request fails after about six).
class ShortStallTimeout {
  public:
    ShortStallTimeout() { SharedSession().SetStallTimeout(1); }
    ~ShortStallTimeout() { SharedSession().SetStallTimeout(net::kStallTimeoutSeconds); }
    ShortStallTimeout(const ShortStallTimeout&) = delete;
    ShortStallTimeout& operator=(const ShortStallTimeout&) = delete;
};

TEST(CategorySafetyTest, PictureFailingThreeTimesKeepsTheOldCategoriesAndTheirPictures) {
    DecoratedShop shop;
    shop.market.SetFault("UploadPicActivex=error*3");
    const Outcome outcome = Update("ocean-blue");
    EXPECT_EQ(outcome.result, -1);
    EXPECT_NE(outcome.failure.find("uploading the category picture"), std::string::npos)
        << outcome.failure;
    shop.ExpectAsBefore("picture");
    EXPECT_EQ(CountRequests(shop.market, "mycategory"), 0u);
}

// The new tree is made beside the old categories, which go only once it is in place.
TEST(CategorySafetyTest, NewTreeIsMadeFirstAndOnlyThenAreTheOldCategoriesAndFoldersRemoved) {
    DecoratedShop shop;
    const Outcome outcome = Update("ocean-blue");
    ASSERT_EQ(outcome.result, 1) << outcome.failure;
    const Lines updates = Matching(shop.market.Requests(), "mycategory/update");
    ASSERT_EQ(updates.size(), 2u);
    const Json::Value now = shop.market.Shop();
    EXPECT_EQ(ShownCategories(now).size(), 5u);
    EXPECT_EQ(MissingPictures(shop.market, PictureAddresses(now)), Lines{});
    // The pictures only the old categories showed went with their folder.
    EXPECT_EQ(MissingPictures(shop.market, PictureAddresses(shop.shop)).size(), 5u);
    EXPECT_EQ(CategoryFolders(now), 1u);
}

// A connection that closes before a byte of answer may be taken by the client's HTTP library for
// a kept-alive connection the server had closed, and the request sent again on another: "cut"
// loses the connection mid-answer, so each attempt meets exactly one fault.
TEST(CategorySafetyTest, RefusedCreatingUpdateFallsBackToDeletingFirstAndPutsTheOldOnesBack) {
    // The marketplace refuses the names it lists already, so the same template's tree cannot be
    // made beside itself: the delete goes first (the second update), then the creating update
    // fails three times and the old categories are put back.
    for (const std::string kind : {"error", "errorpage", "cut", "password"}) {
        DecoratedShop shop;
        shop.market.market.server().SetRefuseDuplicateCategoryNames(true);
        shop.market.SetFault("update=" + kind + "*3+2");
        const Outcome outcome = Update("spring-garden");
        EXPECT_EQ(outcome.result, -1) << kind;
        EXPECT_NE(outcome.failure.find("creating the new categories (3 attempts): "),
                  std::string::npos)
            << outcome.failure;
        EXPECT_NE(outcome.failure.find("the old categories were put back"), std::string::npos)
            << outcome.failure;
        EXPECT_EQ(Posted(outcome, kTransactionPassword), kind == "password") << kind;
        // the refused create, delete, three creating attempts, put-back
        EXPECT_EQ(CountRequests(shop.market, "mycategory/update"), 6u) << kind;
        shop.ExpectAsBefore(kind);
    }
}

TEST(CategorySafetyTest, SameTemplateAgainSucceedsWhereNamesMustBeNew) {
    DecoratedShop shop;
    shop.market.market.server().SetRefuseDuplicateCategoryNames(true);
    const Outcome outcome = Update("spring-garden");
    EXPECT_EQ(outcome.result, 1) << outcome.failure;
    EXPECT_EQ(ShownCategories(shop.market.Shop()).size(), ShownCategories(shop.shop).size());
    EXPECT_EQ(CountRequests(shop.market, "mycategory/update"), 3u);
}

TEST(CategorySafetyTest, RefusedDeletingUpdateLeavesBothTreesAndEveryPicture) {
    for (const std::string kind : {"cut", "password", "errorpage"}) {
        DecoratedShop shop;
        shop.market.SetFault("update=" + kind + "*1+1");
        const Outcome outcome = Update("ocean-blue");
        EXPECT_EQ(outcome.result, -1) << kind;
        EXPECT_EQ(outcome.failure.rfind("deleting the old categories: ", 0), 0u) << outcome.failure;
        EXPECT_NE(outcome.failure.find("still show beside them"), std::string::npos)
            << outcome.failure;
        const Json::Value now = shop.market.Shop();
        EXPECT_EQ(ShownCategories(now).size(), ShownCategories(shop.shop).size() + 5u) << kind;
        EXPECT_EQ(MissingPictures(shop.market, PictureAddresses(now)), Lines{}) << kind;
    }
}

TEST(CategorySafetyTest, StalledDeletingUpdateNeverLeavesTheShopWithoutCategories) {
    DecoratedShop shop;
    const ShortStallTimeout timeout;
    // The delete gets no answer in time; kesto-market carries it out some seconds later, after
    // the list has been read again.
    shop.market.SetFault("update=stall:9*1+1");
    const Outcome outcome = Update("ocean-blue");
    EXPECT_EQ(outcome.result, -1);
    EXPECT_NE(outcome.failure.find("within"), std::string::npos) << outcome.failure;
    const Lines oldTree = ShownCategories(shop.shop);
    Lines shown = ShownCategories(shop.market.Shop());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (shown.size() > 5 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        shown = ShownCategories(shop.market.Shop());
        ASSERT_FALSE(shown.empty());
    }
    // Only the new tree is left, every picture it shows in the album.
    EXPECT_EQ(shown.size(), 5u);
    for (const std::string& category : oldTree) {
        EXPECT_EQ(std::find(shown.begin(), shown.end(), category), shown.end()) << category;
    }
    EXPECT_EQ(MissingPictures(shop.market, PictureAddresses(shop.market.Shop())), Lines{});
}

TEST(CategorySafetyTest, CreatingUpdateCarriedOutWithoutAnAnswerIsNotSentAgain) {
    DecoratedShop shop;
    const ShortStallTimeout timeout;
    // The client gives up on the creating update after about six seconds (one at the least);
    // kesto-market carries it out after eight, before the list is read again at the end of the
    // pause of eight seconds.
    shop.market.SetFault("update=stall:8*1");
    const Outcome outcome = Update("ocean-blue", std::chrono::seconds(8));
    EXPECT_EQ(outcome.result, 1) << outcome.failure;
    EXPECT_EQ(ShownCategories(shop.market.Shop()).size(), 5u);
    // the creating update once, then the delete
    EXPECT_EQ(CountRequests(shop.market, "mycategory/update"), 2u);
}

// A list that differs between two readings is not acted on; a list that shows no categories
// proves no old picture unused, so the old folders stay.
TEST(CategorySafetyTest, ListsThatCannotBeBelievedDeleteNothing) {
    {
        DecoratedShop shop;
        shop.market.SetFault("showjson=garbage*1");
        const Outcome outcome = Update("ocean-blue");
        EXPECT_EQ(outcome.result, -1);
        EXPECT_NE(outcome.failure.find("differed between two readings"), std::string::npos)
            << outcome.failure;
        EXPECT_EQ(CountRequests(shop.market, "mycategory/update"), 0u);
        shop.ExpectAsBefore("differing lists");
    }
    DecoratedShop shop;
    shop.market.SetFault("showjson=garbage*2");
    const Outcome outcome = Update("ocean-blue");
    EXPECT_EQ(outcome.result, 1) << outcome.failure;
    const Json::Value now = shop.market.Shop();
    EXPECT_EQ(ShownCategories(now).size(), 10u) << "the unlisted categories stay";
    EXPECT_EQ(MissingPictures(shop.market, PictureAddresses(now)), Lines{});
}

TEST(CategorySafetyTest, CategoryListThatIsNoListFailsBeforeAnyChange) {
    for (const std::string kind : {"password", "errorpage", "drop"}) {
        DecoratedShop shop;
        shop.market.SetFault("showjson=" + kind);
        const Outcome outcome = Update("ocean-blue");
        EXPECT_EQ(outcome.result, -1) << kind;
        EXPECT_EQ(outcome.failure.rfind("reading the shop's categories: ", 0), 0u)
            << outcome.failure;
        EXPECT_EQ(Posted(outcome, kTransactionPassword), kind == "password") << kind;
        EXPECT_EQ(CountRequests(shop.market, "mycategory/update"), 0u) << kind;
        shop.ExpectAsBefore(kind);
    }
}

}  // namespace
}  // namespace kesto
