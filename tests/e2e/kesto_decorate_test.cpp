// The kesto-decorate program, run as a user runs it, against kesto-market.

#include <gtest/gtest.h>
#include <json/reader.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <vector>

#include "job/shop_job_lock.h"
#include "market-sim/answer_mode.h"
#include "support/user_files.h"
#include "tests/common/posix/command_run.h"
#include "tests/common/temp_folder.h"
#include "tests/e2e/logged_in_market.h"

namespace kesto {
namespace {

using testing::LoggedInMarket;

struct ProgramRun {
    int exitCode = -1;
    std::string output;
    std::string errors;  // standard error
};

// Runs kesto-decorate with the environment assignments ("NAME=VALUE ...") and the arguments,
// standard input closed.
ProgramRun RunDecorate(const std::string& environment, const std::string& arguments) {
    const testing::TempFolder errorFolder;
    const std::string errorFile = errorFolder.Folder() + "stderr.txt";
    const std::string command =
        environment + " " KESTO_DECORATE " " + arguments + " </dev/null 2>" + errorFile;
    const testing::CommandRun ran = testing::RunCommand(command);
    return {ran.exitCode, ran.output, testing::ReadFile(PathFromUtf8(errorFile))};
}

// Runs kesto-decorate with the arguments through the market's proxy.
ProgramRun Decorate(LoggedInMarket& market, const std::string& arguments) {
    return RunDecorate("http_proxy=http://127.0.0.1:" + std::to_string(market.market.port()),
                       arguments);
}

// The login's cookies as the cookies.txt a browser would export.
std::string CookieFile(const testing::TempFolder& folder, const std::string& cookieHeader) {
    std::ostringstream file;
    file << "# Netscape HTTP Cookie File\n";
    std::istringstream pairs(cookieHeader);
    std::string pair;
    while (std::getline(pairs, pair, ';')) {
        pair.erase(0, pair.find_first_not_of(' '));
        const std::size_t equals = pair.find('=');
        file << ".kesto.example\tTRUE\t/\tFALSE\t0\t" << pair.substr(0, equals) << "\t"
             << pair.substr(equals + 1) << "\n";
    }
    return PathToUtf8(folder.Write("cookies.txt", file.str()));
}

const std::string kTemplate = std::string(KESTO_SOURCE_DIR) + "/template/ocean-blue";

// Against kesto-market's rich answers and against answers with only the documented markers.
TEST(KestoDecorateTest, PrintsTheProgressLinesAndTheShopFront) {
    for (const sim::AnswerMode mode : {sim::AnswerMode::kRich, sim::AnswerMode::kDocumented}) {
        LoggedInMarket market;
        market.market.server().SetAnswerMode(mode);
        testing::TempFolder folder;
        const std::string cookies = CookieFile(folder, market.market.cookie);
        const ProgramRun run =
            Decorate(market, "--template " + kTemplate + " --yes --cookies " + cookies);
        const std::string name(sim::AnswerModeName(mode));
        EXPECT_EQ(run.exitCode, 0) << name << run.errors;
        EXPECT_EQ(run.output.rfind("正在更新店招...\n店招更新完成。\n正在更新主页面...\n", 0), 0u)
            << run.output;
        EXPECT_NE(run.output.find("\n主页面更新完成。\n正在更新分类...\n"), std::string::npos)
            << run.output;
        EXPECT_NE(
            run.output.find("\n分类更新完成。\n装修完成。\nhttp://shop.kesto.example/10001?t="),
            std::string::npos)
            << run.output;
        EXPECT_EQ(run.output.find("file name is"), std::string::npos) << "debug lines on stdout";
    }
}

// A whole job with --json: one JSON object per progress line, the same lines in the same order.
TEST(KestoDecorateTest, JsonProgressLinesMatchTheTextLines) {
    LoggedInMarket market;
    testing::TempFolder folder;
    const std::string arguments =
        "--template " + kTemplate + " --yes --cookies " + CookieFile(folder, market.market.cookie);
    const ProgramRun text = Decorate(market, arguments);
    const ProgramRun json = Decorate(market, arguments + " --json");
    ASSERT_EQ(json.exitCode, 0) << json.output << json.errors;
    std::istringstream textLines(text.output), jsonLines(json.output);
    std::string textLine, jsonLine;
    int count = 0;
    while (std::getline(jsonLines, jsonLine)) {
        Json::Value object;
        ASSERT_TRUE(Json::Reader().parse(jsonLine, object)) << jsonLine;
        ASSERT_TRUE(std::getline(textLines, textLine));
        EXPECT_EQ(object["line"].asString(), textLine);
        ++count;
    }
    EXPECT_GT(count, 10);
    ASSERT_TRUE(std::getline(textLines, textLine));  // the shop front after the completion line
    EXPECT_EQ(textLine.rfind("http://shop.kesto.example/", 0), 0u) << textLine;
}

using DocTable = std::map<std::string, std::string>;

// The tables under heading in docs/json.md, in order, their heads left out: the first cell of
// each row (back-quotes and blanks taken off) to the second.
std::vector<DocTable> DocumentedTables(const std::string& heading) {
    std::istringstream doc(
        testing::ReadFile(std::filesystem::path(KESTO_SOURCE_DIR) / "docs" / "json.md"));
    std::vector<DocTable> tables;
    std::string line;
    std::string previous;
    bool inSection = false;
    while (std::getline(doc, line)) {
        if (line.rfind("## ", 0) == 0) {
            inSection = line == "## " + heading;
        } else if (inSection && line.rfind("|---", 0) == 0) {
            tables.emplace_back();  // the line before was the new table's head
        } else if (inSection && line.rfind("| ", 0) == 0 && previous.rfind("|", 0) == 0 &&
                   !tables.empty()) {
            std::istringstream cells(line.substr(2));
            std::string first, second;
            std::getline(cells, first, '|');
            std::getline(cells, second, '|');
            std::erase(first, '`');
            std::erase(first, ' ');
            std::erase(second, ' ');
            tables.back()[first] = second;
        }
        previous = line;
    }
    return tables;
}

bool HasType(const Json::Value& value, const std::string& type) {
    return type == "integer" ? value.isInt() : type == "string" ? value.isString() : false;
}

// A whole run's --json output against its description in docs/json.md: every field documented,
// of its type; every number documented; one index per picture, from 1 to the count.
TEST(KestoDecorateTest, JsonOutputIsWhatDocsJsonDescribes) {
    const std::vector<DocTable> tables = DocumentedTables("Progress lines");
    ASSERT_EQ(tables.size(), 2u);
    const DocTable& documented = tables[0];  // field to type
    const DocTable& numbers = tables[1];
    ASSERT_TRUE(documented.contains("number") && numbers.contains("2024"));
    LoggedInMarket market;
    market.SetFault("UploadPicActivex=error*1+4");  // a category picture fails once
    market.SetFault("showjson=429:0*1");            // the marketplace is busy once
    testing::TempFolder folder;
    const ProgramRun run = Decorate(market, "--template " + kTemplate + " --yes --json --cookies " +
                                                CookieFile(folder, market.market.cookie));
    ASSERT_EQ(run.exitCode, 0) << run.output << run.errors;
    std::istringstream lines(run.output);
    std::string line;
    std::map<std::string, int> indexOf;  // picture name to the index its start line gave
    int waitLines = 0;
    while (std::getline(lines, line)) {
        Json::Value object;
        ASSERT_TRUE(Json::Reader().parse(line, object)) << line;
        for (const std::string& field : object.getMemberNames()) {
            ASSERT_TRUE(documented.contains(field)) << field << " in " << line;
            EXPECT_TRUE(HasType(object[field], documented.at(field))) << field << " in " << line;
        }
        EXPECT_TRUE(numbers.contains(std::to_string(object["number"].asInt()))) << line;
        if (object.isMember("seconds")) {
            ++waitLines;
            EXPECT_EQ(object["line"].asString(), "服务器繁忙，等待 0 秒后重试...") << line;
        }
        if (object.isMember("index")) {
            const int index = object["index"].asInt();
            EXPECT_TRUE(index >= 1 && index <= object["count"].asInt()) << line;
            const auto [known, added] = indexOf.emplace(object["picture"].asString(), index);
            EXPECT_EQ(known->second, index) << line;
        }
    }
    EXPECT_GT(indexOf.size(), 2u);
    EXPECT_EQ(waitLines, 1);
}

// The program's own messages follow the user's language; the progress lines never do.
TEST(KestoDecorateTest, OwnMessagesSpeakTheUsersLanguage) {
    const struct {
        const char* environment;
        const char* refusal;
        const char* help;
    } cases[] = {
        {"LANG=C LANGUAGE=zh_CN",
         "the template folder /nonexistent does not exist; --list-templates shows the installed "
         "templates",
         "  --help           show this text"},
        {"LANG=C.UTF-8 LANGUAGE=zh_CN",
         "模板文件夹 /nonexistent 不存在；--list-templates 列出已安装的模板",
         "  --help           显示本帮助"},
    };
    for (const auto& c : cases) {
        const ProgramRun refused = RunDecorate(c.environment, "--template /nonexistent");
        EXPECT_EQ(refused.exitCode, 2);
        EXPECT_EQ(refused.errors, std::string("kesto-decorate: ") + c.refusal + "\n")
            << c.environment;
        const ProgramRun help = RunDecorate(c.environment, "--help");
        EXPECT_NE(help.output.find(c.help), std::string::npos) << c.environment << help.output;
    }
}

// A whole run in Chinese whose categories fail: every line on standard error is Chinese, host
// and file names inside a Chinese sentence aside (no two English words in a row), and the JSON
// reason carries its code beside the Chinese text.
TEST(KestoDecorateTest, AFailedRunSpeaksChineseThroughoutAndItsReasonHasACode) {
    LoggedInMarket market;
    market.SetFault("showjson=errorpage");  // the category list answers 502
    testing::TempFolder folder;
    const std::string environment = "LANG=C.UTF-8 LANGUAGE=zh_CN http_proxy=http://127.0.0.1:" +
                                    std::to_string(market.market.port());
    const std::string arguments =
        "--template " + kTemplate + " --yes --cookies " + CookieFile(folder, market.market.cookie);
    const ProgramRun run = RunDecorate(environment, arguments);
    EXPECT_EQ(run.exitCode, 1) << run.output << run.errors;
    EXPECT_NE(run.errors.find(
                  "原因：读取店铺的分类：manage.kesto.example 回答了 502；店铺的分类没有改动"),
              std::string::npos)
        << run.errors;
    const std::regex englishWords("[A-Za-z]{2,} [A-Za-z]{2,}");
    std::istringstream lines(run.errors);
    std::string line;
    while (std::getline(lines, line)) {
        EXPECT_FALSE(std::regex_search(line, englishWords)) << line;
    }
    const ProgramRun json = RunDecorate(environment, arguments + " --json");
    std::istringstream objects(json.output);
    std::vector<std::string> codes;
    while (std::getline(objects, line)) {
        Json::Value object;
        ASSERT_TRUE(Json::Reader().parse(line, object)) << line;
        if (object["number"].asInt() == 2042) {
            codes.push_back(object["code"].asString());
            EXPECT_EQ(object["line"].asString().rfind("原因：读取店铺的分类：", 0), 0u) << line;
        }
    }
    EXPECT_EQ(codes, std::vector<std::string>{"status"});
}

TEST(KestoDecorateTest, ExitCodesTellFailureAndMisuseApart) {
    LoggedInMarket market;
    testing::TempFolder folder;
    const std::string cookies = CookieFile(folder, market.market.cookie);
    const struct {
        std::string arguments;
        int exitCode;
    } cases[] = {
        {"--template " + kTemplate + " --areas categories --cookies " + cookies, 2},  // no --yes
        {"--template " + kTemplate + " --areas colours --cookies " + cookies, 2},
        {"--template /no/such/template --cookies " + cookies, 2},
        {"--template " + kTemplate + " --cookies " + folder.Folder() + "missing.txt", 2},
        {"--help", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Decorate(market, c.arguments).exitCode, c.exitCode) << c.arguments;
    }
    market.RequirePassword(true);
    const ProgramRun failed =
        Decorate(market, "--template " + kTemplate + " --areas sign --cookies " + cookies);
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_EQ(failed.output, "正在更新店招...\n请输入交易密码后重新上传。\n店招更新失败。\n");
    EXPECT_NE(failed.errors.find("原因："), std::string::npos) << failed.errors;
}

// While another process decorates the shop (here: holds its lock), a run sends nothing.
TEST(KestoDecorateTest, AShopBeingDecoratedElsewhereIsLeftAlone) {
    LoggedInMarket market;
    testing::TempFolder folder;
    const std::string cookies = CookieFile(folder, market.market.cookie);
    const ShopJobLock other(ProgramDataFolder(), "10001");
    ASSERT_EQ(other.state(), ShopJobLock::State::kHeld);
    market.ClearRequests();
    const ProgramRun run =
        Decorate(market, "--template " + kTemplate + " --cookies " + cookies + " --yes");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.output, "这个店铺正由另一个装修任务装修，请等它完成后再上传。\n");
    EXPECT_TRUE(market.Requests().empty()) << market.Requests().front();
}

// The help tells where the proxy is set on this system: libcurl's http_proxy variable here.
TEST(KestoDecorateTest, HelpNamesWhereTheProxyIsSet) {
    LoggedInMarket market;
    const ProgramRun help = Decorate(market, "--help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.output.find("system proxy, set in\nthe http_proxy environment variable"),
              std::string::npos)
        << help.output;
}

// The strings of a JSON list.
std::vector<std::string> Texts(const Json::Value& list) {
    std::vector<std::string> texts;
    for (const Json::Value& text : list) {
        texts.push_back(text.asString());
    }
    return texts;
}

// The codes of the --json objects of a run's output with the number.
std::vector<std::string> JsonCodes(const std::string& output, int number) {
    std::istringstream lines(output);
    std::vector<std::string> codes;
    for (std::string line; std::getline(lines, line);) {
        Json::Value object;
        if (Json::Reader().parse(line, object) && object["number"].asInt() == number) {
            codes.push_back(object["code"].asString());
        }
    }
    return codes;
}

// A template the job cannot finish is refused before the first request: exit status 3, a line
// naming the file and the problem on standard error, and no request reaches the marketplace.
// With --json each problem carries its finding's code, and so does the plan's list of errors.
TEST(KestoDecorateTest, BrokenTemplatesAreRefusedBeforeAnyRequest) {
    LoggedInMarket market;
    testing::TempFolder folder;
    const std::string cookies = CookieFile(folder, market.market.cookie);
    const struct {
        const char* name;
        const char* change;  // the one thing wrong with a copy of the template
        const char* expected;
        const char* code;
    } cases[] = {
        {"folder of templates", "", "not one template", "folder-of-templates"},
        {"no page text", "main/content.txt", "holds no page text", "no-page-text"},
        {"page text is a folder", "main/content.txt=dir", "main/content.txt: is not a regular file",
         "no-page-text"},
        {"picture that is no picture", "main/gift.jpg=text", "main/gift.jpg: cannot be read",
         "not-a-picture"},
        {"category without top picture", "class/Hats/Hats.jpg", "class/Hats: has no top picture",
         "no-top-picture"},
    };
    for (const auto& c : cases) {
        std::string templateFolder = PathToUtf8(folder.path() / "templates") + "/";
        std::filesystem::remove_all(folder.path() / "templates");
        std::filesystem::create_directories(folder.path() / "templates");
        std::filesystem::copy(kTemplate, folder.path() / "templates" / "ocean-blue",
                              std::filesystem::copy_options::recursive);
        const std::string change = c.change;
        if (!change.empty()) {
            templateFolder += "ocean-blue/";
            const std::string file = change.substr(0, change.find('='));
            const std::string kind =
                change.find('=') == std::string::npos ? "" : change.substr(change.find('=') + 1);
            std::filesystem::remove(PathFromUtf8(templateFolder + file));
            if (kind == "dir") {
                std::filesystem::create_directory(PathFromUtf8(templateFolder + file));
            } else if (kind == "text") {
                std::ofstream(PathFromUtf8(templateFolder + file)) << "not a picture";
            }
        }
        market.ClearRequests();
        const ProgramRun run =
            Decorate(market, "--template " + templateFolder + " --yes --cookies " + cookies);
        EXPECT_EQ(run.exitCode, 3) << c.name;
        EXPECT_NE(run.errors.find(c.expected), std::string::npos) << c.name << "\n" << run.errors;
        EXPECT_NE(run.output.find("模板检查未通过"), std::string::npos) << c.name;
        const std::string arguments =
            "--template " + templateFolder + " --yes --json --cookies " + cookies;
        EXPECT_EQ(JsonCodes(Decorate(market, arguments).output, 2044),
                  std::vector<std::string>{c.code})
            << c.name;
        const ProgramRun planned = Decorate(market, "--plan " + arguments);
        Json::Value plan;
        ASSERT_TRUE(Json::Reader().parse(planned.output, plan)) << planned.output;
        EXPECT_EQ(Texts(plan["templateErrorCodes"]), std::vector<std::string>{c.code}) << c.name;
        EXPECT_EQ(plan["templateErrors"].size(), 1u) << c.name;
        EXPECT_TRUE(market.Requests().empty()) << c.name << ": " << market.Requests().front();
    }
}

// --check looks at the template alone: no login, no request, the findings on standard output.
TEST(KestoDecorateTest, CheckSendsNothingAndTellsErrorsByItsExitStatus) {
    LoggedInMarket market;
    market.ClearRequests();
    const ProgramRun good = Decorate(market, "--check --template " + kTemplate);
    EXPECT_EQ(good.exitCode, 0) << good.output;
    EXPECT_NE(good.output.find("0 errors, 0 warnings"), std::string::npos) << good.output;
    const ProgramRun folderOfTemplates = Decorate(
        market, "--check --json --template " + std::string(KESTO_SOURCE_DIR) + "/template");
    EXPECT_EQ(folderOfTemplates.exitCode, 3);
    Json::Value report;
    ASSERT_TRUE(Json::Reader().parse(folderOfTemplates.output, report)) << folderOfTemplates.output;
    EXPECT_EQ(report["errors"].asInt(), 1);
    EXPECT_EQ(report["findings"][0]["severity"].asString(), "error");
    EXPECT_TRUE(market.Requests().empty());
}

// The shop's categories as --plan names them: "name", or "parent/name" for a sub-category.
std::vector<std::string> CategoryNames(const Json::Value& shop) {
    std::vector<std::string> names;
    for (const Json::Value& category : shop["categories"]) {
        std::string parent;
        for (const Json::Value& other : shop["categories"]) {
            if (category["parentId"].asString() != "0" &&
                other["id"].asString() == category["parentId"].asString()) {
                parent = other["name"].asString() + "/";
            }
        }
        names.push_back(parent + category["name"].asString());
    }
    return names;
}

// --plan sends only reading requests, and what it says a run would change is what the run then
// changes.
// The plan meets the transaction password where a run would, and says so as a run does.
TEST(KestoDecorateTest, PlanSaysWhenTheMarketplaceAsksForTheTransactionPassword) {
    LoggedInMarket market;
    market.RequirePassword(true);
    testing::TempFolder folder;
    const std::string arguments =
        "--template " + kTemplate + " --cookies " + CookieFile(folder, market.market.cookie);
    for (const std::string areas : {"sign", "main", "categories"}) {
        const ProgramRun planned = Decorate(market, "--plan --areas " + areas + " " + arguments);
        EXPECT_EQ(planned.exitCode, 1) << areas << planned.output;
        EXPECT_NE(planned.output.find("请输入交易密码后重新上传。\n"), std::string::npos)
            << areas << planned.output;
        Json::Value plan;
        const ProgramRun json =
            Decorate(market, "--plan --json --areas " + areas + " " + arguments);
        ASSERT_TRUE(Json::Reader().parse(json.output, plan)) << json.output;
        EXPECT_EQ(plan["problemCode"].asString(), "transaction-password") << areas;
    }
    // A reading request that fails: the plan's problem carries the request's code.
    market.RequirePassword(false);
    market.SetFault("showjson=errorpage");
    const ProgramRun failed = Decorate(market, "--plan --json --areas categories " + arguments);
    Json::Value plan;
    ASSERT_TRUE(Json::Reader().parse(failed.output, plan)) << failed.output;
    EXPECT_EQ(plan["problemCode"].asString(), "status") << plan["problem"].asString();
}

TEST(KestoDecorateTest, PlanReadsOnlyAndMatchesWhatTheRunChanges) {
    LoggedInMarket market;
    testing::TempFolder folder;
    const std::string cookies = CookieFile(folder, market.market.cookie);
    const std::string arguments = "--template " + kTemplate + " --cookies " + cookies;
    market.ClearRequests();
    const ProgramRun planned = Decorate(market, "--plan --json " + arguments);
    ASSERT_EQ(planned.exitCode, 0) << planned.output << planned.errors;
    for (const std::string& request : market.Requests()) {
        EXPECT_EQ(request.rfind("GET ", 0), 0u) << request;
    }
    Json::Value plan;
    ASSERT_TRUE(Json::Reader().parse(planned.output, plan)) << planned.output;
    const Json::Value before = market.Shop();

    ASSERT_EQ(Decorate(market, "--yes " + arguments).exitCode, 0);
    const Json::Value after = market.Shop();
    EXPECT_EQ(Texts(plan["categories"]["deleted"]), CategoryNames(before));
    EXPECT_EQ(Texts(plan["categories"]["created"]), CategoryNames(after));
    EXPECT_EQ(plan["shopSign"]["bytes"].asUInt64(), after["sign"]["size"].asUInt64());
    ASSERT_FALSE(plan["mainPage"]["replacedModules"].empty());
    for (const Json::Value& module : plan["mainPage"]["replacedModules"]) {
        EXPECT_FALSE(after["customContent"].isMember(module["fsid"].asString()))
            << module.toStyledString();
        EXPECT_EQ(module["name"].asString(), "自定义内容");
    }
    EXPECT_EQ(plan["mainPage"]["pictures"].size(), 3u);
    // The second run's plan names the first run's pictures as the ones leaving the folder.
    const ProgramRun again = Decorate(market, "--plan --json " + arguments);
    Json::Value second;
    ASSERT_TRUE(Json::Reader().parse(again.output, second)) << again.output;
    EXPECT_EQ(Texts(second["mainPage"]["oldPictures"]), Texts(plan["mainPage"]["pictures"]));
}

// Templates by name: beside the program first (the build tree's samples), then the user's data
// folder, then the system data folders; a template found earlier hides a later one of its name.
TEST(KestoDecorateTest, FindsTemplatesByNameBesideItThenInTheUserAndSystemDataFolders) {
    testing::TempFolder user;
    testing::TempFolder system;
    const auto copyTemplate = [](const testing::TempFolder& data, const std::string& name) {
        const auto folder = data.path() / "kesto-decor" / "templates" / name;
        std::filesystem::create_directories(folder.parent_path());
        std::filesystem::copy(kTemplate, folder, std::filesystem::copy_options::recursive);
        return PathToUtf8(folder) + "/";
    };
    const std::string mine = copyTemplate(user, "mine");
    copyTemplate(user, "ocean-blue");  // hidden by the sample beside the program
    copyTemplate(system, "mine");      // hidden by the user's
    const std::string shared = copyTemplate(system, "shared");
    const std::string environment =
        "XDG_DATA_HOME=" + user.Folder() + " XDG_DATA_DIRS=/nonexistent:" + system.Folder();
    const std::string beside =
        std::filesystem::path(KESTO_DECORATE).parent_path().string() + "/template/";

    // --help names the folders searched, this system's own, in their order.
    const ProgramRun help = RunDecorate(environment, "--help");
    const std::string searched =
        "  " + beside + "\n  " + user.Folder() +
        "kesto-decor/templates/\n  /nonexistent/kesto-decor/templates/\n  " + system.Folder() +
        "kesto-decor/templates/\n";
    EXPECT_NE(help.output.find(searched), std::string::npos) << help.output;

    const ProgramRun listed = RunDecorate(environment, "--list-templates");
    ASSERT_EQ(listed.exitCode, 0) << listed.errors;
    std::istringstream lines(listed.output);
    std::vector<std::string> entries;
    for (std::string line; std::getline(lines, line);) {
        entries.push_back(line);
    }
    ASSERT_EQ(entries.size(), 4u) << listed.output;
    std::sort(entries.begin(), entries.begin() + 2);  // the samples in the file system's order
    EXPECT_EQ(entries, (std::vector<std::string>{
                           "ocean-blue\t" + beside + "ocean-blue/",
                           "spring-garden\t" + beside + "spring-garden/",
                           "mine\t" + mine,
                           "shared\t" + shared,
                       }));

    const struct {
        std::string name;
        int exitCode;
    } checks[] = {{"mine", 0}, {"shared", 0}, {"ocean-blue", 0}, {"nosuch", 3}};
    for (const auto& check : checks) {
        const ProgramRun run = RunDecorate(environment, "--check --template " + check.name);
        EXPECT_EQ(run.exitCode, check.exitCode) << check.name << "\n" << run.errors;
        // Only a name that finds nothing points at the list.
        EXPECT_EQ(run.errors.find("--list-templates") != std::string::npos, check.exitCode != 0)
            << check.name << "\n"
            << run.errors;
    }
}

}  // namespace
}  // namespace kesto
