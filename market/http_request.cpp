#include "market/http_request.h"

#include <climits>
#include <cstdlib>
#include <functional>
#include <memory>
#include <span>

#include "market/failure_reason.h"
#include "market/form_values.h"
#include "market/request_time_bound.h"
#include "market/url_split.h"
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
bool SendWithCertificateRetries(net::Session& session, net::Request& request,
                                std::string_view headerBlock, std::string_view body,
                                std::string_view host) {
    while (!request.Send(headerBlock, body)) {
        const unsigned long error = session.LastError();
        ProcessTraceLog().Write("HttpSendRequest Failed,err=%d", static_cast<int>(error));
        // A request that timed out may have reached the server, which may still carry it out.
        NoteRequestFailure(DescribeNetError(error, host), error == net::kErrorTimeout);
        BlameTimeBound();
        const std::uint32_t ignore = IgnoreFlagFor(error);
        std::uint32_t flags = 0;
        if (ignore == 0 || !request.QuerySecurityFlags(flags) || (flags & ignore) != 0 ||
            !request.SetSecurityFlags(flags | ignore)) {
            return false;
        }
    }
    return true;
}

// Notes why reading the answer failed: the thread's time bound when it ran out, else the error.
bool ReadFailed(net::Session& session, std::string_view host) {
    if (!BlameTimeBound()) {
        NoteRequestFailure(DescribeNetError(session.LastError(), host));
    }
    return false;
}

// Reads the answer in the pieces the request reports as available, into collected. False, with
// the reason noted, when the answer is longer than net::kMaxAnswerBytes, breaks off, or is still
// arriving when the thread's time bound runs out: an answer cut short is no answer.
bool ReadWholeAnswer(net::Session& session, net::Request& request, std::string_view host,
                     std::string& collected) {
    for (;;) {
        std::size_t available = 0;
        if (!request.BytesAvailable(available)) {
            return ReadFailed(session, host);
        }
        if (available == 0) {
            return true;
        }
        if (available > net::kMaxAnswerBytes - collected.size()) {
            ProcessTraceLog().Write("Answer longer than %d bytes",
                                    static_cast<int>(net::kMaxAnswerBytes));
            NoteRequestFailure(DescribeOversizedAnswer(host));
            return false;
        }
        if (BlameTimeBound()) {
            return false;
        }
        const std::size_t start = collected.size();
        collected.resize(start + available);
        std::size_t read = 0;
        if (!request.Read(std::span<char>(collected).subspan(start), read)) {
            return ReadFailed(session, host);
        }
        collected.resize(start + read);
        if (read == 0) {
            return true;
        }
    }
}

std::string PostBody(const char* body, bool encodeValues) {
    if (body == nullptr || *body == '\0') {
        return {};
    }
    std::string bytes = ToAnsi(body);
    if (bytes.front() == '<' || !encodeValues) {
        return bytes;
    }
    return EncodeFormValues(bytes);
}

// The steps of a request; the session is asked for only once the address has been split, so the
// process's session opens with the first request that gets that far.
int SendRequest(const std::function<net::Session&()>& sessionFor, std::string& result,
                const char* url, RequestOptions& options, int method, const char* body,
                bool encodeValues) {
    if (url == nullptr) {
        return 0;
    }
    if (method != kMethodPost && method != kMethodGet) {
        options.headers.clear();
        return 0;
    }
    const bool post = method == kMethodPost;
    const std::optional<net::UrlParts> parts = SplitUrl(url);
    if (!parts) {
        options.headers.clear();
        return 0;
    }
    NoteRequestFailure({});
    if (!RequestMayStart()) {
        options.headers.clear();
        return -1;
    }
    net::Session& session = sessionFor();
    const std::unique_ptr<net::Connection> connection =
        session.Connect(parts->host, parts->port, parts->user, parts->password);
    if (!connection) {
        ProcessTraceLog().Write("Connection fail,err=%d", static_cast<int>(session.LastError()));
        NoteRequestFailure(DescribeNetError(session.LastError(), parts->host));
        return -1;
    }
    const std::unique_ptr<net::Request> request =
        connection->OpenRequest(post ? "POST" : "GET", parts->path,
                                options.flags | net::kFlagReload | net::kFlagKeepConnection);
    if (!request) {
        options.headers.clear();
        NoteRequestFailure(DescribeNetError(session.LastError(), parts->host));
        return -1;
    }
    LimitToTimeLeft(*request);
    const std::string bytes = post ? PostBody(body, encodeValues) : std::string();
    if (!options.extraHeader.empty()) {
        request->AddHeader(options.extraHeader, false);
    }
    for (const std::string& header : options.headers) {
        request->AddHeader(header, false);
    }
    options.headers.clear();
    const std::string_view headerBlock = post ? std::string_view(options.contentType) : "";
    if (!SendWithCertificateRetries(session, *request, headerBlock, bytes, parts->host)) {
        return -1;
    }
    const std::optional<std::string> status = request->StatusText();
    const int code = status ? std::atoi(status->c_str()) : 0;
    if (code != kStatusOk) {
        ProcessTraceLog().Write("HTTP error,statuscode=%d", code);
        // A gateway's time-out says the same of the server behind it.
        NoteRequestFailure(DescribeStatus(code, parts->host), code == kStatusGatewayTimeout);
        return -1;
    }
    std::string answer;
    if (!ReadWholeAnswer(session, *request, parts->host, answer)) {
        return -1;
    }
    if (!answer.empty()) {
        result = FromAnsi(answer.data(), static_cast<int>(answer.size()));
    }
    return 1;
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
    return SendRequest(SharedSession, result, url, options, method, body, encodeValues);
}

int HttpRequest(net::Session& session, std::string& result, const char* url,
                RequestOptions& options, int method, const char* body, bool encodeValues) {
    return SendRequest([&session]() -> net::Session& { return session; }, result, url, options,
                       method, body, encodeValues);
}

}  // namespace kesto
