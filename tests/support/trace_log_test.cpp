#include "support/trace_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <thread>
#include <vector>

#include "tests/common/temp_folder.h"

namespace kesto {
namespace {

using testing::ReadFile;
using testing::TempFolder;

const LocalTime kJanuaryFifth{1, 5, 8, 4, 9};

TraceLog::Environment EnabledIn(const std::string& folder) {
    TraceLog::Environment environment;
    environment.enabled = true;
    environment.folder = folder;
    environment.clock = [] { return kJanuaryFifth; };
    environment.threadId = [] { return 77ul; };
    return environment;
}

TEST(TraceLineTest, FormatsTimeThreadAndMessage) {
    EXPECT_EQ(FormatTraceLine(kJanuaryFifth, 77, "Send header error."),
              "1.5 08:04:09--(tid=77)Send header error.\r\n");
    EXPECT_EQ(FormatTraceLine({12, 6, 9, 5, 3}, 77, "HTTP error,statuscode=404"),
              "12.6 09:05:03--(tid=77)HTTP error,statuscode=404\r\n");
}

TEST(TraceLineTest, LongLinesAreCutAndLoseTheirLineEndFirst) {
    const std::string prefix = FormatTraceLine(kJanuaryFifth, 77, "");
    const std::size_t prefixLength = prefix.size() - 2;  // without CR LF
    const struct {
        std::size_t lineLength;
        std::string ending;
        std::size_t written;
    } cases[] = {
        {509, "\r\n", 511},
        {510, "\r", 511},
        {511, "", 511},
        {600, "", 511},
    };
    for (const auto& c : cases) {
        const std::string line =
            FormatTraceLine(kJanuaryFifth, 77, std::string(c.lineLength - prefixLength, 'm'));
        EXPECT_EQ(line.size(), c.written) << "line length " << c.lineLength;
        EXPECT_EQ(line.substr(c.written - c.ending.size()), c.ending)
            << "line length " << c.lineLength;
    }
}

TEST(TraceLogTest, WritesLinesToTheDaysFileAppendingToWhatItHolds) {
    TempFolder folder;
    const auto file = folder.Write("Trace1-5.log", "earlier\r\n");
    TraceLog log(EnabledIn(folder.Folder()));
    EXPECT_EQ(log.Write("Connection fail,err=%d", 12029), 1);
    EXPECT_EQ(log.Write("Send header error."), 1);
    EXPECT_EQ(ReadFile(file),
              "earlier\r\n"
              "1.5 08:04:09--(tid=77)Connection fail,err=12029\r\n"
              "1.5 08:04:09--(tid=77)Send header error.\r\n");
}

TEST(TraceLogTest, MessageOf511CharactersIsWrittenCutAndOf512IsDropped) {
    TempFolder folder;
    TraceLog log(EnabledIn(folder.Folder()));
    EXPECT_EQ(log.Write("%s", std::string(512, 'x').c_str()), 0);
    EXPECT_EQ(log.Write("%s", std::string(511, 'x').c_str()), 1);
    const std::string content = ReadFile(folder.path() / "Trace1-5.log");
    EXPECT_EQ(content.size(), 511u);
    EXPECT_EQ(content.substr(0, 22), "1.5 08:04:09--(tid=77)");
}

TEST(TraceLogTest, MessageLimitCountsCharactersNotBytes) {
    TempFolder folder;
    TraceLog log(EnabledIn(folder.Folder()));
    std::string chinese;
    for (int i = 0; i < 300; ++i) {
        chinese += "\xE4\xB8\xAD";  // 300 characters, 900 bytes in UTF-8
    }
    EXPECT_EQ(log.Write("%s", chinese.c_str()), 1);
}

TEST(TraceLogTest, OffWritesNothingAndCreatesNoFile) {
    TempFolder folder;
    auto environment = EnabledIn(folder.Folder());
    environment.enabled = false;
    TraceLog log(environment);
    EXPECT_EQ(log.Write("HTTP error,statuscode=%d", 500), 0);
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST(TraceLogTest, SecondWriterOfTheSameFileCannotOpenIt) {
    TempFolder folder;
    TraceLog first(EnabledIn(folder.Folder()));
    TraceLog second(EnabledIn(folder.Folder()));
    EXPECT_EQ(first.Write("Send data error"), 1);
    EXPECT_EQ(second.Write("Send data error"), -1);
    EXPECT_EQ(second.Write("Send data error"), -1);
    EXPECT_EQ(first.Write("Send data error"), 1);
}

TEST(TraceLogTest, UnopenableFileFailsAndIsRetriedOnTheNextWrite) {
    TempFolder folder;
    const std::string missing =
        folder.Folder() + "later" + static_cast<char>(std::filesystem::path::preferred_separator);
    TraceLog log(EnabledIn(missing));
    EXPECT_EQ(log.Write("Send form data error"), -1);
    std::filesystem::create_directory(folder.path() / "later");
    EXPECT_EQ(log.Write("Send form data error"), 1);
}

// A folder that cannot take the file (an installed program's) sends it to the fallback folder,
// made when missing; without a fallback the write fails as before.
TEST(TraceLogTest, UnwritableFolderFallsBackToTheUsersDataFolder) {
    TempFolder folder;
    const char separator = static_cast<char>(std::filesystem::path::preferred_separator);
    auto environment = EnabledIn(folder.Folder() + "missing" + separator);
    environment.fallbackFolder = folder.Folder() + "data" + separator + "kesto-decor" + separator;
    TraceLog log(environment);
    EXPECT_EQ(log.Write("Send form data error"), 1);
    EXPECT_NE(ReadFile(folder.path() / "data" / "kesto-decor" / "Trace1-5.log")
                  .find("Send form data error"),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "missing"));
}

// An installed program's log never goes beside it (root could write there, and removing the
// package would leave the log behind); a program elsewhere writes beside itself first.
TEST(TraceLogFoldersTest, InstalledProgramsWriteOnlyIntoTheDataFolder) {
    const std::vector<std::string> installed = {"/usr/", "/opt/", "C:\\Program Files\\"};
    const std::string data = "/home/ann/.local/share/kesto-decor/";
    const struct {
        std::string program;
        TraceLogPlace expected;
    } cases[] = {
        {"/usr/bin/", {"", data}},
        {"/usr/local/bin/", {"", data}},
        {"/opt/kesto-decor/bin/", {"", data}},
        {"C:\\Program Files\\kesto-decor\\", {"", data}},
        {"c:/program files/kesto-decor/", {"", data}},
        {"/home/ann/kesto-decor/build/linux/cli/",
         {"/home/ann/kesto-decor/build/linux/cli/", data}},
        {"/usrlocal/bin/", {"/usrlocal/bin/", data}},
        {"/home/ann/usr/bin/", {"/home/ann/usr/bin/", data}},
        {"C:\\Program Files (x86)\\kesto\\", {"C:\\Program Files (x86)\\kesto\\", data}},
    };
    for (const auto& c : cases) {
        const TraceLogPlace place = TraceLogFolders(c.program, installed, data);
        EXPECT_EQ(place.folder, c.expected.folder) << c.program;
        EXPECT_EQ(place.fallbackFolder, c.expected.fallbackFolder) << c.program;
    }
}

TEST(TraceLogTest, PathLongerThan259CharactersIsRefused) {
    TempFolder folder;
    std::string deep = folder.Folder();
    deep += std::string(259 - deep.size() - std::string("Trace1-5.log").size() + 1, 'd') + "/";
    TraceLog log(EnabledIn(deep));
    EXPECT_EQ(log.Write("Send data error"), -1);
}

TEST(TraceLogTest, ConcurrentWritersNeverInterleaveLines) {
    TempFolder folder;
    TraceLog log(EnabledIn(folder.Folder()));
    constexpr int kThreads = 4;
    constexpr int kLines = 200;
    std::vector<std::thread> writers;
    for (int t = 0; t < kThreads; ++t) {
        writers.emplace_back([&log, t] {
            for (int i = 0; i < kLines; ++i) {
                log.Write("InternetWriteFile error,errcode=%d", t * 1000 + i);
            }
        });
    }
    for (auto& writer : writers) {
        writer.join();
    }
    std::istringstream content(ReadFile(folder.path() / "Trace1-5.log"));
    std::string line;
    int count = 0;
    while (std::getline(content, line)) {
        EXPECT_EQ(line.rfind("1.5 08:04:09--(tid=77)InternetWriteFile error,errcode=", 0), 0u);
        EXPECT_EQ(line.back(), '\r');
        ++count;
    }
    EXPECT_EQ(count, kThreads * kLines);
}

TEST(TraceLogTest, SwitchIsReadOnceFromTheCurrentFolderAtCreation) {
    TempFolder folder;
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    EXPECT_FALSE(TraceLog::SwitchFilePresent());
    TraceLog log;  // created while no switch file exists
    folder.Write("trace.txt");
    EXPECT_TRUE(TraceLog::SwitchFilePresent());
    EXPECT_EQ(log.Write("Send data error"), 0);
    std::filesystem::current_path(previous);
}

}  // namespace
}  // namespace kesto
