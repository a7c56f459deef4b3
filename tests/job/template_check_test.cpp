// The look at a template before a job (and for --check): each flaw of a copy of a sample
// template is found once, with its file and severity; the sample itself has no error or warning.

#include "job/template_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

#include "image/graphics_startup.h"
#include "platform/code_page.h"
#include "support/file_path.h"
#include "tests/common/temp_folder.h"

namespace kesto {
namespace {

using testing::TempFolder;
namespace fs = std::filesystem;

constexpr TemplateAreas kAllAreas{true, true, true};

struct FlawCase {
    const char* name;
    std::function<void(const fs::path&)> spoil;  // applied to a copy of ocean-blue
    FindingSeverity severity;
    std::string file;     // as the finding names it, with '/' between folders
    std::string text;     // a part of the finding's text
    bool applies = true;  // false where the system reads the spoiled file as it should
};

// "你好" in GBK, which a system whose code page is UTF-8 cannot read as text.
const std::string kGbkText = "<p>\xC4\xE3\xBA\xC3</p>";

std::string WithSlashes(std::string file) {
    std::replace(file.begin(), file.end(), static_cast<char>(fs::path::preferred_separator), '/');
    return file;
}

// Whether this system and its user may make symbolic links (Windows asks for a privilege).
bool CanMakeLinks() {
    const TempFolder folder;
    std::error_code error;
    fs::create_symlink(folder.path() / "target", folder.path() / "link", error);
    return !error;
}

std::size_t CountFindings(const std::vector<TemplateFinding>& findings, const FlawCase& c) {
    return static_cast<std::size_t>(
        std::count_if(findings.begin(), findings.end(), [&c](const TemplateFinding& f) {
            return f.severity == c.severity && WithSlashes(f.file) == c.file &&
                   f.text.find(c.text) != std::string::npos;
        }));
}

void Write(const fs::path& file, const std::string& content) {
    std::ofstream(file, std::ios::binary) << content;
}

// Each case spoils a fresh copy of the sample template, whose check finds nothing but notes.
template <std::size_t N>
void ExpectEachFound(const FlawCase (&cases)[N]) {
    const GraphicsUser graphics;
    for (const FlawCase& c : cases) {
        if (!c.applies) {
            continue;
        }
        const TempFolder folder;
        const fs::path copy = folder.path() / "ocean-blue";
        fs::copy(fs::path(KESTO_SOURCE_DIR) / "template" / "ocean-blue", copy,
                 fs::copy_options::recursive);
        JobRequest request{true, true, true, PathToUtf8(copy)};
        const std::vector<TemplateFinding> clean =
            InspectTemplate(request, ReadTemplateFolder(request.templatePath, kAllAreas));
        EXPECT_TRUE(std::none_of(
            clean.begin(), clean.end(),
            [](const TemplateFinding& f) { return f.severity != FindingSeverity::kNote; }))
            << "the sample template: " << FindingLine(clean.front());
        c.spoil(copy);
        const TemplateFolder spoiled = ReadTemplateFolder(request.templatePath, kAllAreas);
        const std::vector<TemplateFinding> findings = InspectTemplate(request, spoiled);
        EXPECT_EQ(CountFindings(findings, c), 1u) << c.name;
        EXPECT_EQ(CheckTemplate(request, spoiled).empty(), c.severity != FindingSeverity::kError)
            << c.name;
    }
}

TEST(TemplateCheckTest, EachFlawIsFoundOnceWithItsFile) {
    const FlawCase cases[] = {
        {"a png beside the sign",
         [](const fs::path& t) { fs::copy(t / "head/sign.gif", t / "head/logo.png"); },
         FindingSeverity::kWarning, "head/logo.png", "skipped"},
        {"a png on the main page",
         [](const fs::path& t) { fs::copy(t / "head/sign.gif", t / "main/extra.png"); },
         FindingSeverity::kWarning, "main/extra.png", "only jpg, jpeg and gif"},
        {"a picture the text never names",
         [](const fs::path& t) { fs::copy(t / "main/gift.jpg", t / "main/unused.jpg"); },
         FindingSeverity::kWarning, "main/unused.jpg", "never names it"},
        {"the text names a missing picture",
         [](const fs::path& t) {
             Write(t / "main/content.txt",
                   "<img src=\"top.jpg\"><img src=\"sale.jpg\"><img src=\"gift.jpg\"><img "
                   "src=\"gone.jpg\">");
         },
         FindingSeverity::kWarning, "main/content.txt", "names gone.jpg"},
        {"no page text", [](const fs::path& t) { fs::remove(t / "main/content.txt"); },
         FindingSeverity::kError, "main", "holds no page text"},
        {"an empty page text",
         [](const fs::path& t) { Write(t / "main/content.txt", "\xEF\xBB\xBF \r\n\t"); },
         FindingSeverity::kError, "main/content.txt", "holds no text"},
        {"a picture that is not one", [](const fs::path& t) { Write(t / "main/gift.jpg", "text"); },
         FindingSeverity::kError, "main/gift.jpg", "cannot be read as a picture"},
        {"a page text the system's code page cannot read",
         [](const fs::path& t) { Write(t / "main/content.txt", kGbkText); },
         FindingSeverity::kError, "main/content.txt", "no text in the encoding it is read in",
         DecodeText(kGbkText, CodePage::ThreadAnsi).find("\xEF\xBF\xBD") != std::string::npos},
        {"a UTF-8 page text without byte-order mark where the code page is another",
         [](const fs::path& t) { Write(t / "main/content.txt", "<p>你好</p>"); },
         FindingSeverity::kError, "main/content.txt", "is UTF-8 without a byte-order mark",
         DecodeText("<p>你好</p>", CodePage::ThreadAnsi) != "<p>你好</p>"},
        {"a UTF-8 page text with its mark and bytes that are no UTF-8",
         [](const fs::path& t) { Write(t / "main/content.txt", "\xEF\xBB\xBF<p>" + kGbkText); },
         FindingSeverity::kError, "main/content.txt", "no text in the encoding it is read in"},
        {"a folder named like a second page text",
         [](const fs::path& t) { fs::create_directory(t / "main/notes.txt"); },
         FindingSeverity::kWarning, "main/notes.txt", "ignored: a folder"},
        {"a picture cut short",
         [](const fs::path& t) {
             fs::resize_file(t / "main/top.jpg", fs::file_size(t / "main/top.jpg") / 2);
         },
         FindingSeverity::kError, "main/top.jpg", "is cut short"},
        {"a category without its top picture",
         [](const fs::path& t) { fs::remove(t / "class/Hats/Hats.jpg"); }, FindingSeverity::kError,
         "class/Hats", "no top picture"},
        {"thumbs.db in a category",
         [](const fs::path& t) { Write(t / "class/Hats/Thumbs.db", "x"); }, FindingSeverity::kNote,
         "class/Hats/thumbs.db", "ignored"},
        {"no category folder",
         [](const fs::path& t) {
             fs::remove_all(t / "class");
             fs::create_directory(t / "class");
         },
         FindingSeverity::kError, "class", "no category folder"},
    };
    ExpectEachFound(cases);
}

// A link may lead to another place in the template; one that leads out of it would publish
// whatever it points at, a linked cookie file as the page text.
TEST(TemplateCheckTest, LinksOutOfTheTemplateAreErrors) {
    const bool links = CanMakeLinks();
    const auto outside = [](const fs::path& t) { return t.parent_path() / "elsewhere"; };
    const FlawCase cases[] = {
        {"a page text linked to a file outside",
         [&](const fs::path& t) {
             Write(outside(t), "\xEF\xBB\xBF<p>cookies</p>");
             fs::remove(t / "main/content.txt");
             fs::create_symlink(outside(t), t / "main/content.txt");
         },
         FindingSeverity::kError, "main/content.txt", "links outside the template", links},
        {"a shop sign linked outside by a relative path",
         [&](const fs::path& t) {
             fs::rename(t / "head/sign.gif", outside(t));
             fs::create_symlink("../../elsewhere", t / "head/sign.gif");
         },
         FindingSeverity::kError, "head/sign.gif", "links outside the template", links},
        {"a category folder linked outside",
         [&](const fs::path& t) {
             fs::rename(t / "class/Hats", outside(t));
             fs::create_directory_symlink(outside(t), t / "class/Hats");
         },
         FindingSeverity::kError, "class/Hats", "links outside the template", links},
        {"the main folder linked outside",
         [&](const fs::path& t) {
             fs::rename(t / "main", outside(t));
             fs::create_directory_symlink(outside(t), t / "main");
         },
         FindingSeverity::kError, "main", "links outside the template", links},
        {"a link whose target is gone",
         [&](const fs::path& t) { fs::create_symlink(outside(t), t / "class/Hats/Hats-x.jpg"); },
         FindingSeverity::kError, "class/Hats/Hats-x.jpg", "target cannot be found", links},
        {"a picture linked to another of the template",
         [](const fs::path& t) { fs::create_symlink("top.jpg", t / "main/again.jpg"); },
         FindingSeverity::kWarning, "main/again.jpg", "never names it", links},
        {"a category folder linked to another of the template",
         [](const fs::path& t) { fs::create_directory_symlink("Hats", t / "class/Caps"); },
         FindingSeverity::kNote, "class/Caps", "category \"Hats\"", links},
    };
    ExpectEachFound(cases);
}

// A page text whose decoded form would lack part of the file is refused, not cut short.
TEST(TemplateCheckTest, PageTextsThatAreNotWholeTextAreErrors) {
    const auto text = [](std::string bytes) {
        return [bytes](const fs::path& t) { Write(t / "main/content.txt", bytes); };
    };
    const FlawCase cases[] = {
        {"UTF-16 without byte-order mark", text(std::string("<\0p\0>\0", 6)),
         FindingSeverity::kError, "main/content.txt", "holds a zero byte"},
        {"UTF-16 with an odd number of bytes", text(std::string("\xFF\xFE<\0p\0>", 7)),
         FindingSeverity::kError, "main/content.txt", "odd number of bytes"},
        {"UTF-16 with half a surrogate pair", text(std::string("\xFF\xFE<\0\x3D\xD8>\0", 8)),
         FindingSeverity::kError, "main/content.txt", "surrogate"},
        {"UTF-8 with a zero character", text(std::string("\xEF\xBB\xBF<p>\0</p>", 11)),
         FindingSeverity::kError, "main/content.txt", "zero character"},
    };
    ExpectEachFound(cases);
}

// A category is named after its picture's name up to the first '.'; the album cuts a name at a
// backslash, which a file name may hold where it is no path separator; a name goes out in the
// marketplace's code page, which (GBK) has no Korean letters and no emoji.
TEST(TemplateCheckTest, PictureNamesTheShopCannotTakeAreErrors) {
    const bool backslashInNames = fs::path::preferred_separator != '\\';
    const std::string korean = "\xEC\x82\xAC\xEC\xA7\x84\xF0\x9F\x8C\xB8";  // 사진🌸
    const bool koreanLost =
        EncodeText(korean, CodePage::Marketplace).find('?') != std::string::npos;
    const FlawCase cases[] = {
        {"a category picture without a dot",
         [](const fs::path& t) { fs::copy(t / "class/Hats/Hats.jpg", t / "class/Hats/Caps"); },
         FindingSeverity::kError, "class/Hats/Caps", "has no '.'"},
        {"a main page picture with a backslash",
         [](const fs::path& t) { fs::rename(t / "main/top.jpg", t / "main/back\\slash.jpg"); },
         FindingSeverity::kError, "main/back\\slash.jpg", "has a '\\'", backslashInNames},
        {"a sub-category picture with a backslash",
         [](const fs::path& t) {
             fs::copy(t / "class/Hats/Hats.jpg", t / "class/Hats/a-b\\c.jpg");
         },
         FindingSeverity::kError, "class/Hats/a-b\\c.jpg", "has a '\\'", backslashInNames},
        {"a main page picture named in letters the marketplace's code page lacks",
         [&korean](const fs::path& t) {
             fs::copy(t / "main/gift.jpg", t / PathFromUtf8("main/" + korean + ".jpg"));
         },
         FindingSeverity::kError, "main/" + korean + ".jpg", "cannot be sent", koreanLost},
        {"a sub-category picture named in letters the marketplace's code page lacks",
         [&korean](const fs::path& t) {
             fs::copy(t / "class/Hats/Hats.jpg",
                      t / PathFromUtf8("class/Hats/Hats-" + korean + ".jpg"));
         },
         FindingSeverity::kError, "class/Hats/Hats-" + korean + ".jpg", "cannot be sent",
         koreanLost},
    };
    ExpectEachFound(cases);
}

// A folder whose path is longer than a listing takes is one error naming its length, not the
// findings of the files it would seem not to hold; a whole template so deep is one error alone.
TEST(TemplateCheckTest, FoldersTooDeepToListAreOneErrorEach) {
    const GraphicsUser graphics;
    const std::string longName(230, 'H');
    const struct {
        const char* name;
        fs::path moved;  // where ocean-blue's class/Hats, or the template, goes
        bool wholeTemplate;
        std::string file;
    } cases[] = {
        {"a category folder", fs::path("ocean-blue") / "class" / longName, false,
         "class/" + longName},
        {"the template folder", fs::path(longName) / "ocean-blue", true, ""},
    };
    for (const auto& c : cases) {
        const TempFolder folder;
        const fs::path source = fs::path(KESTO_SOURCE_DIR) / "template" / "ocean-blue";
        const fs::path copy = folder.path() / (c.wholeTemplate ? c.moved : "ocean-blue");
        std::error_code error;
        fs::create_directories(copy, error);
        fs::copy(source, copy, fs::copy_options::recursive, error);
        if (!c.wholeTemplate && !error) {
            fs::rename(copy / "class" / "Hats", folder.path() / c.moved, error);
        }
        if (error) {
            GTEST_SKIP() << "this system takes no path this long: " << error.message();
        }
        JobRequest request{true, true, true, PathToUtf8(copy)};
        const std::vector<TemplateFinding> findings =
            InspectTemplate(request, ReadTemplateFolder(request.templatePath, kAllAreas));
        std::vector<TemplateFinding> errors =
            CheckTemplate(request, ReadTemplateFolder(request.templatePath, kAllAreas));
        ASSERT_EQ(errors.size(), 1u) << c.name;
        EXPECT_EQ(WithSlashes(errors[0].file), c.file) << c.name;
        EXPECT_NE(errors[0].text.find("characters long"), std::string::npos) << errors[0].text;
        EXPECT_EQ(findings.size() == 1, c.wholeTemplate) << c.name;
    }
}

}  // namespace
}  // namespace kesto
