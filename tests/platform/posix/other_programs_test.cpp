#include "platform/other_programs.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <optional>

#include "tests/common/temp_folder.h"

namespace kesto {
namespace {

using testing::TempFolder;

// Sets an environment variable (or removes it) for the length of a test, then puts it back.
class ScopedVariable {
  public:
    ScopedVariable(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        value != nullptr ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedVariable() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

  private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(OtherPrograms, RunProgramGivesTheExitStatusAndWhyAProgramDidNotStart) {
    const struct {
        std::string path;
        std::vector<std::string> arguments;
        bool started;
        int exitCode;
    } cases[] = {
        {"/bin/sh", {"-c", "exit 0"}, true, 0},
        {"/bin/sh", {"-c", "exit 3"}, true, 3},
        {"/bin/sh", {"-c", "[ \"$1\" = 'a b' ] || exit 9", "sh", "a b"}, true, 0},  // no shell
        {"/bin/sh", {"-c", "kill -TERM $$"}, true, 128 + 15},
        {"/nonexistent/kesto-design", {}, false, -1},
    };
    for (const auto& c : cases) {
        const ProgramEnd end = RunProgram(c.path, c.arguments);
        EXPECT_EQ(end.started, c.started) << c.path << " " << c.arguments.size();
        EXPECT_EQ(end.exitCode, c.exitCode) << c.path << " " << c.arguments.size();
        EXPECT_EQ(end.error.empty(), c.started) << end.error;
    }
}

TEST(OtherPrograms, FindsASuiteProgramOnPathOnlyWhereItIsAnExecutableFile) {
    TempFolder folder;
    folder.Write("plain/kesto-design", "not executable");
    folder.Write("exec/kesto-design", "#!/bin/sh\n");
    chmod((folder.path() / "exec/kesto-design").c_str(), 0755);
    std::filesystem::create_directories(folder.path() / "dir/kesto-design");
    const std::string base = folder.Folder();
    const struct {
        std::string path;
        std::string found;
    } cases[] = {
        {base + "plain:" + base + "dir:" + base + "exec", base + "exec/kesto-design"},
        {base + "exec/", base + "exec/kesto-design"},
        {base + "plain", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        const ScopedVariable path("PATH", c.path.c_str());
        EXPECT_EQ(FindSuiteProgram("kesto-design"), c.found) << c.path;
    }
}

TEST(OtherPrograms, WindowsCanBeShownWhereADisplayIsNamed) {
    const struct {
        const char* display;
        const char* wayland;
        bool expected;
    } cases[] = {
        {nullptr, nullptr, false},    {"", "", false},         {":0", nullptr, true},
        {nullptr, "wayland-0", true}, {"", "wayland-0", true},
    };
    for (const auto& c : cases) {
        const ScopedVariable display("DISPLAY", c.display);
        const ScopedVariable wayland("WAYLAND_DISPLAY", c.wayland);
        EXPECT_EQ(WindowsCanBeShown(), c.expected)
            << (c.display ? c.display : "(unset)") << " " << (c.wayland ? c.wayland : "(unset)");
    }
}

}  // namespace
}  // namespace kesto
