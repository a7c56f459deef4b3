// The programs' own words in the user's language: each kind of message of kesto-design and
// kesto-market, run as a user runs them, in Chinese and in English.

#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/wait.h>

#include <string>

namespace kesto {
namespace {

struct ProgramRun {
    int exitCode = -1;
    std::string output;  // standard output and standard error together
};

ProgramRun RunProgram(const std::string& command) {
    ProgramRun run;
    FILE* pipe = popen((command + " </dev/null 2>&1").c_str(), "r");
    char buffer[4096];
    std::size_t read = 0;
    while ((read = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        run.output.append(buffer, read);
    }
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
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
        const ProgramRun run = RunProgram(std::string(c.environment) + " " + c.command);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.environment << " " << c.command;
        EXPECT_NE(run.output.find(c.expected), std::string::npos)
            << c.environment << " " << c.command << "\n"
            << run.output;
    }
}

}  // namespace
}  // namespace kesto
