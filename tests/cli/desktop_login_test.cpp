#include "cli/desktop_login.h"

#include <gtest/gtest.h>

#include "cli/exit_codes.h"

namespace kesto {
namespace {

using Strings = std::vector<std::string>;

// The system as a test sets it up, recording which programs were looked for and started.
struct FakeSystem {
    bool display = true;
    std::string found = "/usr/bin/kesto-design";
    ProgramEnd end{true, 0, {}};
    Strings lookedFor;
    Strings started;

    LoginLauncher Launcher() {
        return {[this] { return display; },
                [this](const std::string& name) {
                    lookedFor.push_back(name);
                    return found;
                },
                [this](const std::string& path, const Strings& arguments) {
                    started.push_back(path);
                    started.insert(started.end(), arguments.begin(), arguments.end());
                    return end;
                }};
    }
};

TEST(DesktopLogin, RunsKestoDesignsLoginWindowAndReportsHowItEnded) {
    const std::string cookies = "/home/u/.local/share/kesto-decor/cookies.txt";
    const struct {
        const char* name;
        bool display;
        std::string found;
        ProgramEnd end;
        int exitCode;
        Strings started;
        Strings messageParts;
    } cases[] = {
        {"logged in",
         true,
         "/usr/bin/kesto-design",
         {true, 0, {}},
         kDecorated,
         {"/usr/bin/kesto-design", "--login"},
         {"logged in; the login is in " + cookies}},
        {"window closed first",
         true,
         "/usr/bin/kesto-design",
         {true, 1, {}},
         kUsageError,
         {"/usr/bin/kesto-design", "--login"},
         {"not logged in", "status 1"}},
        {"cannot start",
         true,
         "/opt/k/kesto-design",
         {false, -1, "Permission denied"},
         kUsageError,
         {"/opt/k/kesto-design", "--login"},
         {"cannot start /opt/k/kesto-design: Permission denied"}},
        {"not found", true, "", {}, kUsageError, {}, {"cannot find kesto-design", "PATH"}},
        {"no display",
         false,
         "/usr/bin/kesto-design",
         {},
         kUsageError,
         {},
         {"no display", "kesto-design or kesto-decorate --login", cookies, "--cookies FILE"}},
    };
    for (const auto& c : cases) {
        FakeSystem system;
        system.display = c.display;
        system.found = c.found;
        system.end = c.end;
        const LoginReport report = LogInWithDesktopProgram(system.Launcher(), cookies);
        EXPECT_EQ(report.exitCode, c.exitCode) << c.name;
        EXPECT_EQ(system.started, c.started) << c.name;
        EXPECT_EQ(system.lookedFor, c.display ? Strings{"kesto-design"} : Strings{}) << c.name;
        for (const std::string& part : c.messageParts) {
            EXPECT_NE(report.message.find(part), std::string::npos)
                << c.name << ": " << report.message;
        }
    }
}

}  // namespace
}  // namespace kesto
