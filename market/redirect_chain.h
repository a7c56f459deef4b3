#pragma once
// One marketplace request, sent and followed through the redirects its answers ask for, the same
// way on every platform (the net layer follows none): 301, 302 and 303 go on as a GET without
// body (but end a POST: the page a change is sent on to says nothing of the change, so the POST
// fails with its outcome unknown), 307 and 308 as the same request with its body, at most
// kMaxRedirects of them, each to the same host or another marketplace host, each as a new request
// under the job's time bound and login watch (market/job_context.h). The request layer and the
// uploader both send through it; the answer that ends the chain is theirs to judge.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/net_layer.h"

namespace kesto {

struct JobContext;

// Where one request goes.
struct RequestTarget {
    std::string url;  // the address as given, against which a relative Location is resolved
    net::UrlParts parts;
    std::uint32_t flags = 0;
};

// The target of an address for requests opened with these flags; the secure flag is set for an
// https address and cleared for any other. Nothing when the address cannot be split.
std::optional<RequestTarget> RedirectTarget(std::string_view url, std::uint32_t flags);

// Puts the caller's request on the wire at one hop to host: adds its header lines and sends.
// withBody is false once a redirect made the request a GET without body. False when the send
// failed, the failure traced and recorded in the context by the sender.
using HopSender = std::function<bool(net::Request& request, std::string_view host, bool withBody)>;

struct ChainEnd {
    enum class Outcome {
        kAnswered,      // the request holds the last answer, status its code
        kNotStarted,    // the job's time was up, or its login changed, before a hop (recorded)
        kNotConnected,  // no connection to a hop's host (traced and recorded)
        kNotOpened,     // no request opened (recorded)
        kNotSent,       // the sender failed
        kRefused,       // a redirect that is not followed: too many, to another site, or one
                        // that would turn a POST into a GET; or an answer that changed the
                        // login (market/login_watch.h) (recorded)
    };
    Outcome outcome = Outcome::kNotStarted;
    int hop = 0;  // 0 for the first request, n for the n-th redirect
    std::string host;
    int status = 0;                               // 0 when the answer's status cannot be read
    std::unique_ptr<net::Connection> connection;  // declared first: it outlives the request
    std::unique_ptr<net::Request> request;
};

// Sends the request and the redirects it asks for; every failure is recorded as the context's
// lastFailure.
ChainEnd SendFollowingRedirects(net::Session& session, JobContext& context,
                                const RequestTarget& first, std::string_view verb,
                                const HopSender& send);

}  // namespace kesto
