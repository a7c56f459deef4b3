#include "market-sim/incoming_request.h"

#include <gtest/gtest.h>

#include <string>

namespace kesto::sim::testing {
namespace {

using Progress = IncomingRequest::Progress;

// Each request is followed by the start of the next one, which must not count as part of it.
constexpr char kNext[] = "GET / HTTP/1.1\r\n";

struct Case {
    const char* what;
    std::string request;
    Progress progress;  // once all of it has arrived
};

// What the request comes to when its bytes arrive in `piece`-sized pieces.
IncomingRequest Feed(const std::string& bytes, std::size_t piece, const ConnectionLimits& limits) {
    IncomingRequest request(limits);
    for (std::size_t end = piece;
         request.progress() == Progress::kHead || request.progress() == Progress::kBody;
         end += piece) {
        request.Update(bytes.substr(0, end));
        if (end >= bytes.size()) {
            break;
        }
    }
    return request;
}

TEST(IncomingRequestTest, FindsTheEndOfEachRequestHoweverItsBytesArrive) {
    ConnectionLimits limits;
    limits.maxBodyBytes = 16;
    const std::string post = "POST / HTTP/1.1\r\nHost: h\r\n";
    const std::string chunked = post + "transfer-encoding: Chunked\r\n\r\n";
    const Case cases[] = {
        {"no body", "GET / HTTP/1.1\r\nHost: h\r\n\r\n", Progress::kWhole},
        {"no length", post + "\r\n", Progress::kWhole},
        {"length", post + "Content-Length: 5\r\n\r\nhello", Progress::kWhole},
        {"length at the cap", post + "Content-Length: 16\r\n\r\n0123456789abcdef",
         Progress::kWhole},
        {"chunks", chunked + "5;x=1\r\nhello\r\nA\r\n0123456789\r\n0\r\n\r\n", Progress::kWhole},
        {"head not ended", post + "Content-Length: 5\r\n", Progress::kHead},
        {"body not ended", post + "Content-Length: 9\r\n\r\nhello", Progress::kBody},
        {"last chunk not ended", chunked + "5\r\nhello\r\n0\r\n", Progress::kBody},
        {"length over the cap", post + "Content-Length: 17\r\n\r\n", Progress::kRefused},
        {"huge length", post + "Content-Length: 99999999999999999999\r\n\r\n", Progress::kRefused},
        {"chunks over the cap", chunked + "9\r\n123456789\r\n8\r\n", Progress::kRefused},
        {"huge chunk", chunked + "fffffffffffffffffffff\r\n", Progress::kRefused},
        {"chunk without its line end", chunked + "5\r\nhelloX\r\n", Progress::kRefused},
        {"size not hex", chunked + "x5\r\n", Progress::kRefused},
        {"trailer field", chunked + "0\r\nX: y\r\n\r\n", Progress::kRefused},
        {"length and chunked", post + "Content-Length: 5\r\nTransfer-Encoding: chunked\r\n\r\n",
         Progress::kRefused},
        {"two lengths", post + "Content-Length: 5\r\ncontent-length: 5\r\n\r\nhello",
         Progress::kRefused},
        {"length with a sign", post + "Content-Length: +5\r\n\r\nhello", Progress::kRefused},
        {"empty length", post + "Content-Length:\r\n\r\n", Progress::kRefused},
        {"folded length", post + " Content-Length: 5\r\n\r\nhello", Progress::kRefused},
        {"length after a bare LF", post + "X: y\nContent-Length: 5\r\n\r\nhello",
         Progress::kRefused},
    };
    for (const auto& c : cases) {
        for (const std::size_t piece : {std::size_t{1}, std::size_t{7}, c.request.size() + 5}) {
            const IncomingRequest request = Feed(c.request + kNext, piece, limits);
            const std::string context = std::string(c.what) + ", pieces of " +
                                        std::to_string(piece) + ": " + request.refusalReason();
            if (c.progress == Progress::kWhole) {
                ASSERT_EQ(request.progress(), Progress::kWhole) << context;
                EXPECT_EQ(request.size(), c.request.size()) << context;
            } else if (c.progress == Progress::kRefused) {
                EXPECT_EQ(request.progress(), Progress::kRefused) << context;
            } else {
                // Without the request's end, the next request's bytes only lengthen it.
                EXPECT_EQ(Feed(c.request, piece, limits).progress(), c.progress) << context;
            }
        }
    }
}

}  // namespace
}  // namespace kesto::sim::testing
