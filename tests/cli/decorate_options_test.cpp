#include "cli/decorate_options.h"

#include <gtest/gtest.h>

namespace kesto {
namespace {

using Arguments = std::vector<std::string>;

TEST(DecorateOptionsTest, AcceptsTheDocumentedForms) {
    const struct {
        Arguments arguments;
        bool sign, main, categories, confirmed;
        std::string cookies;
        int parallel = 1;
    } cases[] = {
        {{"--template", "t"}, true, true, true, false, ""},
        {{"--template", "t", "--areas", "none"}, false, false, false, false, ""},
        {{"--template", "t", "--areas", "main,sign"}, true, true, false, false, ""},
        {{"--areas", "categories", "--template", "t", "--yes"}, false, false, true, true, ""},
        {{"--template", "t", "--cookies", "c.txt", "-y"}, true, true, true, true, "c.txt"},
        {{"--template", "t", "--parallel", "4"}, true, true, true, false, "", 4},
        {{"--parallel", "8", "--template", "t"}, true, true, true, false, "", 8},
        {{"--template", "t", "--parallel", "1"}, true, true, true, false, "", 1},
    };
    for (const auto& c : cases) {
        const ParsedOptions parsed = ParseDecorateOptions(c.arguments);
        ASSERT_TRUE(parsed.options) << parsed.error;
        EXPECT_EQ(parsed.options->templateFolder, "t");
        EXPECT_EQ(parsed.options->shopSign, c.sign);
        EXPECT_EQ(parsed.options->mainPage, c.main);
        EXPECT_EQ(parsed.options->categories, c.categories);
        EXPECT_EQ(parsed.options->confirmed, c.confirmed);
        EXPECT_EQ(parsed.options->cookieFile, c.cookies);
        EXPECT_EQ(parsed.options->parallelUploads, c.parallel);
    }
}

TEST(DecorateOptionsTest, RefusesBadCommandLinesWithAReason) {
    const Arguments cases[] = {
        {},
        {"--areas", "main"},
        {"--template"},
        {"--template", "t", "--areas"},
        {"--template", "t", "--areas", "main,logo"},
        {"--template", "t", "--areas", ""},
        {"--template", "t", "--areas", "main,"},
        {"--template", "t", "--verbose"},
        {"t"},
        {"--login", "--template", "t"},
        {"--login", "--cookies", "c.txt"},
        {"--login", "--areas", "main"},
        {"--login", "--plan"},
        {"--login", "--list-templates"},
        {"--template", "t", "--parallel"},
        {"--template", "t", "--parallel", "0"},
        {"--template", "t", "--parallel", "9"},
        {"--template", "t", "--parallel", "-2"},
        {"--template", "t", "--parallel", "+4"},
        {"--template", "t", "--parallel", " 4"},
        {"--template", "t", "--parallel", "four"},
        {"--template", "t", "--parallel", "04x"},
        {"--login", "--parallel", "2"},
    };
    for (const Arguments& arguments : cases) {
        const ParsedOptions parsed = ParseDecorateOptions(arguments);
        EXPECT_FALSE(parsed.options);
        EXPECT_FALSE(parsed.error.empty());
    }
    const ParsedOptions help = ParseDecorateOptions({"--help"});
    ASSERT_TRUE(help.options);
    EXPECT_TRUE(help.options->help);
}

// Options that answer without decorating, and --login, need no template.
TEST(DecorateOptionsTest, VersionAndTemplateListNeedNoTemplate) {
    const struct {
        Arguments arguments;
        bool version;
        bool listTemplates;
    } cases[] = {
        {{"--version"}, true, false},
        {{"--list-templates"}, false, true},
        {{"--list-templates", "--template", "t"}, false, true},
        {{"--login"}, false, false},
        {{"--login", "--version"}, true, false},
    };
    for (const auto& c : cases) {
        const ParsedOptions parsed = ParseDecorateOptions(c.arguments);
        ASSERT_TRUE(parsed.options) << parsed.error;
        EXPECT_EQ(parsed.options->version, c.version);
        EXPECT_EQ(parsed.options->listTemplates, c.listTemplates);
        EXPECT_EQ(parsed.options->login, c.arguments.front() == "--login");
    }
}

}  // namespace
}  // namespace kesto
