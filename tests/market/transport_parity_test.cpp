// The same cases through whichever net layer this build has (libcurl on Linux, WinINet in the
// Windows build under Wine), against one capturing server, with one table of expected results:
// result codes, answer texts, what reached the server, the failure's reason and the trace lines.
// Both builds run this file, so a case that passes on both behaves the same on both.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "market/failure_reason.h"
#include "market/http_request.h"
#include "market/job_context.h"
#include "market/kesto_uploader.h"
#include "support/trace_log.h"
#include "tests/common/capture_server.h"
#include "tests/common/temp_folder.h"
#include "tests/common/trace_watch.h"

namespace kesto {
namespace {

using testing::CaptureServer;
using testing::HttpAnswer;
using testing::TempFolder;
using testing::ThenClose;
using testing::TraceWatch;

constexpr char kOk[] = "{\"errcode\":0,\"msg\":\"ok\"}";

std::string Redirect(int status, std::string_view location) {
    return "HTTP/1.1 " + std::to_string(status) + " Moved\r\nLocation: " + std::string(location) +
           "\r\nContent-Length: 5\r\n\r\nmoved";
}

// One request as the server saw it: its request line, and its body's length.
struct Seen {
    std::string line;
    std::size_t bodyBytes;

    bool operator==(const Seen&) const = default;
};

std::vector<Seen> SeenBy(const CaptureServer& server) {
    std::vector<Seen> seen;
    for (const auto& request : server.Requests()) {
        seen.push_back({request.RequestLine(), request.body.size()});
    }
    return seen;
}

// Every expected line, in order, in what the trace log gained; skipped when tracing is off.
void ExpectTraceLines(const TraceWatch& watch, const std::vector<std::string>& lines,
                      const std::string& name) {
    if (!TraceLog::SwitchFilePresent()) {
        return;
    }
    const std::string added = watch.Added();
    std::size_t from = 0;
    for (const std::string& line : lines) {
        const std::size_t at = added.find(line + "\r\n", from);
        EXPECT_NE(at, std::string::npos) << name << ": no trace line " << line << " in\n" << added;
        from = at == std::string::npos ? from : at + line.size();
    }
}

TEST(TransportParity, RequestsFollowRedirectsAndRefuseBrokenAnswers) {
    const std::string post = "a=1 2";  // encoded, 5 bytes on the wire: a=1+2
    const std::string bigBody(net::kMaxAnswerBytes + 1, 'x');
    const struct {
        const char* name;
        int method;
        std::string path;
        std::vector<std::string> answers;
        int code;
        std::string result;
        std::vector<Seen> seen;
        std::string reason;
        std::vector<std::string> trace;
    } cases[] = {
        {"GET 301",
         kMethodGet,
         "/start",
         {Redirect(301, "/next"), HttpAnswer(200, "final")},
         1,
         "final",
         {{"GET /start HTTP/1.1", 0}, {"GET /next HTTP/1.1", 0}},
         "",
         {"Redirect,statuscode=301"}},
        {"GET 308 relative",
         kMethodGet,
         "/a/start?x=1",
         {Redirect(308, "next"), HttpAnswer(200, "f")},
         1,
         "f",
         {{"GET /a/start?x=1 HTTP/1.1", 0}, {"GET /a/next HTTP/1.1", 0}},
         "",
         {"Redirect,statuscode=308"}},
        {"POST 302 is no answer",
         kMethodPost,
         "/save",
         {Redirect(302, "/done"), HttpAnswer(200, "page")},
         -1,
         "untouched",
         {{"POST /save HTTP/1.1", 5}},
         "127.0.0.1 redirected the request instead of answering it (the change may or may not "
         "have been made)",
         {"Redirect refused,statuscode=302"}},
        {"POST 303 is no answer",
         kMethodPost,
         "/save",
         {Redirect(303, "/done"), HttpAnswer(200, "page")},
         -1,
         "untouched",
         {{"POST /save HTTP/1.1", 5}},
         "127.0.0.1 redirected the request instead of answering it (the change may or may not "
         "have been made)",
         {"Redirect refused,statuscode=303"}},
        {"POST 307 keeps its body",
         kMethodPost,
         "/save",
         {Redirect(307, "/again"), HttpAnswer(200, "kept")},
         1,
         "kept",
         {{"POST /save HTTP/1.1", 5}, {"POST /again HTTP/1.1", 5}},
         "",
         {"Redirect,statuscode=307"}},
        {"POST 308 keeps its body",
         kMethodPost,
         "/save",
         {Redirect(308, "/again"), HttpAnswer(200, "kept")},
         1,
         "kept",
         {{"POST /save HTTP/1.1", 5}, {"POST /again HTTP/1.1", 5}},
         "",
         {"Redirect,statuscode=308"}},
        {"redirect to an error page",
         kMethodGet,
         "/start",
         {Redirect(302, "/gone"), HttpAnswer(404, "no")},
         -1,
         "untouched",
         {{"GET /start HTTP/1.1", 0}, {"GET /gone HTTP/1.1", 0}},
         "127.0.0.1 answered 404",
         {"Redirect,statuscode=302", "HTTP error,statuscode=404"}},
        {"six redirects",
         kMethodGet,
         "/loop",
         {Redirect(302, "/loop")},
         -1,
         "untouched",
         std::vector<Seen>(6, {"GET /loop HTTP/1.1", 0}),
         "127.0.0.1 redirected the request more than 5 times",
         {"Redirect,statuscode=302", "Redirect,statuscode=302", "Redirect,statuscode=302",
          "Redirect,statuscode=302", "Redirect,statuscode=302", "Redirect refused,statuscode=302"}},
        {"redirect to another site",
         kMethodPost,
         "/save",
         {Redirect(307, "http://elsewhere.example/save")},
         -1,
         "untouched",
         {{"POST /save HTTP/1.1", 5}},
         "127.0.0.1 redirected the request to another site: http://elsewhere.example/save",
         {"Redirect refused,statuscode=307"}},
        {"redirect without an address",
         kMethodGet,
         "/start",
         {"HTTP/1.1 302 Found\r\nContent-Length: 0\r\n\r\n"},
         -1,
         "untouched",
         {{"GET /start HTTP/1.1", 0}},
         "127.0.0.1 answered 302",
         {"HTTP error,statuscode=302"}},
        {"cut-off answer",
         kMethodGet,
         "/cut",
         {ThenClose("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n" + std::string(46, 'h'))},
         -1,
         "untouched",
         {{"GET /cut HTTP/1.1", 0}},
         "the answer from 127.0.0.1 broke off after 46 of 100 bytes: run again",
         {"Answer cut off,received=46,expected=100"}},
        {"oversized answer",
         kMethodGet,
         "/big",
         {ThenClose(HttpAnswer(200, bigBody))},
         -1,
         "untouched",
         {{"GET /big HTTP/1.1", 0}},
         "127.0.0.1 answered more than 16 MiB",
         {"Answer longer than 16777216 bytes"}},
        {"query with blanks and Chinese",
         kMethodGet,
         "/album/dirlist?path=/a b/图/#top",
         {HttpAnswer(200, "list")},
         1,
         "list",
         {{"GET /album/dirlist?path=/a%20b/%E5%9B%BE/ HTTP/1.1", 0}},
         "",
         {}},
        {"escapes kept, a lone percent escaped",
         kMethodGet,
         "/q?a=%E5%9b%be&b=1+2&c=5%&d=\"x\"",
         {HttpAnswer(200, "q")},
         1,
         "q",
         {{"GET /q?a=%E5%9b%be&b=1+2&c=5%25&d=%22x%22 HTTP/1.1", 0}},
         "",
         {}},
    };
    for (const auto& c : cases) {
        const CaptureServer server(c.answers);
        const TraceWatch watch;
        JobContext context;
        context.lastFailure = {"an earlier failure"};
        RequestOptions options;
        options.context = &context;
        std::string result = "untouched";
        EXPECT_EQ(HttpRequest(result, server.Url(c.path).c_str(), options, c.method,
                              c.method == kMethodPost ? post.c_str() : nullptr, true),
                  c.code)
            << c.name;
        EXPECT_EQ(result, c.result) << c.name;
        EXPECT_EQ(SeenBy(server), c.seen) << c.name;
        EXPECT_EQ(context.lastFailure.reason, c.reason) << c.name;
        EXPECT_EQ(options.failure.reason, c.reason) << c.name;
        ExpectTraceLines(watch, c.trace, c.name);
        if (c.method == kMethodPost && c.seen.size() > 1) {
            // Only a request that keeps its body keeps its content type.
            const auto requests = server.Requests();
            EXPECT_EQ(requests[1].Header("Content-Type").has_value(), c.seen[1].bodyBytes > 0)
                << c.name;
        }
    }
}

TEST(TransportParity, UploadsJudgeTheLastAnswerOfTheirRedirects) {
    const TempFolder folder;
    const std::string small = PathToUtf8(folder.Write("small.jpg", std::string(100, 's')));
    const std::string chunk = PathToUtf8(folder.Write("chunk.jpg", std::string(40961, 'c')));
    const std::string page = "<html><body><h1>502 Bad Gateway</h1></body></html>";
    const std::string kUnanswered =
        "127.0.0.1 redirected the request instead of answering it (the change may or may not "
        "have been made)";
    enum Format { kSingle, kChunked, kBatch };
    const struct {
        Format format;
        std::string answer;
        std::string then;
        int code;
        bool bodyResent;  // the second request carries the body again
        std::string reason;
    } cases[] = {
        {kSingle, HttpAnswer(502, page), "", -1, false, "127.0.0.1 answered 502"},
        {kChunked, HttpAnswer(502, page), "", -1, false, "127.0.0.1 answered 502"},
        {kBatch, HttpAnswer(502, page), "", -1, false, "127.0.0.1 answered 502"},
        // A redirect that would fetch another page with a GET answers nothing about the upload.
        {kSingle, Redirect(302, "/done"), "", -1, false, kUnanswered},
        {kChunked, Redirect(303, "/done"), "", -1, false, kUnanswered},
        {kBatch, Redirect(301, "/done"), "", -1, false, kUnanswered},
        {kSingle, Redirect(307, "/done"), HttpAnswer(200, kOk), 1, true, ""},
        {kChunked, Redirect(308, "/done"), HttpAnswer(200, kOk), 1, true, ""},
        {kBatch, Redirect(307, "/done"), HttpAnswer(200, kOk), 1, true, ""},
        {kSingle, Redirect(307, "/done"), HttpAnswer(200, "errcode=5;"), -1, true,
         "127.0.0.1 did not accept the upload"},
        // A refusal's reason quotes the answer's own message.
        {kChunked, Redirect(308, "/done"), HttpAnswer(404, kOk), -1, true,
         "127.0.0.1 answered 404 (\"ok\")"},
    };
    const char* formats[] = {"single", "chunked", "batch"};
    for (const auto& c : cases) {
        const std::string name = std::string(formats[c.format]) + " " + c.answer.substr(9, 3);
        std::vector<std::string> answers = {c.answer};
        if (!c.then.empty()) {
            answers.push_back(c.then);
        }
        const CaptureServer server(answers);
        KestoUploader uploader(KestoUploader::kErrcodeRule);
        uploader.batchMode = c.format == kBatch;
        uploader.AddFile("photo", c.format == kChunked ? chunk : small);
        JobContext context;
        context.lastFailure = {"an earlier failure"};
        uploader.jobContext = &context;
        EXPECT_EQ(uploader.Upload(server.Url("/up").c_str()), c.code) << name;
        EXPECT_EQ(context.lastFailure.reason, c.reason) << name;
        const std::vector<Seen> seen = SeenBy(server);
        ASSERT_EQ(seen.size(), c.then.empty() ? 1u : 2u) << name;
        EXPECT_EQ(seen[0].line, "POST /up HTTP/1.1") << name;
        if (seen.size() == 2) {
            EXPECT_EQ(seen[1].line, std::string(c.bodyResent ? "POST" : "GET") + " /done HTTP/1.1")
                << name;
            EXPECT_EQ(seen[1].bodyBytes, c.bodyResent ? seen[0].bodyBytes : 0u) << name;
        }
    }
}

// Resizes its file when the first chunk has been accepted.
class ResizingUploader : public Uploader {
  public:
    ResizingUploader(std::filesystem::path file, std::uintmax_t newSize)
        : file_(std::move(file)), newSize_(newSize) {}
    int ParseAnswer(std::string_view) override {
        std::filesystem::resize_file(file_, newSize_);
        return 1;
    }

  private:
    std::filesystem::path file_;
    std::uintmax_t newSize_;
};

TEST(TransportParity, AFileResizedDuringAChunkedUploadFails) {
    constexpr std::uintmax_t kChunk = Uploader::kChunkBytes;
    const struct {
        const char* name;
        std::uintmax_t size;
        std::uintmax_t newSize;
    } cases[] = {
        {"shrinks to the next chunk's start", 2 * kChunk + 100, kChunk},
        {"shrinks within the next chunk", 2 * kChunk + 100, kChunk + 10},
        {"grows past its last chunk", kChunk + 1, kChunk + 11},
    };
    for (const auto& c : cases) {
        const TempFolder folder;
        const std::filesystem::path file = folder.Write("big.jpg", std::string(c.size, 'b'));
        const CaptureServer server({HttpAnswer(200, "result=1")});
        const TraceWatch watch;
        ResizingUploader uploader(file, c.newSize);
        uploader.AddFile(nullptr, PathToUtf8(file));
        EXPECT_EQ(uploader.Upload(server.Url("/up").c_str()), -1) << c.name;
        EXPECT_EQ(server.Requests().size(), 1u) << c.name << ": nothing after the first chunk";
        EXPECT_EQ(uploader.failure().reason,
                  "the file " + PathToUtf8(file) + " changed while it was sent")
            << c.name;
        ExpectTraceLines(watch, {"Send data error"}, c.name);
    }
}

}  // namespace
}  // namespace kesto
