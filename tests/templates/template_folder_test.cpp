#include "templates/template_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "templates/file_listing.h"
#include "tests/common/temp_folder.h"

namespace kesto {
namespace {

using testing::TempFolder;
using Names = std::vector<std::string>;

constexpr TemplateAreas kAllAreas{true, true, true};

std::string Rel(std::string text) {
    std::replace(text.begin(), text.end(), '/', kPathSeparator);
    return text;
}

Names NamesOf(const std::vector<TemplateFile>& files) {
    Names names;
    for (const TemplateFile& file : files) {
        names.push_back(file.name);
    }
    return names;
}

// "relative=reason" for each skipped entry, in order.
Names Skipped(const std::vector<SkippedEntry>& skipped) {
    Names lines;
    for (const SkippedEntry& entry : skipped) {
        lines.push_back(entry.relative + "=" + std::to_string(static_cast<int>(entry.reason)));
    }
    return lines;
}

std::string Skip(const std::string& relative, SkipReason reason) {
    return Rel(relative) + "=" + std::to_string(static_cast<int>(reason));
}

// The names ListFiles gives for the folder, those kept by keep, in its order.
template <typename Keep>
Names ListedOrder(const std::string& folder, Keep keep) {
    Names names;
    ListFiles(folder, names);
    std::erase_if(names, [&keep](const std::string& name) { return !keep(name); });
    return names;
}

TEST(TemplateFolderTest, ReadsEveryAreaWithItsFilesAndWhatIsLeftOut) {
    TempFolder t;
    t.Write("preview.jpg", "p");
    t.Write("head/sign.gif", "GIF89a");
    t.Write("head/logo.png", "png");
    t.Write("head/notes.txt", "n");
    t.Write("head/old/sign.jpg", "x");
    for (const char* name : {"main/a.jpg", "main/b.GIF", "main/c.jpeg", "main/d.jpg"}) {
        t.Write(name, "pic");
    }
    t.Write("main/page.txt", "\xEF\xBB\xBFhello");
    t.Write("main/readme.md", "r");
    t.Write("main/sub/x.jpg", "x");
    t.Write("class/Hats/Hats.jpg", "hat");
    t.Write("class/Hats/Hats-Caps.jpg", "cap");
    t.Write("class/Hats/Thumbs.db", "cache");
    t.Write("class/Shoes/Shoes-Boots.jpg", "boot");

    const TemplateFolder read = ReadTemplateFolder(t.Folder(), kAllAreas);
    EXPECT_EQ(read.path, t.Folder());
    EXPECT_TRUE(read.exists);
    EXPECT_TRUE(read.isTemplate);
    EXPECT_EQ(read.top.files, Names{"preview.jpg"});

    ASSERT_TRUE(read.head.picture);
    EXPECT_EQ(read.head.picture->relative, Rel("head/sign.gif"));
    EXPECT_EQ(read.head.picture->path, t.Folder() + Rel("head/sign.gif"));
    EXPECT_EQ(read.head.picture->size, 6u);
    EXPECT_TRUE(read.head.picture->measured);
    // The png is named in the skipped list; a text file beside the sign is not a picture at all.
    EXPECT_EQ(Skipped(read.head.skipped),
              (Names{Skip("head/old", SkipReason::kFolder),
                     Skip("head/logo.png", SkipReason::kNotTheSignPicture)}));

    EXPECT_EQ(NamesOf(read.main.pictures), ListedOrder(t.Folder() + "main/", HasPictureEnding));
    ASSERT_TRUE(read.main.pageText);
    EXPECT_EQ(read.main.pageText->file.relative, Rel("main/page.txt"));
    EXPECT_EQ(read.main.pageText->read, FileReadResult::kRead);
    EXPECT_EQ(read.main.pageText->bytes, "\xEF\xBB\xBFhello");
    EXPECT_EQ(read.main.pageText->encoding, PageTextEncoding::kUtf8Mark);
    EXPECT_EQ(Skipped(read.main.skipped),
              (Names{Skip("main/sub", SkipReason::kFolder),
                     Skip("main/readme.md", SkipReason::kNotAPicture)}));

    const std::vector<TemplateCategory>& categories = read.categories.categories;
    Names folders;
    ListSubfolders(t.Folder() + "class/", folders);
    ASSERT_EQ(categories.size(), folders.size());
    for (std::size_t i = 0; i < categories.size(); ++i) {
        const TemplateCategory& category = categories[i];
        EXPECT_EQ(category.tree.folder, folders[i]);
        if (folders[i] == "Hats") {
            EXPECT_EQ(category.tree.top.name, "Hats");
            EXPECT_EQ(NamesOf(category.pictures), (Names{"Hats.jpg", "Hats-Caps.jpg"}));
            EXPECT_EQ(category.pictures[1].relative, Rel("class/Hats/Hats-Caps.jpg"));
            EXPECT_EQ(Skipped(category.skipped),
                      Names{Skip("class/Hats/thumbs.db", SkipReason::kThumbnailCache)});
        } else {
            // No top picture: the sub-category's picture alone is uploaded.
            EXPECT_EQ(category.tree.top.entry, "");
            EXPECT_EQ(NamesOf(category.pictures), Names{"Shoes-Boots.jpg"});
        }
    }
}

TEST(TemplateFolderTest, TellsHowThePageTextIsEncodedAndWhyItWasNotRead) {
    const struct {
        std::string bytes;
        PageTextEncoding encoding;
    } cases[] = {
        {"\xEF\xBB\xBFtext", PageTextEncoding::kUtf8Mark},
        {std::string("\xFF\xFEt\0", 4), PageTextEncoding::kUtf16Mark},
        {std::string("\xFE\xFF\0t", 4), PageTextEncoding::kUtf16Mark},
        {"plain", PageTextEncoding::kCodePage},
        {"", PageTextEncoding::kCodePage},
    };
    for (const auto& c : cases) {
        TempFolder t;
        t.Write("main/page.txt", c.bytes);
        const TemplateFolder read = ReadTemplateFolder(t.Folder(), kAllAreas);
        ASSERT_TRUE(read.main.pageText);
        EXPECT_EQ(read.main.pageText->bytes, c.bytes);
        EXPECT_EQ(read.main.pageText->encoding, c.encoding) << c.bytes;
    }

    TempFolder t;
    t.Write("main/page.txt", std::string(kPageTextLimitBytes + 1, 'x'));
    const TemplateFolder large = ReadTemplateFolder(t.Folder(), kAllAreas);
    ASSERT_TRUE(large.main.pageText);
    EXPECT_EQ(large.main.pageText->read, FileReadResult::kTooLarge);
    EXPECT_TRUE(large.main.pageText->bytes.empty());
}

TEST(TemplateFolderTest, AFolderNamedLikeAPageTextIsNoPageText) {
    TempFolder t;
    t.Write("main/page.txt/inner.txt");
    t.Write("main/earlier.txt");
    const TemplateFolder read = ReadTemplateFolder(t.Folder(), kAllAreas);
    ASSERT_TRUE(read.main.pageText);
    EXPECT_EQ(read.main.pageText->file.name, "earlier.txt");
    EXPECT_EQ(Skipped(read.main.skipped), Names{Skip("main/page.txt", SkipReason::kFolder)});
}

TEST(TemplateFolderTest, ReadsOnlyTheAreasAskedFor) {
    TempFolder t;
    t.Write("head/sign.gif");
    t.Write("main/page.txt", "text");
    t.Write("class/Hats/Hats.jpg");
    const struct {
        TemplateAreas areas;
        bool sign, text, categories;
    } cases[] = {
        {{}, false, false, false},
        {{true, false, false}, true, false, false},
        {{false, true, false}, false, true, false},
        {{false, false, true}, false, false, true},
    };
    for (const auto& c : cases) {
        const TemplateFolder read = ReadTemplateFolder(t.Folder(), c.areas);
        EXPECT_EQ(read.head.picture.has_value(), c.sign);
        EXPECT_EQ(read.main.pageText.has_value(), c.text);
        EXPECT_EQ(read.categories.categories.size(), c.categories ? 1u : 0u);
    }
}

TEST(TemplateFolderTest, NamesTheTemplatesOfAFolderOfTemplates) {
    TempFolder t;
    t.Write("blue/head/sign.gif");
    t.Write("green/class/Hats/Hats.jpg");
    t.Write("notes/readme.txt");
    const TemplateFolder read = ReadTemplateFolder(PathToUtf8(t.path()), kAllAreas);
    EXPECT_EQ(read.path, t.Folder());  // the separator is added
    EXPECT_TRUE(read.exists);
    EXPECT_FALSE(read.isTemplate);
    Names inside = read.templatesInside;
    std::sort(inside.begin(), inside.end());
    EXPECT_EQ(inside, (Names{"blue", "green"}));
    EXPECT_FALSE(read.head.folder.exists);
    EXPECT_FALSE(read.main.pageText);

    const TemplateFolder missing = ReadTemplateFolder(t.Folder() + "missing", kAllAreas);
    EXPECT_FALSE(missing.exists);
    EXPECT_FALSE(missing.isTemplate);
    EXPECT_FALSE(missing.main.folder.listed);
    EXPECT_TRUE(missing.categories.categories.empty());
}

TEST(TemplateFolderTest, AFileIsChangedWhenItsSizeOrTimeDiffersOrItIsGone) {
    namespace fs = std::filesystem;
    const struct {
        const char* name;
        void (*change)(const fs::path&);
        bool changed;
    } cases[] = {
        {"untouched", [](const fs::path&) {}, false},
        {"longer", [](const fs::path& f) { std::ofstream(f, std::ios::app) << "more"; }, true},
        {"same size, later time",
         [](const fs::path& f) {
             fs::last_write_time(f, fs::last_write_time(f) + std::chrono::seconds(5));
         },
         true},
        {"removed", [](const fs::path& f) { fs::remove(f); }, true},
    };
    for (const auto& c : cases) {
        TempFolder t;
        const fs::path sign = t.Write("head/sign.gif", "GIF89a");
        fs::last_write_time(sign, fs::last_write_time(sign) - std::chrono::seconds(60));
        const TemplateFolder read = ReadTemplateFolder(t.Folder(), {true, false, false});
        ASSERT_TRUE(read.head.picture);
        c.change(sign);
        EXPECT_EQ(ChangedSinceRead(*read.head.picture), c.changed) << c.name;
    }
    EXPECT_EQ(DescribeChangedFile("/t/head/sign.gif"),
              "the file /t/head/sign.gif changed while it was sent");
}

}  // namespace
}  // namespace kesto
