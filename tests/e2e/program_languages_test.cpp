// The programs' own words in the user's language: each kind of message of kesto-design and
// kesto-market, run as a user runs them, in Chinese and in English.

#include <gtest/gtest.h>

#include <string>

#include "tests/common/posix/command_run.h"

namespace kesto {
namespace {

// The command's standard output and standard error together.
testing::CommandRun RunProgram(const std::string& command) {
    return testing::RunCommand(command + " </dev/null 2>&1");
}

TEST(ProgramLanguagesTest, HelpStartAndErrorsFollowTheUsersLanguage) {
    constexpr char kChinese[] = "LANG=C.UTF-8 LANGUAGE=zh_CN";
    constexpr char kEnglish[] = "LANG=C LANGUAGE=zh_CN";  // the C locale speaks English
    const std::string design = KESTO_DESIGN;
    const std::string market = KESTO_MARKET;
    const struct {
        const char* environment;
        std::string command;
        int exitCode;
        const char* expected;
    } cases[] = {
        {kChinese, design + " --help", 0, "  --help     显示本帮助\n"},
        {kEnglish, design + " --help", 0, "  --help     show this text\n"},
        {kChinese, design + " --help", 0, "按名称依次在下列文件夹中查找模板"},
        {kChinese, design + " --help", 0,
         "代理设置在\n环境变量 http_proxy（http_proxy=http://主机:端口）。"},
        {kChinese, design + " --help", 0, "用法： kesto-design [--login"},
        {kEnglish, market + " --help", 0, "usage: kesto-market [--port N]"},
        {kChinese, market + " --help", 0, "  --port N         监听的端口"},
        {kEnglish, market + " --help", 0, "  --port N         the port to listen on"},
        {kChinese, market + " --port x", 2,
         "kesto-market: 无效的端口：x\n（参见 kesto-market --help）\n"},
        {kEnglish, market + " --port x", 2,
         "kesto-market: bad port: x\n(see kesto-market --help)\n"},
        {kChinese, market + " --charset EBCDIC", 2, "kesto-market: 未知的字符集：EBCDIC\n"},
        {kEnglish, market + " --charset EBCDIC", 2, "kesto-market: unknown charset: EBCDIC\n"},
        // The start-up lines (timeout ends the server: 124); the first one's start stays as
        // scripts read it.
        {kChinese, "timeout 1 " + market + " --port 0", 124, "（使用它：export http_proxy="},
        {kChinese, "timeout 1 " + market + " --port 0", 124,
         "kesto-market: 演示账号 10001/kesto123"},
        {kEnglish, "timeout 1 " + market + " --port 0", 124, "kesto-market: demo accounts 10001/"},
        {kChinese, "timeout 1 " + market + " --port 0", 124,
         "kesto-market: proxy http://127.0.0.1:"},
    };
    for (const auto& c : cases) {
        const testing::CommandRun run = RunProgram(std::string(c.environment) + " " + c.command);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.environment << " " << c.command;
        EXPECT_NE(run.output.find(c.expected), std::string::npos)
            << c.environment << " " << c.command << "\n"
            << run.output;
    }
}

}  // namespace
}  // namespace kesto
