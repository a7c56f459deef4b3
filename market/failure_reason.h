#pragma once
// Why a marketplace request failed, in words a shop owner can act on, in the user's language:
// "manage.kesto.example answered 502", "no answer from album.kesto.example within 60 s". The
// request layer and the uploader record it where a request fails, in the request's own
// RequestFailure (RequestOptions::failure) and in the job's context (market/job_context.h); the
// area operations read it right after a failed call and say which of their steps it was.

#include <cstdint>
#include <string>
#include <string_view>

namespace kesto {

struct RequestFailure {
    // Empty when the request left none.
    std::string reason;
    // The request went unanswered in time: the server may have carried it out, or may still do
    // so.
    bool outcomeUnknown = false;
    // The reason's kind, for scripts: a short stable name that is never translated ("status",
    // "no-answer", "login-expired", ...; docs/json.md lists them). Empty when there is no reason.
    std::string code = {};
};

// The code of the reason DescribeNetError gives for the error.
const char* NetErrorCode(unsigned long error);
// The code of the reason DescribeStatus gives for the status.
const char* StatusCode(int status);

// The words for a net layer error number met while talking to host.
std::string DescribeNetError(unsigned long error, std::string_view host);
// The words for an answer with a status other than 200.
std::string DescribeStatus(int status, std::string_view host);
// The words for an answer longer than any reader takes (net::kMaxAnswerBytes).
std::string DescribeOversizedAnswer(std::string_view host);
// The words for an answer that broke off before the length its head announced.
std::string DescribeCutOffAnswer(std::string_view host, std::uint64_t received,
                                 std::uint64_t announced);
// The words for a redirect that is not followed, and why.
std::string DescribeRefusedRedirect(std::string_view host, std::string_view why);

// "step: reason", or the step alone when there is no reason.
std::string WithReason(std::string_view step, std::string_view reason);

}  // namespace kesto
