#include "job/category_records.h"

#include <gtest/gtest.h>

#include <optional>

#include "job/category_answers.h"

namespace kesto {
namespace {

using Names = std::vector<std::string>;

TEST(CategoryRecordsTest, CreatingRecordsEncodeNameAndAddress) {
    EXPECT_EQ(CreatingRecord(10000, 0, 1, "New Arrivals", "http://album.kesto.example/a.jpg"),
              "10000^0^1^0^2^New+Arrivals^http%3A%2F%2Falbum%2Ekesto%2Eexample%2Fa%2Ejpg^");
    EXPECT_EQ(CreatingRecord(10002, 10001, 2, "鞋", ""), "10002^10001^2^0^2^%E9%9E%8B^^");
    // Long names are sent whole, not as empty fields.
    const std::string longName(300, 'n');
    EXPECT_EQ(CreatingRecord(1, 0, 1, longName, ""), "1^0^1^0^2^" + longName + "^^");
}

TEST(CategoryRecordsTest, ReadsQuotedIdsAndBuildsDeletingRecords) {
    const struct {
        std::string answer;
        Names ids;
    } cases[] = {
        {R"({"list":[{"CATE_ID":"12","name":"a"},{"cate_id":"34"}]})", {"12", "34"}},
        {R"({"cate_id":12,"name":"x"},{"cate_id": "13"})", {"12", "13"}},
        {R"({"cate_id":"5")", {"5"}},
        {R"("cate_id":)", {}},
        {R"("cate_id":"7)", {}},
        {"", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseCategoryIds(c.answer), c.ids) << c.answer;
    }
    EXPECT_EQ(DeletingRecords({"12", "34"}), "12^^^^3^^^|34^^^^3^^^");
    EXPECT_EQ(DeletingRecords({}), "");
}

// "parent/name@picture" of each category, with the parent's name for a sub-category.
Names Described(const CategoryList& list) {
    Names described;
    for (const ListedCategory& category : list.categories) {
        described.push_back(category.parentId + "/" + category.name + "@" +
                            category.pictureAddress);
    }
    return described;
}

TEST(CategoryListTest, ReadsAListAndRefusesEverythingElse) {
    const struct {
        std::string answer;
        std::optional<Names> ids;  // nothing: not a list
        Names categories;          // parent/name@picture
    } cases[] = {
        {R"({"errCode":"0","msg":"","data":{"cates":[{"cate_id":"5","parent_id":"0","name":"鞋","pic":"http://a/1.jpg"},{"cate_id":"6","parent_id":"5","name":"Boots","pic":""}]}})",
         Names{"5", "6"},
         {"0/鞋@http://a/1.jpg", "5/Boots@"}},
        {R"({"errCode":"0","data":{"cates":[]}})", Names{}, {}},
        // A bare id, a key in capitals, an error code as a number, no parent.
        {R"({"errcode":0,"list":[{"CATE_ID":12,"name":"a"}]})", Names{"12"}, {"0/a@"}},
        // Sub-categories nested in their category take it as their parent.
        {R"({"errCode":"0","cates":[{"cate_id":"1","name":"a","children":[{"cate_id":"2","name":"b"}]}]})",
         Names{"1", "2"},
         {"0/a@", "1/b@"}},
        {R"({"errCode":"-1","msg":"not logged in"})", std::nullopt, {}},
        // The marketplace promises only the quoted ids: no error code, other member names, no
        // strict JSON, no list at all are lists of ids without names.
        {R"({"data":{"cates":[]}})", Names{}, {}},
        {R"({"data":[{"cate_id":"5","cname":"a"},{"cate_id":"6"}]})", Names{"5", "6"}, {}},
        {R"(cb({cates:[{'x':1,"cate_id":"5"},{"cate_id": "6"}]}))", Names{"5", "6"}, {}},
        {R"({"errCode":"0","cates":[]} trailing "cate_id":"7")", Names{"7"}, {}},
        {"<html><head><title>Kesto</title></head></html>", Names{}, {}},
        {"", Names{}, {}},
        {R"(<p>errcode: 12</p> "cate_id":"5")", std::nullopt, {}},
        // Ids no category can have (separators, blanks, overlong), or a JSON list whose objects
        // name other ids than its quoted values give, cannot be believed. The marketplace
        // promises nothing of an id's form: one of letters goes.
        {R"({"errCode":"0","cates":[{"cate_id":"1^2"}]})", std::nullopt, {}},
        {R"("cate_id":"12 OR 1")", std::nullopt, {}},
        {"\"cate_id\":\"" + std::string(65, '7') + "\"", std::nullopt, {}},
        {R"("cate_id":"c-12","cate_id":"A7")", Names{"c-12", "a7"}, {}},
        {R"({"errCode":"0","cates":[{"cate_id" : "1"}]})", std::nullopt, {}},
        {R"({"errCode":"0","cates":[{"cate_id":1.5}]})", std::nullopt, {}},
        {R"({"errCode":"0","cates":[{"cate_id":{"id":"1"}}]})", std::nullopt, {}},
        // A name that is not a text leaves the names unknown.
        {R"({"errCode":"0","cates":[{"cate_id":"1","name":7}]})", Names{"1"}, {}},
        {std::string(R"({"errCode":"0","x":)") + std::string(500, '[') + std::string(500, ']') +
             "}",
         Names{},
         {}},
    };
    for (const auto& c : cases) {
        const std::optional<CategoryList> list = ParseCategoryList(c.answer);
        ASSERT_EQ(list.has_value(), c.ids.has_value()) << c.answer;
        if (list) {
            EXPECT_EQ(list->ids, *c.ids) << c.answer;
            EXPECT_EQ(Described(*list), c.categories) << c.answer;
        }
    }
}

TEST(CategoryListTest, OnlyANonZeroErrorCodeFailsAnUpdate) {
    const struct {
        std::string answer;
        std::string problem;
    } cases[] = {
        {R"({"errCode":"0","msg":"ok"})", ""},
        {R"({"errcode":0})", ""},
        {R"({"errCode":"-1","msg":"no category has the id 5"})",
         "the marketplace refused it (errCode -1: no category has the id 5)"},
        {R"({"errCode":7})", "the marketplace refused it (errCode 7)"},
        // No error code at all is a success: the marketplace promises only its status.
        {R"({"msg":"ok"})", ""},
        {"ok", ""},
        {"", ""},
        {"<p>errCode=-3</p>", "the marketplace refused it (errCode -3)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UpdateAnswerProblem(c.answer), c.problem) << c.answer;
    }
    // A long message is quoted in part, cut between characters.
    const std::string problem = UpdateAnswerProblem(
        R"({"errCode":"1","msg":")" + std::string(100, 'x') + std::string(300, '\xE9') + "\"}");
    EXPECT_LT(problem.size(), 260u);
    EXPECT_EQ(problem.substr(problem.size() - 4), "...)");
}

TEST(CategoryRecordsTest, PutsTheListedTreeBack) {
    const struct {
        std::vector<ListedCategory> listed;
        std::string records;
    } cases[] = {
        {{{"5", "0", "A", "http://a/1.jpg"}, {"6", "5", "B", ""}, {"7", "", "C", ""}},
         "10000^0^1^0^2^A^http%3A%2F%2Fa%2F1%2Ejpg^|10001^10000^2^0^2^B^^|10002^0^1^0^2^C^^"},
        // A sub-category listed before its parent goes back after it.
        {{{"6", "5", "B", ""}, {"5", "0", "A", ""}}, "10000^0^1^0^2^A^^|10001^10000^2^0^2^B^^"},
        // Without a listed top-level parent a category goes back at the top, not lost.
        {{{"5", "0", "A", ""}, {"6", "5", "B", ""}, {"8", "6", "C", ""}, {"9", "99", "D", ""}},
         "10000^0^1^0^2^A^^|10001^10000^2^0^2^B^^|10002^0^1^0^2^C^^|10003^0^1^0^2^D^^"},
        // A category listed twice takes its sub-categories once.
        {{{"5", "0", "A", ""}, {"5", "0", "A", ""}, {"6", "5", "B", ""}},
         "10000^0^1^0^2^A^^|10001^10000^2^0^2^B^^|10002^0^1^0^2^A^^"},
        {{{"5", "0", "鞋", ""}}, "10000^0^1^0^2^%E9%9E%8B^^"},
        {{}, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PutBackRecords(c.listed), c.records) << c.records;
    }
}

}  // namespace
}  // namespace kesto
