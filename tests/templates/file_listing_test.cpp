#include "templates/file_listing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "tests/common/temp_folder.h"
#include "tests/common/trace_watch.h"

namespace kesto {
namespace {

using testing::TempFolder;
using testing::TraceWatch;
using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

std::size_t CountOf(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

std::vector<std::string> Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

TEST(FileListingTest, ListsNamesSkippingDotNamesAndFilteringFolders) {
    TempFolder folder;
    folder.Write("a.jpg");
    folder.Write("b.png");
    folder.Write(".hidden.jpg");
    std::filesystem::create_directory(folder.path() / "sub");
    std::filesystem::create_directory(folder.path() / ".git");

    const struct {
        int (*list)(const std::string&, std::vector<std::string>&);
        std::vector<std::string> expected;
    } cases[] = {
        {ListEntries, {"a.jpg", "b.png", "sub"}},
        {ListSubfolders, {"sub"}},
        {ListFiles, {"a.jpg", "b.png"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> names;
        const TraceWatch trace;
        CaptureStdout();
        EXPECT_EQ(c.list(folder.Folder(), names), 1);
        EXPECT_EQ(GetCapturedStdout(), "");
        EXPECT_EQ(Sorted(names), c.expected);
        // Every delivered entry has its line in the trace log, skipped ones included.
        const std::string debug = trace.Added();
        EXPECT_EQ(CountOf(debug, ")First file name is "), 1u) << debug;
        EXPECT_EQ(CountOf(debug, ")Next file name is "), 6u) << debug;
        EXPECT_EQ(CountOf(debug, ")Next file name is sub\r\n"), 1u) << debug;
    }
}

TEST(FileListingTest, OneListingSplitsFilesFromFoldersInListingOrder) {
    TempFolder folder;
    for (const char* name : {"a.jpg", "b.txt", "c.gif", ".hidden", "sub1/x", "sub2/y"}) {
        folder.Write(name);
    }
    std::vector<std::string> files;
    std::vector<std::string> folders;
    EXPECT_EQ(ListFilesAndFolders(folder.Folder(), files, folders), 1);
    std::vector<std::string> expectedFiles;
    std::vector<std::string> expectedFolders;
    ListFiles(folder.Folder(), expectedFiles);
    ListSubfolders(folder.Folder(), expectedFolders);
    EXPECT_EQ(files, expectedFiles);
    EXPECT_EQ(folders, expectedFolders);
    EXPECT_EQ(Sorted(files), (std::vector<std::string>{"a.jpg", "b.txt", "c.gif"}));
    EXPECT_EQ(Sorted(folders), (std::vector<std::string>{"sub1", "sub2"}));
    std::vector<std::string> kept{"kept"};
    EXPECT_EQ(ListFilesAndFolders(folder.Folder() + "missing/", kept, kept), -1);
    EXPECT_EQ(kept, std::vector<std::string>{"kept"});
}

TEST(FileListingTest, EmptyFolderGivesNoNamesAndSuccess) {
    TempFolder folder;
    std::vector<std::string> names;
    EXPECT_EQ(ListEntries(folder.Folder(), names), 1);
    EXPECT_TRUE(names.empty());
}

TEST(FileListingTest, MissingFolderFailsWithoutTouchingTheListOrPrinting) {
    TempFolder folder;
    for (const auto list : {ListEntries, ListSubfolders}) {
        std::vector<std::string> names{"kept"};
        const TraceWatch trace;
        CaptureStdout();
        EXPECT_EQ(list(folder.Folder() + "missing/", names), -1);
        EXPECT_EQ(GetCapturedStdout(), "");
        EXPECT_EQ(trace.Added(), "");
        EXPECT_EQ(names, std::vector<std::string>{"kept"});
    }
}

TEST(FileListingTest, AppendsToTheCallersList) {
    TempFolder folder;
    folder.Write("1.jpg");
    std::vector<std::string> names;
    ListEntries(folder.Folder(), names);
    ListEntries(folder.Folder(), names);
    EXPECT_EQ(names, (std::vector<std::string>{"1.jpg", "1.jpg"}));
}

TEST(FileListingTest, RefusesPatternsLongerThan259Characters) {
    std::vector<std::string> names;
    CaptureStdout();
    EXPECT_EQ(ListEntries(std::string(259, 'x'), names), -1);  // with "*" it would be 260
    EXPECT_EQ(GetCapturedStdout(), "");

    // A folder path of 258 characters still fits: the refusal is the pattern's, not the path's.
    TempFolder folder;
    std::string path = folder.Folder();
    path += std::string(258 - path.size() - 1, 'p') + "/";
    ASSERT_EQ(path.size(), 258u);
    std::filesystem::create_directories(PathFromUtf8(path));
    EXPECT_EQ(ListEntries(path, names), 1);
}

TEST(FileListingTest, ListsChineseNames) {
    TempFolder folder;
    folder.Write("\xE5\x88\x86\xE7\xB1\xBB/1.jpg");  // 分类/1.jpg
    std::vector<std::string> names;
    EXPECT_EQ(ListSubfolders(folder.Folder(), names), 1);
    EXPECT_EQ(names, std::vector<std::string>{"\xE5\x88\x86\xE7\xB1\xBB"});
}

// The same names give the same listing whatever order they were made in (and the file system
// keeps them in): the order a Windows folder shows.
TEST(FileListingTest, ListsInOneOrderWhateverTheFileSystemKeeps) {
    const std::vector<std::string> expected = {
        "1.jpg",
        "a.jpg",  // names that differ in case alone are one name on Windows: none here
        "B.jpg",
        "ba",
        "Z",
        "_x.jpg",
        "\xE5\x8C\x85\xE5\x8C\x85",              // 包包
        "\xE8\xBF\x9E\xE8\xA1\xA3\xE8\xA3\x99",  // 连衣裙
        "\xF0\x9F\x8C\xB8.jpg",                  // 🌸.jpg (a surrogate pair)
        "\xEF\xBD\x81.jpg",                      // ａ.jpg (fullwidth, above it)
    };
    for (const bool reversed : {false, true}) {
        TempFolder folder;
        std::vector<std::string> made = expected;
        if (reversed) {
            std::reverse(made.begin(), made.end());
        }
        for (const std::string& name : made) {
            folder.Write(name);
        }
        std::vector<std::string> names;
        EXPECT_EQ(ListEntries(folder.Folder(), names), 1);
        EXPECT_EQ(names, expected) << "made reversed: " << reversed;
    }
}

TEST(FileListingTest, NameOrderComparesCodeUnitsWithAsciiLettersAsCapitals) {
    const struct {
        const char* before;
        const char* after;
    } cases[] = {
        {"a", "B"}, {"B", "c"}, {"A", "a"},      {"ab", "AC"},      {"a", "ab"},
        {"Z", "_"}, {"9", "A"}, {"a.jpg", "a1"}, {"x", "\xC3\xA9"},  // é after ASCII
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(NameListedBefore(c.before, c.after)) << c.before << " < " << c.after;
        EXPECT_FALSE(NameListedBefore(c.after, c.before)) << c.after << " !< " << c.before;
    }
    EXPECT_FALSE(NameListedBefore("same", "same"));
}

}  // namespace
}  // namespace kesto
