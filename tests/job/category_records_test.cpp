#include "job/category_records.h"

#include <gtest/gtest.h>

namespace kesto {
namespace {

using Names = std::vector<std::string>;

Names Entries(const std::vector<CategoryPicture>& pictures) {
    Names entries;
    for (const CategoryPicture& picture : pictures) {
        entries.push_back(picture.entry + "=" + picture.name);
    }
    return entries;
}

TEST(CategoryRecordsTest, SortsEntriesIntoTopPictureAndSubcategories) {
    const struct {
        Names entries;
        std::string top;  // entry=name
        Names subcategories;
    } cases[] = {
        {{"Shoes.jpg", "Shoes-Boots.jpg", "thumbs.db"},
         "Shoes.jpg=Shoes",
         {"Shoes-Boots.jpg=Shoes-Boots"}},
        {{"Shoes-Boots.jpg", "Thumbs.DB", "Shoes.jpg", "thumbs.db"},
         "Shoes.jpg=Shoes",
         {"Shoes-Boots.jpg=Shoes-Boots", "thumbs.db=thumbs"}},  // only the first thumbs.db goes
        {{"a-1.jpg", "a-2.jpg"}, "=", {"a-1.jpg=a-1", "a-2.jpg=a-2"}},
        {{"noext", "x-y"}, "noext=", {"x-y="}},
        {{}, "=", {}},
    };
    for (const auto& c : cases) {
        const CategoryFolder folder = SortCategoryEntries("C", c.entries);
        EXPECT_EQ(folder.top.entry + "=" + folder.top.name, c.top);
        EXPECT_EQ(Entries(folder.subcategories), c.subcategories);
    }
}

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

}  // namespace
}  // namespace kesto
