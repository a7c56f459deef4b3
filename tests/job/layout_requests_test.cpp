#include "job/layout_requests.h"

#include <gtest/gtest.h>

namespace kesto {
namespace {

// One module record as the content-information page lists it, lower-cased like the shop data.
std::string Record(const char* segsequence, const char* aid, const char* order, const char* mid,
                   const char* fsid) {
    return std::string("{segsequence:\"") + segsequence + "\",aid:\"" + aid +
           "\",name:\"x\",order:\"" + order + "\",mid:\"" + mid + "\",mindex:\"0\",fsid:\"" + fsid +
           "\"}";
}

TEST(LayoutRequestsTest, NewCustomContentIsFoundBesideTheOldOne) {
    const std::string info = Record("0", "0", "1", "9", "5");
    const std::string left = Record("1", "0", "0", "3", "6");
    const std::string oldModule = Record("1", "1", "100", "13", "7");
    const std::string newModule = Record("1", "1", "100", "13", "42");
    const struct {
        std::string shopData;
        const char* order;
        std::set<std::string> known;
        const char* fsid;
    } cases[] = {
        // The old module keeps the new one's order: it is passed over by its fsid, whichever
        // comes first.
        {"shopdata={" + info + "," + left + "," + oldModule + "," + newModule,
         "100",
         {"5", "6", "7"},
         "42"},
        {"shopdata={" + info + "," + left + "," + newModule + "," + oldModule,
         "100",
         {"5", "6", "7"},
         "42"},
        // A frame of kind "1" gives the new module order "0".
        {"shopdata={" + oldModule + "," + Record("1", "1", "0", "13", "43"), "0", {"7"}, "43"},
        {"shopdata={" + oldModule, "100", {"7"}, ""},                         // not added
        {"shopdata={" + Record("2", "1", "100", "13", "44"), "100", {}, ""},  // another frame
        {"shopdata={" + Record("1", "0", "100", "13", "45"), "100", {}, ""},  // column 0
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindNewCustomContentFsid(c.shopData, c.order, c.known), c.fsid) << c.shopData;
    }
    // Without old modules the new one is what the fixed pattern finds too.
    EXPECT_EQ(FindModuleFsid(kCustomContentModule, "shopdata={" + left + "," + newModule), "42");
    EXPECT_EQ(FindModuleFsid(kShopSignModule, "shopdata={" + info + "," + newModule), "5");
}

}  // namespace
}  // namespace kesto
