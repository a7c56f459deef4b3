#include "templates/template_roots.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/file_path.h"

namespace kesto {
namespace {

// The text with '/' as the system's separator, so that one table serves both systems.
std::string Native(std::string text) {
    std::replace(text.begin(), text.end(), '/', kPathSeparator);
    return text;
}

std::vector<std::string> Native(std::vector<std::string> texts) {
    for (std::string& text : texts) {
        text = Native(text);
    }
    return texts;
}

TEST(TemplateRootsTest, BesideTheProgramThenUserDataThenEachSystemDataFolder) {
    const struct {
        const char* name;
        TemplatePlaces places;
        std::vector<std::string> expected;
    } cases[] = {
        {"all places",
         {"/opt/kd/bin/", "/home/u/.local/share/", {"/usr/local/share/", "/usr/share/"}},
         {"/opt/kd/bin/template/", "/home/u/.local/share/kesto-decor/templates/",
          "/usr/local/share/kesto-decor/templates/", "/usr/share/kesto-decor/templates/"}},
        {"system folders keep their order",
         {"/b/", "/h/", {"/z/", "/a/"}},
         {"/b/template/", "/h/kesto-decor/templates/", "/z/kesto-decor/templates/",
          "/a/kesto-decor/templates/"}},
        {"unknown user folder",
         {"/b/", "", {"/usr/share/"}},
         {"/b/template/", "/usr/share/kesto-decor/templates/"}},
        {"no system folders", {"/b/", "/h/", {}}, {"/b/template/", "/h/kesto-decor/templates/"}},
        {"folders without their separator",
         {"/b", "/h", {"/usr/share"}},
         {"/b/template/", "/h/kesto-decor/templates/", "/usr/share/kesto-decor/templates/"}},
        {"the user folder again among the system folders comes once",
         {"/b/", "/h/", {"/h/", "", "/usr/share/", "/usr/share/"}},
         {"/b/template/", "/h/kesto-decor/templates/", "/usr/share/kesto-decor/templates/"}},
        {"nothing known", {"", "", {}}, {}},
    };
    for (const auto& c : cases) {
        TemplatePlaces places = c.places;
        places.executableFolder = Native(places.executableFolder);
        places.userDataFolder = Native(places.userDataFolder);
        places.systemDataFolders = Native(places.systemDataFolders);
        EXPECT_EQ(TemplateRoots(places), Native(c.expected)) << c.name;
    }
}

}  // namespace
}  // namespace kesto
