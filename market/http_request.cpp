#include "market/http_request.h"

#include <climits>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "market/answer_message.h"
#include "market/answer_reader.h"
#include "market/failure_reason.h"
#include "market/form_values.h"
#include "market/job_context.h"
#include "market/redirect_chain.h"
#include "support/text_conversion.h"
#include "support/trace_log.h"

namespace kesto {

namespace {

constexpr char kAgentName[] = "HttpClient";
constexpr int kStatusOk = 200;
constexpr int kStatusGatewayTimeout = 504;
// The answer is handed to the code-page conversion, whose sizes are 32-bit.
static_assert(net::kMaxAnswerBytes <= INT_MAX);

// The security flag that lets a send failing with this certificate error go through; 0 for
// every other error.
std::uint32_t IgnoreFlagFor(unsigned long error) {
    switch (error) {
        case net::kErrorInvalidCa:
            return net::kSecurityIgnoreUnknownCa;
        case net::kErrorCertCnInvalid:
            return net::kSecurityIgnoreCertCnInvalid;
        case net::kErrorCertRevocationFailed:
            return net::kSecurityIgnoreRevocation;
        default:
            return 0;
    }
}

// Sends the request, and again with the matching ignore flag after each of the three
// certificate errors. Each flag is added once: the same error again ends the retries.
bool SendWithCertificateRetries(net::Session& session, JobContext& context, net::Request& request,
                                std::string_view headerBlock, std::string_view body,
                                std::string_view host) {
    while (!request.Send(headerBlock, body)) {
        const unsigned long error = session.LastError();
        ProcessTraceLog().Write("HttpSendRequest Failed,err=%d", static_cast<int>(error));
        // A request that timed out may have reached the server, which may still carry it out.
        context.lastFailure = {DescribeNetError(error, host), error == net::kErrorTimeout,
                               NetErrorCode(error)};
        context.timeBound.BlameTimeBound(context.lastFailure);
        const std::uint32_t ignore = IgnoreFlagFor(error);
        std::uint32_t flags = 0;
        if (ignore == 0 || !request.QuerySecurityFlags(flags) || (flags & ignore) != 0 ||
            !request.SetSecurityFlags(flags | ignore)) {
            return false;
        }
    }
    return true;
}

std::string PostBody(const char* body, bool encodeValues) {
    if (body == nullptr || *body == '\0') {
        return {};
    }
    std::string bytes = ToMarketplace(body);
    if (bytes.front() == '<' || !encodeValues) {
        return bytes;
    }
    return EncodeFormValues(bytes);
}

// The caller's request at one hop: its header lines, and with its body the content type and
// the body; sent with the certificate retries.
HopSender RequestSender(net::Session& session, JobContext& context, const RequestOptions& options,
                        const std::vector<std::string>& headers, const std::string& body,
                        bool post) {
    return [&session, &context, &options, &headers, &body, post](
               net::Request& request, std::string_view host, bool withBody) {
        if (!options.extraHeader.empty()) {
            request.AddHeader(options.extraHeader, false);
        }
        for (const std::string& header : headers) {
            request.AddHeader(header, false);
        }
        const bool sendsBody = post && withBody;
        return SendWithCertificateRetries(session, context, request,
                                          sendsBody ? std::string_view(options.contentType) : "",
                                          sendsBody ? std::string_view(body) : "", host);
    };
}

// The steps of a request; the session is asked for only once the address has been split, so the
// process's session opens with the first request that gets that far.
int SendRequest(const std::function<net::Session&()>& sessionFor, JobContext& context,
                std::string& result, const char* url, RequestOptions& options, int method,
                const char* body, bool encodeValues) {
    if (url == nullptr) {
        return 0;
    }
    // The caller's header lines serve every hop of this one request.
    const std::vector<std::string> headers = std::exchange(options.headers, {});
    if (method != kMethodPost && method != kMethodGet) {
        return 0;
    }
    const bool post = method == kMethodPost;
    const std::uint32_t flags = options.flags | net::kFlagReload | net::kFlagKeepConnection;
    std::optional<RequestTarget> first = RedirectTarget(url, flags);
    if (!first) {
        return 0;
    }
    first->flags = flags;  // the first request goes out with the caller's flags, https or not
    context.lastFailure = {};
    if (!context.timeBound.RequestMayStart(context.lastFailure)) {
        return -1;
    }
    net::Session& session = sessionFor();
    const std::string bytes = post ? PostBody(body, encodeValues) : std::string();
    const ChainEnd end =
        SendFollowingRedirects(session, context, *first, post ? "POST" : "GET",
                               RequestSender(session, context, options, headers, bytes, post));
    if (end.outcome == ChainEnd::Outcome::kNotConnected && end.hop == 0) {
        options.headers = headers;  // a request that never got a connection leaves them
    }
    if (end.outcome != ChainEnd::Outcome::kAnswered) {
        return -1;
    }
    if (end.status != kStatusOk) {
        ProcessTraceLog().Write("HTTP error,statuscode=%d", end.status);
        // The refusal's own words, where it has them, say why.
        const AnswerText refusal = ReadAnswer(session, context, *end.request, end.host);
        // A gateway's time-out says the same of the server behind it.
        context.lastFailure = {WithAnswerMessage(DescribeStatus(end.status, end.host),
                                                 refusal.whole() ? refusal.bytes : std::string()),
                               end.status == kStatusGatewayTimeout, StatusCode(end.status)};
        return -1;
    }
    const AnswerText answer = ReadAnswer(session, context, *end.request, end.host);
    if (!answer.whole()) {
        return -1;
    }
    if (!answer.bytes.empty()) {
        result = FromMarketplace(answer.bytes.data(), static_cast<int>(answer.bytes.size()));
    }
    return 1;
}

// Sends the request with the caller's context, or with one of its own (no time bound, no login
// watch), and hands back why it failed in the options.
int SendWithContext(const std::function<net::Session&()>& sessionFor, std::string& result,
                    const char* url, RequestOptions& options, int method, const char* body,
                    bool encodeValues) {
    JobContext unbound;
    JobContext& context = options.context != nullptr ? *options.context : unbound;
    const int code =
        SendRequest(sessionFor, context, result, url, options, method, body, encodeValues);
    // A request refused before it started (code 0) leaves the context's record as it was.
    options.failure = code == 0 ? RequestFailure{} : context.lastFailure;
    return code;
}

}  // namespace

void SetMultipartContentType(RequestOptions& options, std::string_view boundary) {
    options.contentType = "Content-Type: multipart/form-data,boundary=";
    options.contentType += boundary;
    options.contentType += "\r\n";
}

net::Session& SharedSession() {
    static const std::unique_ptr<net::Session> session = net::OpenSession(kAgentName);
    return *session;
}

int HttpRequest(std::string& result, const char* url, RequestOptions& options, int method,
                const char* body, bool encodeValues) {
    return SendWithContext(SharedSession, result, url, options, method, body, encodeValues);
}

int HttpRequest(net::Session& session, std::string& result, const char* url,
                RequestOptions& options, int method, const char* body, bool encodeValues) {
    return SendWithContext([&session]() -> net::Session& { return session; }, result, url, options,
                           method, body, encodeValues);
}

}  // namespace kesto
