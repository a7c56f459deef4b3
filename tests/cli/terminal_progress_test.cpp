#include "cli/terminal_progress.h"

#include <gtest/gtest.h>
#include <json/reader.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <sstream>
#include <vector>

namespace kesto {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::string Contents(std::FILE* file) {
    std::fflush(file);
    std::rewind(file);
    std::string text;
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) {
        text.push_back(static_cast<char>(c));
    }
    return text;
}

// A main page of two pictures, the second failing, then the categories' single picture.
const std::vector<ProgressMessage> kJob = {
    {kMainPageProgress, 0, 0, {}},
    {kPictureProgress, 0, 2, {}},
    {kPictureUploadStarting, 0, 0, "a.jpg"},
    {kPictureUploaded, 0, 1, "a.jpg"},
    {kPictureProgress, 1, 2, "a.jpg"},
    {kPictureUploadStarting, 0, 0, "b.jpg"},
    {kPictureUploaded, 0, -1, "b.jpg"},
    {kMainPageProgress, 1, -1, {}},
    {kFailureReason, 0, 0, "uploading b.jpg: 502"},
    {kCategoriesProgress, 0, 0, {}},
    {kPictureProgress, 0, 1, {}},
    {kPictureProgress, 1, 1, "c.jpg"},
    {kCategoriesProgress, 1, 1, {}},
};

struct Outputs {
    std::string lines, bar, reasons;
};

Outputs Feed(LineFormat format, const std::vector<ProgressMessage>& messages) {
    const File lines(std::tmpfile()), bar(std::tmpfile()), reasons(std::tmpfile());
    TerminalProgress progress(lines.get(), bar.get(), 2, reasons.get(), format);
    for (const ProgressMessage& message : messages) {
        progress.Post(message);
    }
    return {Contents(lines.get()), Contents(bar.get()), Contents(reasons.get())};
}

TEST(TerminalProgressTest, TextLinesReasonsAndTheAddressGoWhereScriptsLookForThem) {
    std::vector<ProgressMessage> job = kJob;
    job.push_back({kDecorationFinished, 0, 0, "http://shop.kesto.example/1"});
    const Outputs out = Feed(LineFormat::kText, job);
    EXPECT_EQ(out.lines,
              "正在更新主页面...\n开始上传 a.jpg\na.jpg ,上传完成\n开始上传 b.jpg\n"
              "主页面更新失败。\n正在更新分类...\n分类更新完成。\n装修完成。\n"
              "http://shop.kesto.example/1\n");
    EXPECT_EQ(out.reasons, "原因：uploading b.jpg: 502\n");
}

// Each JSON line parses and carries the text line it stands for, one to one and in order.
TEST(TerminalProgressTest, JsonLinesMatchTheTextLinesOneToOne) {
    std::vector<ProgressMessage> job = kJob;
    job.push_back({kDecorationFinished, 0, 0, "http://shop.kesto.example/1"});
    const Outputs text = Feed(LineFormat::kText, job);
    const Outputs json = Feed(LineFormat::kJson, job);
    EXPECT_TRUE(json.reasons.empty());  // reasons share the scripts' stream

    std::istringstream textLines(text.lines + text.reasons);
    std::vector<std::string> expected;
    for (std::string line; std::getline(textLines, line);) {
        if (line.rfind("http://", 0) != 0) {
            expected.push_back(line);
        }
    }
    std::istringstream jsonLines(json.lines);
    std::vector<Json::Value> objects;
    for (std::string line; std::getline(jsonLines, line);) {
        Json::Value object;
        std::istringstream in(line);
        ASSERT_TRUE(Json::parseFromStream(Json::CharReaderBuilder(), in, &object, nullptr)) << line;
        objects.push_back(object);
    }
    ASSERT_EQ(objects.size(), expected.size());
    std::vector<std::string> lines;
    for (const Json::Value& object : objects) {
        lines.push_back(object["line"].asString());
    }
    std::sort(lines.begin(), lines.end());  // the reason's place differs between the two
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(lines, expected);

    const struct {
        std::size_t at;
        const char* field;
        Json::Value value;
    } fields[] = {
        {1, "picture", "a.jpg"}, {1, "index", 1},
        {1, "count", 2},         {2, "result", 1},
        {2, "index", 1},  // its start and done lines carry the same index
        {3, "index", 2},         {4, "result", -1},  // the failed picture has no line
        {5, "number", 2042},                         // the reason's documented number
        {7, "result", 1},        {8, "address", "http://shop.kesto.example/1"},
    };
    for (const auto& f : fields) {
        EXPECT_EQ(objects[f.at][f.field], f.value) << f.at << " " << f.field;
    }
    EXPECT_FALSE(objects[0].isMember("result"));  // an area's start has no result yet
}

TEST(TerminalProgressTest, TheBarCountsPicturesWithinTheArea) {
    const Outputs out = Feed(LineFormat::kText, {kJob.begin(), kJob.begin() + 5});
    // Area 0 of 2 at work, the second of its two pictures next: a quarter of the bar.
    const std::string last = out.bar.substr(out.bar.rfind('\r'));
    EXPECT_EQ(last, "\r\033[K[#####---------------] 0/2 picture 2/2 a.jpg ,上传完成");
}

TEST(TerminalProgressTest, TheBarCountsTheKiBOfAChunkedShopSign) {
    const Outputs out =
        Feed(LineFormat::kText, {{kShopSignProgress, 0, 0, {}}, {kShopSignBytes, 320, 1280, {}}});
    const std::string last = out.bar.substr(out.bar.rfind('\r'));
    EXPECT_EQ(last, "\r\033[K[##------------------] 0/2 320 of 1280 KiB 正在更新店招...");
}

// The bar names the step at work in a few words, never a reason, and draws nothing once the job
// is done: nothing is left under the shop's address.
TEST(TerminalProgressTest, TheBarStaysOneShortLineAndLeavesNothingBehind) {
    std::vector<ProgressMessage> failed(kJob.begin(), kJob.begin() + 8);
    failed.push_back({kFailureReason, 0, 0, std::string(300, 'r')});
    const Outputs afterFailure = Feed(LineFormat::kText, failed);
    EXPECT_EQ(afterFailure.bar.find("rrr"), std::string::npos);
    EXPECT_NE(afterFailure.bar.rfind("主页面更新失败。"), std::string::npos);

    const Outputs done =
        Feed(LineFormat::kText, {{kMainPageProgress, 0, 0, {}},
                                 {kPictureUploadStarting, 0, 0, std::string(200, 'p')},
                                 {kDecorationFinished, 0, 0, "http://a/1"}});
    // The last bar drawn before the end, with its 200-byte picture name cut.
    const std::string drawn = done.bar.substr(0, done.bar.rfind('\r'));
    EXPECT_LT(drawn.size() - drawn.rfind('\r'), 100u);
    EXPECT_EQ(done.bar.substr(done.bar.rfind('\r')), "\r\033[K") << "cleared at the end";
    EXPECT_EQ(done.bar.find('\n'), std::string::npos);
}

}  // namespace
}  // namespace kesto
