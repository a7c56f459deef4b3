#include "market/answer_reader.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdint>
#include <optional>
#include <span>

#include "market/failure_reason.h"
#include "market/job_context.h"
#include "support/trace_log.h"

namespace kesto {

namespace {

// The length the answer's head announced; nothing without one, or with one that is no number.
std::optional<std::uint64_t> AnnouncedLength(net::Request& request) {
    const std::optional<std::string> header = request.AnswerHeader("Content-Length");
    if (!header) {
        return std::nullopt;
    }
    const std::string_view text = *header;
    const std::size_t start = text.find_first_not_of(' ');
    const std::size_t end = text.find_last_not_of(' ');
    if (start == std::string_view::npos) {
        return std::nullopt;
    }
    std::uint64_t length = 0;
    const char* last = text.data() + end + 1;
    const auto [stop, error] = std::from_chars(text.data() + start, last, length);
    if (error != std::errc() || stop != last) {
        return std::nullopt;
    }
    return length;
}

AnswerText Failed(AnswerText answer, unsigned long error) {
    answer.error = error;
    answer.bytes.clear();
    return answer;
}

AnswerText Oversized(JobContext& context, AnswerText answer, std::string_view host) {
    ProcessTraceLog().Write("Answer longer than %d bytes", static_cast<int>(net::kMaxAnswerBytes));
    context.lastFailure = {DescribeOversizedAnswer(host), false, "answer-too-large"};
    return Failed(std::move(answer), net::kErrorInternal);
}

// The answer ended, by its end or by a failed read with this error (0 for none): broken off
// when fewer bytes came than its head announced, or when the read failed.
AnswerText Ended(JobContext& context, AnswerText answer, net::Request& request,
                 std::string_view host, unsigned long readError) {
    const std::optional<std::uint64_t> announced = AnnouncedLength(request);
    const bool cutShort = announced && *announced > answer.bytes.size();
    const bool dropped =
        readError == net::kErrorConnectionAborted || readError == net::kErrorConnectionReset;
    if (cutShort && (readError == 0 || dropped)) {
        ProcessTraceLog().Write("Answer cut off,received=%d,expected=%d",
                                static_cast<int>(answer.bytes.size()),
                                static_cast<int>(std::min<std::uint64_t>(*announced, INT_MAX)));
        context.lastFailure = {DescribeCutOffAnswer(host, answer.bytes.size(), *announced), false,
                               "answer-cut-off"};
        return Failed(std::move(answer), net::kErrorConnectionAborted);
    }
    if (readError != 0) {
        if (!context.timeBound.BlameTimeBound(context.lastFailure)) {
            context.lastFailure = {DescribeNetError(readError, host), false,
                                   NetErrorCode(readError)};
        }
        return Failed(std::move(answer), readError);
    }
    return answer;
}

}  // namespace

AnswerText ReadAnswer(net::Session& session, JobContext& context, net::Request& request,
                      std::string_view host) {
    AnswerText answer;
    std::string& bytes = answer.bytes;
    for (;;) {
        std::size_t available = 0;
        if (!request.BytesAvailable(available)) {
            return Ended(context, std::move(answer), request, host, session.LastError());
        }
        if (available == 0) {
            return Ended(context, std::move(answer), request, host, 0);
        }
        if (available > net::kMaxAnswerBytes - bytes.size()) {
            return Oversized(context, std::move(answer), host);
        }
        if (context.timeBound.BlameTimeBound(context.lastFailure)) {
            return Failed(std::move(answer), net::kErrorTimeout);
        }
        const std::size_t start = bytes.size();
        bytes.resize(start + available);
        std::size_t read = 0;
        if (!request.Read(std::span<char>(bytes).subspan(start), read)) {
            bytes.resize(start);
            return Ended(context, std::move(answer), request, host, session.LastError());
        }
        bytes.resize(start + read);
        if (read == 0) {
            return Ended(context, std::move(answer), request, host, 0);
        }
    }
}

}  // namespace kesto
