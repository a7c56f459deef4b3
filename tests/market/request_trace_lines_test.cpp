// The trace lines written at the failing steps, read back from the process's trace log. The
// build puts the switch file "trace.txt" in the tests' working folder; without it the test is
// skipped.

#include <gtest/gtest.h>

#include "market/http_request.h"
#include "market/kesto_uploader.h"
#include "support/trace_log.h"
#include "tests/common/capture_server.h"
#include "tests/common/temp_folder.h"
#include "tests/common/trace_watch.h"

namespace kesto {
namespace {

using testing::CaptureServer;
using testing::HttpAnswer;
using testing::TraceWatch;

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(TraceLines, FailedRequestsAndUploadsLeaveTheirLine) {
    if (!TraceLog::SwitchFilePresent()) {
        GTEST_SKIP() << "tracing is off: no trace.txt in the working folder";
    }
    {
        CaptureServer server({HttpAnswer(404, "")});
        const TraceWatch watch;
        RequestOptions options;
        std::string result;
        EXPECT_EQ(HttpRequest(result, server.Url("/").c_str(), options, kMethodGet, nullptr, false),
                  -1);
        EXPECT_TRUE(Contains(watch.Added(), "HTTP error,statuscode=404\r\n")) << watch.Added();
    }
    {
        std::string url;
        {
            CaptureServer closed;
            url = closed.Url("/");
        }
        const TraceWatch watch;
        RequestOptions options;
        std::string result;
        EXPECT_EQ(HttpRequest(result, url.c_str(), options, kMethodGet, nullptr, false), -1);
        EXPECT_TRUE(Contains(watch.Added(), "HttpSendRequest Failed,err=")) << watch.Added();
    }
    {
        testing::TempFolder folder;
        CaptureServer server({HttpAnswer(200, "{\"errcode\":5,\"msg\":\"busy\"}")});
        const TraceWatch watch;
        KestoUploader uploader(KestoUploader::kErrcodeRule);
        uploader.AddFile(nullptr, PathToUtf8(folder.Write("big.jpg", std::string(40961, 'x'))));
        EXPECT_EQ(uploader.Upload(server.Url("/up").c_str()), -1);
        EXPECT_TRUE(Contains(watch.Added(), "Upload server report error,errcode=0\r\n"))
            << watch.Added();
    }
}

}  // namespace
}  // namespace kesto
