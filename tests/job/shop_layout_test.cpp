#include "job/shop_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace kesto {
namespace {

Json::Value Parse(const std::string& text) {
    Json::Value layout;
    EXPECT_EQ(ParseShopLayout(text, layout), 1) << text;
    return layout;
}

// The named field of every module of a segment, in order.
std::vector<std::string> Column(const Json::Value& segment, const char* key) {
    std::vector<std::string> values;
    for (const Json::Value& module : segment["areas"]) {
        values.push_back(module.get(key, "-").asString());
    }
    return values;
}

using Texts = std::vector<std::string>;

TEST(ShopLayoutTest, ExtractsTheDocumentFromTheAnswer) {
    // The text starts after the first "\"data\":" and is as long as the distance from there to
    // the last "}", so it runs a few characters past the document, which the reader ignores.
    const struct {
        std::string answer;
        std::string document;
    } cases[] = {
        {R"({"errCode":"0","data":{"shopBanner":{}}})", R"({"shopBanner":{}}})"},
        {R"({"data":{"a":"}"}} trailing)", R"({"a":"}"}} trail)"},
        {R"({"errCode":"1"})", R"(ode":"1"})"},  // without "data" the text starts at 6
        {"no braces", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExtractLayoutDocument(c.answer), c.document) << c.answer;
    }
}

TEST(ShopLayoutTest, ParseAcceptsCommentsAndIgnoresTextAfterTheDocument) {
    Json::Value layout(Json::objectValue);
    layout["kept"] = "yes";
    EXPECT_EQ(ParseShopLayout("{not json", layout), 0);
    EXPECT_EQ(layout["kept"], "yes");
    EXPECT_EQ(ParseShopLayout("{\"data\":" + std::string(100000, '['), layout), 0);
    EXPECT_EQ(layout["kept"], "yes");
    layout = Parse("/* c */ {\"shopBanner\":{\"sid\":\"1\"}} garbage");
    EXPECT_EQ(layout["shopBanner"]["sid"], "1");
}

TEST(ShopLayoutTest, DocumentWithoutBannerTakesItsFirstFrameAsBanner) {
    const Json::Value layout = Parse(R"({"shopFrame":[
        {"sid":"a","areas":[{"mid":"1"},null,"junk",{"mid":"2"}]},
        {"sid":"b"}, {"sid":"c"}, "stop", {"sid":"d"}]})");
    EXPECT_EQ(layout["shopBanner"]["sid"], "a");
    // Entries past the count of object-or-null modules are dropped whatever their kind.
    EXPECT_EQ(layout["shopBanner"]["areas"].size(), 3u);
    ASSERT_EQ(layout["shopFrame"].size(), 2u);
    EXPECT_EQ(layout["shopFrame"][0]["sid"], "b");
    EXPECT_EQ(layout["shopFrame"][1]["sid"], "c");
}

TEST(ShopLayoutTest, OnlyWellShapedDocumentsAreEditable) {
    const struct {
        const char* document;
        bool editable;
    } cases[] = {
        {R"({"shopBanner":{}})", true},
        {R"({"shopBanner":{"areas":[null,{}]},"shopFrame":[null,{"areas":[]}]})", true},
        {R"({"shopFrame":[{"sid":"1"},{"sid":"2"}]})", true},  // first frame becomes the banner
        {R"({"shopFrame":[]})", false},                        // no banner at all
        {R"([1,2])", false},
        {R"("text")", false},
        {R"({"shopBanner":"x"})", false},
        {R"({"shopBanner":{"areas":{}}})", false},
        {R"({"shopBanner":{"areas":["x"]}})", false},
        {R"({"shopBanner":{},"shopFrame":{}})", false},
        {R"({"shopBanner":{},"shopFrame":[{"areas":[1]}]})", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsEditableLayout(Parse(c.document)), c.editable) << c.document;
    }
}

TEST(ShopLayoutTest, ShopHeaderReplacesTheBannersModulesOnlyWhenTheSignIsIn) {
    // The header is added beside the modules it replaces; they are marked for removal by their
    // fsids once the sign is in (the actions below are the banner's after both steps).
    const struct {
        const char* banner;
        int result;
        Texts replaced;
        Texts actionsAdded;
        Texts actions;
        Texts mids;
    } cases[] = {
        // A first module without "mid" ends the walk: nothing is marked.
        {R"({"areas":[{"name":"x","action":"1"},{"mid":"5","action":"1"}]})",
         1,
         {},
         {"1", "1", "2"},
         {"1", "1", "2"},
         {"-", "5", "9"}},
        {R"({"areas":[{"mid":"5","fsid":"11","action":"1"},{"mid":"6","fsid":"12","action":"1"}]})",
         1,
         {"11", "12"},
         {"1", "1", "2"},
         {"3", "3", "2"},
         {"5", "6", "9"}},
        // A header already present: the banner stays as it is and nothing is added.
        {R"({"areas":[{"mid":"5","fsid":"11"},{"mid":"6","fsid":"12"},{"mid":"9","action":"1"}]})",
         0,
         {},
         {"-", "-", "1"},
         {"-", "-", "1"},
         {"5", "6", "9"}},
        {R"({})", 1, {}, {"2"}, {"2"}, {"9"}},
    };
    for (const auto& c : cases) {
        Json::Value layout = Parse(std::string(R"({"shopBanner":)") + c.banner + "}");
        const Texts replaced = ReplacedBannerFsids(layout);
        EXPECT_EQ(replaced, c.replaced) << c.banner;
        EXPECT_EQ(AddShopHeader(layout), c.result) << c.banner;
        EXPECT_EQ(Column(layout["shopBanner"], "action"), c.actionsAdded) << c.banner;
        MarkBannerModules(layout, [&replaced](const ModuleKey& module) {
            return std::find(replaced.begin(), replaced.end(), module.fsid) != replaced.end();
        });
        EXPECT_EQ(Column(layout["shopBanner"], "action"), c.actions) << c.banner;
        EXPECT_EQ(Column(layout["shopBanner"], "mid"), c.mids) << c.banner;
    }
    Json::Value layout = Parse(R"({"shopBanner":{"areas":[]}})");
    AddShopHeader(layout);
    const Json::Value& header = layout["shopBanner"]["areas"][0];
    EXPECT_EQ(header["name"], "ShopHeader");
    EXPECT_EQ(header["fsid"], "0");
    EXPECT_EQ(header["order"], "1");
    EXPECT_EQ(header["aid"], "0");
}

TEST(ShopLayoutTest, CustomContentLandsAfterTheLeftColumnWithRenumberedOrders) {
    Json::Value layout = Parse(R"({"shopBanner":{},"shopFrame":[{"fid":"2","areas":[
        {"area":"0","mid":"4","order":"7"},
        {"area":"1","mid":"13","order":"9","fsid":"55"},
        {"area":"0","mid":"5","order":"8"}]}]})");
    EXPECT_EQ(MarkOldCustomContent(layout), 1);
    EXPECT_EQ(AddCustomContent(layout), 1);
    const Json::Value& frame = layout["shopFrame"][0];
    // The new module lands at position k (the count of area-"0" modules), whatever the areas
    // of the modules before it.
    EXPECT_EQ(Column(frame, "mid"), (Texts{"4", "13", "13", "5"}));
    EXPECT_EQ(Column(frame, "area"), (Texts{"0", "1", "1", "0"}));
    EXPECT_EQ(Column(frame, "order"), (Texts{"0", "99", "100", "3"}));
    EXPECT_EQ(Column(frame, "mindex"), (Texts{"0", "1", "2", "3"}));
    EXPECT_EQ(Column(frame, "action"), (Texts{"-", "3", "2", "-"}));
}

TEST(ShopLayoutTest, CustomContentAfterTwoLeftModules) {
    Json::Value layout = Parse(R"({"shopFrame":[{"sid":"b"},{"fid":"3","areas":[
        {"area":"0","mid":"4"},{"area":"0","mid":"5"},{"area":"1","mid":"6"}]}],
        "shopBanner":{}})");
    Json::Value& frames = layout["shopFrame"];
    frames.removeIndex(0, nullptr);
    EXPECT_EQ(AddCustomContent(layout), 1);
    EXPECT_EQ(Column(frames[0], "mid"), (Texts{"4", "5", "13", "6"}));
    EXPECT_EQ(Column(frames[0], "order"), (Texts{"0", "1", "100", "101"}));
    EXPECT_EQ(Column(frames[0], "mindex"), (Texts{"0", "1", "2", "3"}));
}

TEST(ShopLayoutTest, FirstFrameOfKindOneGetsTheModuleInFront) {
    Json::Value layout = Parse(
        R"({"shopBanner":{},"shopFrame":[{"fid":"1","areas":[{"area":"0","mid":"4","order":"7"}]}]})");
    EXPECT_EQ(AddCustomContent(layout), 1);
    const Json::Value& frame = layout["shopFrame"][0];
    EXPECT_EQ(Column(frame, "mid"), (Texts{"13", "4"}));
    EXPECT_EQ(Column(frame, "order"), (Texts{"0", "7"}));
    EXPECT_EQ(Column(frame, "mindex"), (Texts{"0", "-"}));

    Json::Value empty = Parse(R"({"shopBanner":{},"shopFrame":[{"fid":"1","areas":[]}]})");
    EXPECT_EQ(AddCustomContent(empty), -1);
    Json::Value noFrames = Parse(R"({"shopBanner":{},"shopFrame":[]})");
    EXPECT_EQ(MarkOldCustomContent(noFrames), -1);
    EXPECT_EQ(AddCustomContent(noFrames), -1);
}

TEST(ShopLayoutTest, FlattensSegmentsAndModulesIntoTheLayoutText) {
    const struct {
        const char* layout;
        const char* text;
    } cases[] = {
        {R"({"shopBanner":{"sid":"1","segnumber":"0","fsid":"88","action":"1","areas":[
            {"action":"2","area":"0","fsid":"0","mid":"9","order":"1","tssid":"0"}]}})",
         "1^0^0^0^0^0^88^1^0^0|1^0^0^0^9^1^0^2^0^0"},
        // A module not yet created and marked for removal is left out.
        {R"({"shopBanner":{"sid":"1","segnumber":"0","fsid":"88","action":"1","areas":[
            {"action":"3","area":"0","fsid":"0","mid":"4","order":"1","tssid":"0"},
            {"action":"3","area":"0","fsid":"7","mid":"5","order":"2","tssid":"6"}]}})",
         "1^0^0^0^0^0^88^1^0^0|1^0^0^0^5^2^7^3^6^0"},
        // Frames carry the banner's fsid; a removed frame with segnumber "0" disappears; a
        // removed frame with another segnumber removes all its modules.
        {R"({"shopBanner":{"sid":"1","segnumber":"0","fsid":"88","action":"1"},"shopFrame":[
            {"sid":"2","segnumber":"0","order":"1","fsid":"99","action":"3","areas":[
                {"action":"1","area":"0","fsid":"5","mid":"4","order":"0","tssid":"0"}]},
            {"sid":"3","segnumber":"1","order":"2","fsid":"99","action":"3","areas":[
                {"action":"1","area":"1","fsid":"6","mid":"13","order":"100","tssid":"0"}]},
            {"sid":"4","segnumber":"2","order":"3","action":"1","areas":[
                {"action":"1","area":"0","fsid":"8","mid":"4","order":"0","tssid":"0"}]}]})",
         "1^0^0^0^0^0^88^1^0^0|3^1^2^0^0^0^88^3^0^0|3^1^2^1^13^100^6^3^0^0|"
         "4^2^3^0^0^0^88^1^0^0|4^2^3^0^4^0^8^1^0^0"},
        // Numbers are written in decimal, missing fields as "0".
        {R"({"shopBanner":{"sid":5,"action":"1"}})", "5^0^0^0^0^0^0^1^0^0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BuildLayoutInfo(Parse(c.layout)), c.text) << c.layout;
    }
}

TEST(ShopLayoutTest, HeaderPresentAndMainPageTickedKeepsTheBanner) {
    Json::Value layout = Parse(R"({"shopBanner":{"sid":"1","segnumber":"0","fsid":"88",
        "action":"1","areas":[{"mid":"5","fsid":"11","area":"0","order":"0","tssid":"0"},
        {"mid":"6","fsid":"12","area":"0","order":"1","tssid":"0"},
        {"mid":"9","fsid":"13","area":"0","order":"2","tssid":"0","action":"1"}]},
        "shopFrame":[{"sid":"2","segnumber":"1","order":"1","fid":"2","action":"1","areas":[]}]})");
    EXPECT_EQ(AddShopHeader(layout), 0);
    MarkOldCustomContent(layout);
    AddCustomContent(layout);
    // Modules 5 and 6 go with the action they came with (none: "0"), not with "3".
    EXPECT_EQ(BuildLayoutInfo(layout),
              "1^0^0^0^0^0^88^1^0^0|1^0^0^0^5^0^11^0^0^0|1^0^0^0^6^1^12^0^0^0|"
              "1^0^0^0^9^2^13^1^0^0|2^1^1^0^0^0^88^1^0^0|2^1^1^1^13^100^0^2^0^0");
}

TEST(ShopLayoutTest, ModuleFsidsLeaveOutModulesNotYetCreated) {
    const Json::Value layout = Parse(R"({"shopBanner":{"areas":[{"fsid":"11"},{"fsid":"0"}]},
        "shopFrame":[{"areas":[{"fsid":"21"},{}]},{"areas":[{"fsid":"31"}]}]})");
    EXPECT_EQ(ModuleFsids(layout), (std::set<std::string>{"11", "21", "31"}));
}

TEST(ShopLayoutTest, CustomContentMarksOnlyTheFirstFramesColumnOneModulesTheFilterPicks) {
    const char* document = R"({"shopBanner":{"areas":[{"area":"1","mid":"13","fsid":"1"}]},
        "shopFrame":[{"fid":"2","areas":[
            {"area":"0","mid":"13","fsid":"2"},
            {"area":"1","mid":"13","fsid":"3"},
            {"area":"1","mid":"4","fsid":"4"},
            {"area":"1","mid":"13","fsid":"5"}]},
        {"areas":[{"area":"1","mid":"13","fsid":"6"}]}]})";
    const struct {
        const char* keep;  // the fsid the filter spares; every other offered module goes
        int marked;
        Texts actions;
    } cases[] = {
        {"", 2, {"-", "3", "-", "3"}},
        {"5", 1, {"-", "3", "-", "-"}},  // the old module goes, the new one stays
        {"3", 1, {"-", "-", "-", "3"}},
    };
    for (const auto& c : cases) {
        Json::Value layout = Parse(document);
        const std::string keep = c.keep;
        EXPECT_EQ(MarkCustomContent(
                      layout, [&keep](const ModuleKey& module) { return module.fsid != keep; }),
                  c.marked)
            << c.keep;
        EXPECT_EQ(Column(layout["shopFrame"][0], "action"), c.actions) << c.keep;
        EXPECT_EQ(Column(layout["shopFrame"][1], "action"), (Texts{"-"})) << c.keep;
        EXPECT_EQ(Column(layout["shopBanner"], "action"), (Texts{"-"})) << c.keep;
    }
    Json::Value noFrames = Parse(R"({"shopBanner":{},"shopFrame":[]})");
    EXPECT_EQ(MarkCustomContent(noFrames, [](const ModuleKey&) { return true; }), -1);
}

TEST(ShopLayoutTest, RestoredLayoutListsTheAddedModulesForRemoval) {
    // Read before the edit, and since: the edit added a custom-content module (fsid 9) in front
    // of the old one and renumbered the old one's order; a header (fsid 8) came to the banner.
    const char* before = R"({"shopBanner":{"sid":"1","areas":[{"mid":"7","fsid":"2"}]},
        "shopFrame":[{"sid":"2","areas":[{"area":"1","mid":"13","fsid":"3","order":"100"}]}]})";
    const char* current = R"({"shopBanner":{"sid":"1","areas":[{"mid":"7","fsid":"2"},
        {"mid":"9","fsid":"8"}]},"shopFrame":[{"sid":"2","areas":[
        {"area":"1","mid":"13","fsid":"9","order":"100"},
        {"area":"1","mid":"13","fsid":"3","order":"101"}]}]})";
    const struct {
        const char* mid;  // the kind of module the restore takes off
        int listed;
        Texts banner;  // fsids and actions after the restore's edit
        Texts frame;
    } cases[] = {
        {"13", 1, {"2:-"}, {"3:-", "9:3"}},
        {"9", 1, {"2:-", "8:3"}, {"3:-"}},
        {"4", 0, {"2:-"}, {"3:-"}},
    };
    const auto modules = [](const Json::Value& segment) {
        Texts texts;
        for (const Json::Value& module : segment["areas"]) {
            texts.push_back(module["fsid"].asString() + ":" + module.get("action", "-").asString());
        }
        return texts;
    };
    for (const auto& c : cases) {
        Json::Value restored = Parse(before);
        const std::string mid = c.mid;
        EXPECT_EQ(ListAddedModulesForRemoval(restored, Parse(current),
                                             [&mid](const ModuleKey& m) { return m.mid == mid; }),
                  c.listed)
            << c.mid;
        EXPECT_EQ(modules(restored["shopBanner"]), c.banner) << c.mid;
        EXPECT_EQ(modules(restored["shopFrame"][0]), c.frame) << c.mid;
        // The old module keeps the order it had before the edit.
        EXPECT_EQ(restored["shopFrame"][0]["areas"][0]["order"], "100");
    }
}

TEST(ShopLayoutTest, NewCustomContentCarriesTheOrderItIsLookedUpBy) {
    const struct {
        const char* frame;
        std::string order;
    } cases[] = {
        {R"({"fid":"2","areas":[{"area":"0","mid":"4"},{"area":"1","mid":"13","fsid":"7"}]})",
         "100"},
        // A frame of kind "1" gets the module in front with order "0".
        {R"({"fid":"1","areas":[{"area":"1","mid":"13","fsid":"7","order":"100"}]})", "0"},
        {R"({"fid":"1","areas":[]})", ""},  // nothing added
    };
    for (const auto& c : cases) {
        Json::Value layout =
            Parse(std::string(R"({"shopBanner":{},"shopFrame":[)") + c.frame + "]}");
        AddCustomContent(layout);
        EXPECT_EQ(NewCustomContentOrder(layout), c.order) << c.frame;
    }
}

}  // namespace
}  // namespace kesto
