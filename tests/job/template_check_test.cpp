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
#include "tests/common/temp_folder.h"

namespace kesto {
namespace {

using testing::TempFolder;
namespace fs = std::filesystem;

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
    std::replace(file.begin(), file.end(), '\\', '/');
    return file;
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

TEST(TemplateCheckTest, EachFlawIsFoundOnceWithItsFile) {
    const GraphicsUser graphics;
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
    for (const FlawCase& c : cases) {
        if (!c.applies) {
            continue;
        }
        const TempFolder folder;
        const fs::path copy = folder.path() / "ocean-blue";
        fs::copy(fs::path(KESTO_SOURCE_DIR) / "template" / "ocean-blue", copy,
                 fs::copy_options::recursive);
        JobRequest request{true, true, true, PathToUtf8(copy)};
        const std::vector<TemplateFinding> clean = InspectTemplate(request);
        EXPECT_TRUE(std::none_of(
            clean.begin(), clean.end(),
            [](const TemplateFinding& f) { return f.severity != FindingSeverity::kNote; }))
            << "the sample template: " << FindingLine(clean.front());
        c.spoil(copy);
        const std::vector<TemplateFinding> findings = InspectTemplate(request);
        EXPECT_EQ(CountFindings(findings, c), 1u) << c.name;
        EXPECT_EQ(CheckTemplate(request).empty(), c.severity != FindingSeverity::kError) << c.name;
    }
}

}  // namespace
}  // namespace kesto
