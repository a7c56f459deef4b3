#include "templates/template_catalog.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/file_path.h"
#include "tests/common/temp_folder.h"

namespace kesto {
namespace {

using testing::TempFolder;

// Three roots as the programs search them: beside the program, the user's, the system's.
class TemplateCatalogTest : public ::testing::Test {
  protected:
    TemplateCatalogTest() {
        base.Write("program/template/spring/head/a.jpg");
        base.Write("user/ocean/head/a.jpg");
        base.Write("user/spring/head/a.jpg");  // hidden by the one beside the program
        base.Write("user/loose.txt");
        base.Write("user/.hidden/head/a.jpg");
        base.Write("system/autumn/head/a.jpg");
        base.Write("system/ocean/head/a.jpg");  // hidden by the user's
    }

    std::string Root(const std::string& name) const {
        return base.Folder() + name + kPathSeparator;
    }
    std::vector<std::string> Roots() const {
        return {base.Folder() + "program" + kPathSeparator + "template" + kPathSeparator,
                Root("user"), Root("missing"), Root("system")};
    }

    TempFolder base;
};

TEST_F(TemplateCatalogTest, ListsEveryRootInOrderAndEarlierTemplatesHideLaterOnes) {
    const std::vector<TemplateEntry> templates = ListTemplates(Roots());
    std::vector<std::string> names;
    for (const TemplateEntry& found : templates) {
        names.push_back(found.name);
        EXPECT_EQ(found.folder.back(), kPathSeparator) << found.folder;
    }
    // Roots in order; within a root the file system's order.
    ASSERT_EQ(names.size(), 3u);
    EXPECT_EQ(names[0], "spring");
    EXPECT_EQ(templates[0].folder, Roots()[0] + "spring" + kPathSeparator);
    std::sort(names.begin() + 1, names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"spring", "autumn", "ocean"}));
    const auto ocean = std::find_if(templates.begin(), templates.end(),
                                    [](const TemplateEntry& t) { return t.name == "ocean"; });
    EXPECT_EQ(ocean->folder, Root("user") + "ocean" + kPathSeparator);
}

TEST_F(TemplateCatalogTest, FindsAFolderAsGivenOrABareNameInTheFirstRootHoldingIt) {
    const std::string givenFolder = Root("system") + "autumn";
    const struct {
        std::string given;
        std::optional<std::string> expected;
    } cases[] = {
        {givenFolder, givenFolder},             // an existing folder, as given
        {"spring", Roots()[0] + "spring"},      // the first root wins
        {"ocean", Root("user") + "ocean"},      // the user's hides the system's
        {"autumn", Root("system") + "autumn"},  // found in the last root
        {"winter", std::nullopt},               // in no root
        {"loose.txt", std::nullopt},            // a file is no template
        {".hidden", std::nullopt},              // hidden names are not listed
        {std::string("x") + kPathSeparator + "ocean", std::nullopt},  // not a bare name
        {"", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindTemplateFolder(c.given, Roots()), c.expected) << c.given;
    }
}

}  // namespace
}  // namespace kesto
