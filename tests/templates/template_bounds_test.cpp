#include "templates/template_bounds.h"

#include <gtest/gtest.h>

#include "tests/common/temp_folder.h"

namespace kesto {
namespace {

using testing::TempFolder;
namespace fs = std::filesystem;

constexpr char kSeparator = static_cast<char>(fs::path::preferred_separator);

// Each case makes a link in a template folder "t", reached through the link "via" as the
// template folders the desktop lists may be.
TEST(TemplateBoundsTest, JudgesWhereLinksLead) {
    const struct {
        const char* link;    // in the template folder
        const char* target;  // as the link holds it
        bool folder;
        LinkVerdict verdict;
    } cases[] = {
        {"main/text.txt", "../head/sign.gif", false, LinkVerdict::kInside},
        {"class/Root", "../..", true, LinkVerdict::kOutside},  // the folder holding the template
        {"class/Self", "..", true, LinkVerdict::kInside},      // the class folder itself
        {"main/text.txt", "../../t-sibling/page.txt", false, LinkVerdict::kOutside},
        {"main/text.txt", "gone.txt", false, LinkVerdict::kBroken},
    };
    for (const auto& c : cases) {
        const TempFolder folder;
        folder.Write("t/main/page.txt", "page");
        folder.Write("t/head/sign.gif", "sign");
        folder.Write("t/class/Hats/Hats.jpg", "hat");
        folder.Write("t-sibling/page.txt", "other");
        std::error_code error;
        fs::create_directory_symlink("t", folder.path() / "via", error);
        if (error) {
            GTEST_SKIP() << "this system does not let its user make links";
        }
        const fs::path link = folder.path() / "t" / fs::path(c.link).make_preferred();
        if (c.folder) {
            fs::create_directory_symlink(c.target, link);
        } else {
            fs::create_symlink(c.target, link);
        }
        const TemplateBounds bounds(folder.Folder() + "via");
        const std::string path =
            folder.Folder() + "via" + kSeparator + PathToUtf8(fs::path(c.link).make_preferred());
        EXPECT_EQ(bounds.Judge(path), c.verdict) << c.link << " -> " << c.target;
        EXPECT_EQ(bounds.Judge(folder.Folder() + "t/main/page.txt"), LinkVerdict::kNoLink);
        const bool leaves = c.verdict == LinkVerdict::kOutside || c.verdict == LinkVerdict::kBroken;
        EXPECT_EQ(bounds.FirstLeavingPath({folder.Folder() + "via", path}), leaves ? path : "");
    }
}

TEST(TemplateBoundsTest, ParentFolderIsTakenFromThePathsText) {
    const struct {
        std::string path;
        std::string parent;
    } cases[] = {
        {"T/main", "T/"}, {"T/main/", "T/"}, {"T/head/sign.gif", "T/head/"},
        {"/main", "/"},   {"main", "."},     {"/", "/"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParentFolder(c.path), c.parent) << c.path;
    }
}

}  // namespace
}  // namespace kesto
