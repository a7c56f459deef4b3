#pragma once
// The blocking GET/POST every marketplace call that is not a file upload goes through. Requests
// travel through the process's one internet session, which carries the marketplace's login
// cookies; the layer adds no cookie header of its own.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "market/failure_reason.h"
#include "platform/net_layer.h"

namespace kesto {

struct JobContext;

struct RequestOptions {
    // The header block sent with a POST; never sent with a GET.
    std::string contentType = "Content-Type: application/x-www-form-urlencoded\r\n";
    // One header line added to the request when not empty.
    std::string extraHeader;
    // Extra request flags, OR-ed into the flags the request is opened with.
    std::uint32_t flags = 0;
    // Further header lines; the request empties the list, so it serves one request only.
    std::vector<std::string> headers;
    // The job the request is made for: its time bound and login watch apply, and a failure is
    // also recorded as its lastFailure. None: the net layer's own time-outs, no login watch.
    JobContext* context = nullptr;
    // Set by the request: why it failed; empty when it succeeded.
    RequestFailure failure;
};

inline constexpr int kMethodPost = 0;
inline constexpr int kMethodGet = 1;

// Replaces the content type with "Content-Type: multipart/form-data,boundary=<boundary>\r\n".
void SetMultipartContentType(RequestOptions& options, std::string_view boundary);

// The process-wide session with the agent name "HttpClient", opened by its first use.
net::Session& SharedSession();

// Sends one GET (method 1) or POST (method 0) to a full address; with POST, body (null or text)
// is sent in the marketplace's code page, its form values percent-encoded when encodeValues is set
// and it does not start with '<'. Redirects are followed (market/redirect_chain.h) and the last
// answer counts. Returns 1 for status 200, -1 for a connection, request, send or status failure, a
// redirect not followed, or an answer not read whole (longer than net::kMaxAnswerBytes, broken
// off, or past the job's time bound, see market/request_time_bound.h), 0 for a null address,
// another method or an address that cannot be split. result is assigned the answer only when it
// was read whole and at least one byte of it arrived.
int HttpRequest(std::string& result, const char* url, RequestOptions& options, int method,
                const char* body, bool encodeValues);

// The same over a session of the caller's choice.
int HttpRequest(net::Session& session, std::string& result, const char* url,
                RequestOptions& options, int method, const char* body, bool encodeValues);

}  // namespace kesto
