// The bounds on what one marketplace request may cost: an answer longer than the net layer's
// limit fails without being read whole, and the job's time bound ends a request that a silent or
// trickling server would hold for much longer, and refuses the requests after it.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "market/failure_reason.h"
#include "market/http_request.h"
#include "market/job_context.h"
#include "market/request_time_bound.h"
#include "market/uploader.h"
#include "platform/net_layer.h"
#include "tests/common/capture_server.h"
#include "tests/common/loopback_socket.h"
#include "tests/common/temp_folder.h"

namespace kesto {
namespace {

using Clock = std::chrono::steady_clock;
using testing::LoopbackSocket;

constexpr int kPollMs = 20;
constexpr std::uint64_t kOfferedBytes = std::uint64_t{160} << 20;

// A server that answers every request its own unhelpful way, counting the answer bytes it got
// rid of.
class UnhelpfulServer {
  public:
    enum class Manner {
        kEndless,  // an answer of 160 MiB, sent as fast as the client reads
        kSilent,   // no answer at all
        kTrickle,  // an answer of a byte every 20 ms
    };

    explicit UnhelpfulServer(Manner manner)
        : manner_(manner), listening_(LoopbackSocket::Listen()) {
        acceptor_ = std::thread([this] {
            while (!stopping_) {
                LoopbackSocket connection = listening_.Accept(kPollMs);
                if (connection.valid()) {
                    workers_.emplace_back(
                        [this, accepted = std::move(connection)]() mutable { Serve(accepted); });
                }
            }
        });
    }
    ~UnhelpfulServer() {
        stopping_ = true;
        acceptor_.join();
        for (std::thread& worker : workers_) {
            worker.join();
        }
    }
    UnhelpfulServer(const UnhelpfulServer&) = delete;
    UnhelpfulServer& operator=(const UnhelpfulServer&) = delete;

    std::string Url() const {
        return "http://127.0.0.1:" + std::to_string(listening_.LocalPort()) + "/answer";
    }
    std::uint64_t BytesSent() const { return sent_; }

  private:
    // Waits for the request's head (a body, if any, stays unread), then answers.
    void Serve(const LoopbackSocket& connection) {
        std::string request;
        char piece[4096];
        while (request.find("\r\n\r\n") == std::string::npos && !stopping_) {
            const long received = connection.Receive(piece, sizeof piece, kPollMs);
            if (received == 0 || received == -1) {
                return;
            }
            if (received > 0) {
                request.append(piece, static_cast<std::size_t>(received));
            }
        }
        if (manner_ == Manner::kSilent) {
            while (!stopping_ && connection.Receive(piece, sizeof piece, kPollMs) != 0) {
            }
            return;
        }
        // No length: a client that closes the request early cannot drain the rest to keep the
        // connection (as WinINet does with an answer of known length), so what the server gets
        // rid of is what the client read.
        const bool endless = manner_ == Manner::kEndless;
        if (!connection.SendAll(
                "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n\r\n")) {
            return;
        }
        const std::string block(endless ? std::size_t{1} << 20 : 1, 'x');
        while (!stopping_ && sent_ < kOfferedBytes && connection.SendAll(block)) {
            sent_ += block.size();
            if (!endless) {
                std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
            }
        }
    }

    Manner manner_;
    LoopbackSocket listening_;
    std::atomic<bool> stopping_{false};
    std::atomic<std::uint64_t> sent_{0};
    std::vector<std::thread> workers_;
    std::thread acceptor_;
};

int Get(JobContext& context, const std::string& url) {
    RequestOptions options;
    options.context = &context;
    std::string answer = "untouched";
    const int result = HttpRequest(answer, url.c_str(), options, kMethodGet, nullptr, false);
    EXPECT_EQ(answer, "untouched") << "a failed request hands over no answer";
    EXPECT_EQ(options.failure.reason, context.lastFailure.reason) << "the request says why too";
    return result;
}

int Upload(JobContext& context, const std::string& url) {
    const testing::TempFolder folder;
    Uploader uploader;
    uploader.jobContext = &context;
    uploader.AddFile("file", PathToUtf8(folder.Write("picture.jpg", "bytes of a picture")));
    const int result = uploader.Upload(url.c_str());
    EXPECT_EQ(uploader.failure().reason, context.lastFailure.reason);
    return result;
}

TEST(BoundedRequestsTest, AnAnswerBeyondTheLimitFailsWithoutBeingReadWhole) {
    const struct {
        const char* name;
        int (*send)(JobContext&, const std::string&);
    } clients[] = {{"request layer", Get}, {"uploader", Upload}};
    for (const auto& [name, send] : clients) {
        const UnhelpfulServer server(UnhelpfulServer::Manner::kEndless);
        JobContext context;
        EXPECT_EQ(send(context, server.Url()), -1) << name;
        EXPECT_EQ(context.lastFailure.reason, "127.0.0.1 answered more than 16 MiB") << name;
        // What the client stopped taking stays in the socket buffers, a few MiB at most.
        EXPECT_LT(server.BytesSent(), net::kMaxAnswerBytes + (std::uint64_t{32} << 20)) << name;
    }
}

TEST(BoundedRequestsTest, TheTimeBoundEndsAStalledRequestAndRefusesTheNext) {
    using Manner = UnhelpfulServer::Manner;
    const struct {
        const char* name;
        Manner manner;
        int (*send)(JobContext&, const std::string&);
    } cases[] = {
        {"silent server", Manner::kSilent, Get},
        {"trickling server", Manner::kTrickle, Get},
        {"silent upload server", Manner::kSilent, Upload},
        {"trickling upload server", Manner::kTrickle, Upload},
    };
    for (const auto& c : cases) {
        const UnhelpfulServer server(c.manner);
        JobContext context;
        context.timeBound = RequestTimeBound(std::chrono::milliseconds(700));
        const Clock::time_point start = Clock::now();
        EXPECT_EQ(c.send(context, server.Url()), -1) << c.name;
        // The net layer alone would wait 60 s for the silent one, for ever for the trickle.
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(10)) << c.name;
        EXPECT_EQ(context.lastFailure.reason, "the marketplace did not finish within 1 second")
            << c.name;
        EXPECT_TRUE(context.timeBound.TimeBoundMissed()) << c.name;

        const testing::CaptureServer next;
        EXPECT_EQ(c.send(context, next.Url("/next")), -1) << c.name;
        EXPECT_EQ(next.ConnectionCount(), 0u) << c.name;
    }
    // The bound is its job's: a request without it goes out.
    const testing::CaptureServer other;
    RequestOptions options;
    std::string answer;
    HttpRequest(answer, other.Url("/other").c_str(), options, kMethodGet, nullptr, false);
    EXPECT_EQ(other.ConnectionCount(), 1u) << "the bound ends with its job";
}

TEST(BoundedRequestsTest, UploadsWidenTheBoundByTheirTimeOnASlowLine) {
    RequestFailure failure;
    RequestTimeBound bound(std::chrono::milliseconds(100));
    bound.AllowTimeForUpload(2 * kSlowestUploadBytesPerSecond);  // two seconds more
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(bound.RequestMayStart(failure));
    EXPECT_FALSE(bound.TimeBoundMissed());

    // A bound run out before the upload is not revived by it.
    RequestTimeBound spent(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    spent.AllowTimeForUpload(2 * kSlowestUploadBytesPerSecond);
    EXPECT_FALSE(spent.RequestMayStart(failure));
    EXPECT_EQ(failure.reason, "the marketplace did not finish within 1 second");
}

TEST(BoundedRequestsTest, AGraceStepGoesOnPastTheBoundWhichStaysMissed) {
    RequestFailure failure;
    RequestTimeBound bound(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(bound.RequestMayStart(failure));
    {
        const TimeBoundGrace grace(bound, std::chrono::seconds(10));
        EXPECT_TRUE(bound.RequestMayStart(failure));
        EXPECT_FALSE(bound.TimeBoundMissed());
    }
    EXPECT_TRUE(bound.TimeBoundMissed());
    EXPECT_FALSE(bound.RequestMayStart(failure));
    // A bound not yet run out is not taken for missed.
    RequestTimeBound later(std::chrono::seconds(30));
    { const TimeBoundGrace grace(later, std::chrono::seconds(1)); }
    EXPECT_FALSE(later.TimeBoundMissed());
    // Without a bound, no grace is needed and none changes anything.
    RequestTimeBound none;
    { const TimeBoundGrace grace(none, std::chrono::seconds(1)); }
    EXPECT_TRUE(none.RequestMayStart(failure));
    EXPECT_FALSE(none.TimeBoundMissed());
}

TEST(BoundedRequestsTest, TheBoundIsDescribedInWholeMinutesOrInSeconds) {
    using std::chrono::milliseconds;
    EXPECT_EQ(DescribeMissedTimeBound(std::chrono::minutes(15)),
              "the marketplace did not finish within 15 minutes");
    EXPECT_EQ(DescribeMissedTimeBound(std::chrono::minutes(1)),
              "the marketplace did not finish within 1 minute");
    EXPECT_EQ(DescribeMissedTimeBound(milliseconds(90'000)),
              "the marketplace did not finish within 90 seconds");
    EXPECT_EQ(DescribeMissedTimeBound(milliseconds(2'500)),
              "the marketplace did not finish within 3 seconds");
}

}  // namespace
}  // namespace kesto
