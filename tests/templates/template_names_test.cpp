#include "templates/template_names.h"

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

TEST(TemplateNamesTest, FirstGifOrJpegByItsWholeExtension) {
    const struct {
        Names names;
        std::string picture;
    } cases[] = {
        {{"logo.txt", "banner.PNG", "sign.Jpeg"}, "sign.Jpeg"},
        {{"sign.old.jpg"}, ""},  // its extension is "old.jpg"
        {{"noextension", "", "a.GIF", "b.jpg"}, "a.GIF"},
        {{"x.jpg", "y.gif"}, "x.jpg"},
        {{}, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindFirstPicture(c.names), c.picture);
    }
}

TEST(TemplateNamesTest, ClassifiesPicturesAndTheLastTextFile) {
    const MainFolderContent content = ClassifyMainFolder(
        {"a.jpg", "b.GIF", "c.png", "page.txt", ".hidden.jpg", "d.JPEG", "other.TXT", "jpg"});
    EXPECT_EQ(content.pictures, (std::vector<std::string>{"a.jpg", "b.GIF", "d.JPEG"}));
    EXPECT_EQ(content.contentFile, "other.TXT");
    EXPECT_EQ(ClassifyMainFolder({"a.jpg"}).contentFile, "");
}

TEST(TemplateNamesTest, SortsEntriesIntoTopPictureAndSubcategories) {
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

}  // namespace
}  // namespace kesto
