#include "app/design_command_line.h"

#include <gtest/gtest.h>

namespace kesto {
namespace {

TEST(DesignCommandLineTest, AnswersVersionAndHelpAndLeavesEverythingElseToTheToolkit) {
    const struct {
        std::vector<std::string> arguments;
        DesignStart expected;
    } cases[] = {
        {{}, DesignStart::kRun},
        {{"--display=:1", "--sync"}, DesignStart::kRun},  // the toolkit's own options
        {{"--version"}, DesignStart::kPrintVersion},
        {{"--display=:1", "--version"}, DesignStart::kPrintVersion},
        {{"--help"}, DesignStart::kPrintHelp},
        {{"-h"}, DesignStart::kPrintHelp},
        {{"--version", "--help"}, DesignStart::kPrintHelp},
        {{"--versions"}, DesignStart::kRun},
        {{"--login"}, DesignStart::kLogin},
        {{"--display=:1", "--login"}, DesignStart::kLogin},
        {{"--login", "--help"}, DesignStart::kPrintHelp},
        {{"--login", "--version"}, DesignStart::kPrintVersion},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DesignStartFor(c.arguments), c.expected) << ::testing::PrintToString(c.arguments);
    }
}

}  // namespace
}  // namespace kesto
